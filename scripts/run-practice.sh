#!/usr/bin/env bash
# Installs what is missing, builds, starts the practice MariaDB server on
# 127.0.0.1:50069 (database "practice", user "quorvane", password
# "practice"), and opens Quorvane on it. The server stops when Quorvane exits.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/release"
home_data=${XDG_DATA_HOME:-$HOME/.local/share}/quorvane
server="$home_data/practice"
source "$root/scripts/practice-setup.sh"
port=$practice_port

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
  cat >&2 <<MSG
Quorvane is a desktop program and there is no display here.
Run it under a virtual display instead:

  xvfb-run -a -s "-screen 0 1280x800x24" $0

(install xvfb first: apt-get install xvfb xauth)
MSG
  exit 1
fi

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCH=OFF >/dev/null
echo "Building Quorvane in $build ..."
if ! cmake --build "$build" -j "$(nproc)" --target quorvane quorvane-cli >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log" >&2
  exit 1
fi

# The server and its tables live in the user's data folder between runs.
GRANT_SCOPE=database "$root/scripts/mariadb-server.sh" start "$server" "$port" practice quorvane practice
trap '"$root/scripts/mariadb-server.sh" stop "$server"' EXIT
echo "Practice server running on 127.0.0.1:$port (data in $server)."

# The MariaDB driver stands in for IBM's under the DB2 driver name, privately.
register_practice_driver "$home_data/odbc"

# A settings folder of its own, filled so that the start-up check connects.
export XDG_CONFIG_HOME="$home_data/practice-config"
settings="$XDG_CONFIG_HOME/Tamsorel/Quorvane.conf"
[[ -f "$settings" ]] || write_practice_settings "$settings"

echo "Sample files to import: $root/samples"
"$build/src/quorvane" "$@"
