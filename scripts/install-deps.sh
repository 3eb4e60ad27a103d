#!/usr/bin/env bash
# Installs, with apt, whatever the build, the program and its tests need and
# this machine does not have yet. Needs root (or sudo).
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev unixodbc-dev libgtest-dev libgmock-dev
  # run: ODBC, the stand-in drivers, the practice and test servers, fonts
  unixodbc odbcinst libsqliteodbc odbc-mariadb mariadb-server mariadb-client
  fonts-liberation qt6-qpa-plugins
  # windows without a screen, sanitizers and fuzzing
  xvfb xauth clang libclang-rt-14-dev
  # tests that drop privileges and read files back
  util-linux sqlite3 procps
  # the dialect check: Apache Derby's ij runs the statements --print-sql writes
  derby-tools libderby-java default-jre-headless
  # the Debian package and its checks
  dpkg-dev file gzip desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
