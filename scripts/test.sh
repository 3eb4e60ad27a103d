#!/usr/bin/env bash
# Installs what is missing, builds, starts the throwaway MariaDB test server,
# and runs every test: the suite on a normal build, the same suite again on a
# build with AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz
# target for a bounded time. The server is stopped however the run ends.
#
#   scripts/test.sh                 everything (what CI runs)
#   scripts/test.sh main            the suite on the normal build only
#   scripts/test.sh sanitize        the suite on the sanitizer build only
#   scripts/test.sh fuzz [SECONDS]  the fuzz targets only
#   scripts/test.sh package         the Debian package only (built and checked)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
what=${1:-all}
jobs=$(nproc)

"$root/scripts/install-deps.sh"

build_tree() {  # folder, extra cmake arguments...
  local folder=$1
  shift
  cmake -S "$root" -B "$folder" -G Ninja -DQUORVANE_BUILD_BENCH=OFF "$@" >/dev/null
  cmake --build "$folder" -j "$jobs"
}

run_suite() {  # build folder, label
  echo "== Tests ($2) =="
  local started=$SECONDS
  (cd "$1" && ctest --output-on-failure -j "$jobs")
  echo "== Tests ($2) took $((SECONDS - started)) s =="
}

scratch=$(mktemp -d /tmp/quorvane-test.XXXXXX)
server="$scratch/mariadb"
cleanup() {
  "$root/scripts/mariadb-server.sh" stop "$server" || true
  rm -rf "$scratch"
}
trap cleanup EXIT

start_server() {
  # A free port on loopback: the first one nothing answers on.
  local port=$((20000 + RANDOM % 20000))
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
  # The user's name is not the database's: a mix-up of the two must show.
  "$root/scripts/mariadb-server.sh" start "$server" "$port" quorvane_test quorvane_loader 'test;pass}word'
  export QUORVANE_TEST_MARIADB_PORT=$port
  export QUORVANE_TEST_MARIADB_DATABASE=quorvane_test
  export QUORVANE_TEST_MARIADB_USER=quorvane_loader
  export QUORVANE_TEST_MARIADB_PASSWORD='test;pass}word'
  export QUORVANE_TEST_MARIADB_DIR=$server
}

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

case "$what" in
  all | main | sanitize) start_server ;;
esac

if [[ $what == all || $what == main ]]; then
  echo "== Layers =="
  "$root/scripts/check-layers.sh"
  build_tree "$root/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  run_suite "$root/build/test" "normal build"
fi

if [[ $what == all || $what == sanitize ]]; then
  build_tree "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp":print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_suite "$root/build/sanitize" "AddressSanitizer + UndefinedBehaviorSanitizer"
  unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
fi

if [[ $what == all || $what == fuzz ]]; then
  if [[ -x "$root/scripts/fuzz.sh" ]]; then
    "$root/scripts/fuzz.sh" "${2:-30}"
  fi
fi

if [[ $what == all || $what == package ]]; then
  "$root/scripts/package.sh"
fi
