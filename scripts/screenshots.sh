#!/bin/sh
# Pictures of the three windows, taken from the real program on a virtual
# display. The import window lists the tables of the practice MariaDB
# database named by QUORVANE_TEST_MARIADB_* (see scripts/test.sh); without
# it, its table list stays empty.
#   scripts/screenshots.sh [build folder] [output folder]
set -eu
build=${1:-build/windows}
out=${2:-docs}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Settings of a user who has logged in before, in a scratch store.
mkdir -p "$scratch/config/Tamsorel" "$scratch/runtime"
chmod 700 "$scratch/runtime"
cat > "$scratch/config/Tamsorel/Quorvane.conf" <<CONF
[Quorvane]
Server=127.0.0.1
Port=${QUORVANE_TEST_MARIADB_PORT:-50000}
User=${QUORVANE_TEST_MARIADB_USER:-loader}
Password="${QUORVANE_TEST_MARIADB_PASSWORD:-secret}"
Database=${QUORVANE_TEST_MARIADB_DATABASE:-SAMPLE}
CONF

env -u QT_QPA_PLATFORM \
    XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime" \
    ODBCSYSINI="$(cd "$build" && pwd)/odbc/mariadb" \
    xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/src/quorvane" --screenshot "$out"
echo "saved $out/login.png $out/import.png $out/help.png"
