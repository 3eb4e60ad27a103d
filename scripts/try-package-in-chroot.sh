#!/usr/bin/env bash
# A manual check, not part of the test command (it sets up a whole Debian
# system, which takes minutes): installs the package that scripts/package.sh
# left in build/package on a fresh Debian 12 (debootstrap --variant=minbase)
# that has never seen this build, then runs quorvane-cli there. Needs root.
#
#   scripts/try-package-in-chroot.sh [FOLDER]   default /tmp/quorvane-bookworm;
#                                               an existing system there is reused
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
system=${1:-/tmp/quorvane-bookworm}

shopt -s nullglob
debs=("$root"/build/package/quorvane_*.deb)
shopt -u nullglob
if ((${#debs[@]} != 1)); then
  echo "Build the package first: scripts/package.sh" >&2
  exit 1
fi

# The mirror this machine's apt already uses for Debian itself.
mirror=$(sed -n -e 's/^URIs: *\(http[^ ]*\/debian\)\/*$/\1/p' \
  -e 's/^deb  *\(http[^ ]*\/debian\)\/* .*/\1/p' \
  /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null | head -1 || true)
mirror=${mirror:-http://deb.debian.org/debian}

if [[ ! -x $system/usr/bin/apt-get ]]; then
  command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap >/dev/null
  echo "== debootstrap --variant=minbase bookworm $system $mirror =="
  debootstrap --variant=minbase bookworm "$system" "$mirror" >"$system.debootstrap.log" 2>&1 ||
    { tail -20 "$system.debootstrap.log" >&2; exit 1; }
fi
# As a real Debian 12 has them: the point releases' updates and security.
cat >"$system/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb ${mirror%/debian}/debian-security bookworm-security main
EOF

cp "${debs[0]}" "$root/samples/people.csv" "$system/tmp/"
in_system() {
  chroot "$system" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"
}
echo "== apt install ./$(basename "${debs[0]}") (in $system) =="
in_system sh -c 'cd /tmp && apt-get update -q && apt install -y ./quorvane_*.deb'
echo "== quorvane-cli --version =="
in_system quorvane-cli --version
echo "== quorvane-cli --print-sql --create T people.csv =="
in_system sh -c 'cd /tmp && quorvane-cli --print-sql --create T people.csv'
echo "== quorvane --version =="
in_system quorvane --version
