#!/usr/bin/env bash
# Pictures of the windows, taken from the real program on a virtual
# display, in the practice set-up that the README describes: a MariaDB
# server on 127.0.0.1:50069 (database "practice", user "quorvane", password
# "practice") standing in for DB2, and a user who has logged in before. The
# server is a throwaway one in a scratch folder, holding the table that the
# README's first command-line example makes from samples/people.csv.
#   scripts/screenshots.sh [build folder] [output folder]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-build/windows}" && pwd)
out=${2:-docs}
source "$root/scripts/practice-setup.sh"
port=$practice_port
scratch=$(mktemp -d)
server="$scratch/mariadb"
cleanup() {
  "$root/scripts/mariadb-server.sh" stop "$server" || true
  rm -rf "$scratch"
}
trap cleanup EXIT

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "Port $port is taken (the practice server of scripts/run-practice.sh?): stop it first." >&2
  exit 1
fi
GRANT_SCOPE=database "$root/scripts/mariadb-server.sh" start "$server" "$port" practice quorvane practice

# The MariaDB driver under the DB2 driver name, privately, as run-practice.sh does.
register_practice_driver "$scratch/odbc"

# Settings of a user who has logged in before, in a scratch store.
write_practice_settings "$scratch/config/Tamsorel/Quorvane.conf"
mkdir -p "$scratch/runtime" "$scratch/data"
chmod 700 "$scratch/runtime"
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime" XDG_DATA_HOME="$scratch/data"

# The README's first example, so that the table list shows what it makes.
"$build/src/cli/quorvane-cli" --create 'Sample[counter]' "$root/samples/people.csv"

# Started as a file manager starts it, with a sample file: the import window
# lists it, and the preview shows it.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/src/quorvane" --screenshot "$out" "$root/samples/people.csv"
echo "saved $out/login.png $out/import.png $out/preview.png $out/help.png"
