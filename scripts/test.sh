#!/usr/bin/env bash
# Installs what is missing, builds, starts the throwaway MariaDB test server,
# and runs every test; the server is stopped again however the run ends.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/test"
jobs=$(nproc)

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

scratch=$(mktemp -d /tmp/quorvane-test.XXXXXX)
server="$scratch/mariadb"
cleanup() {
  "$root/scripts/mariadb-server.sh" stop "$server" || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A free port on loopback: the first one nothing answers on.
port=$((20000 + RANDOM % 20000))
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done

"$root/scripts/mariadb-server.sh" start "$server" "$port" quorvane_test quorvane_test 'test;pass}word'
export QUORVANE_TEST_MARIADB_PORT=$port
export QUORVANE_TEST_MARIADB_DATABASE=quorvane_test
export QUORVANE_TEST_MARIADB_USER=quorvane_test
export QUORVANE_TEST_MARIADB_PASSWORD='test;pass}word'
export QUORVANE_TEST_MARIADB_DIR=$server
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

cd "$build"
ctest --output-on-failure -j "$jobs" "$@"
