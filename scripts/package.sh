#!/usr/bin/env bash
# Builds the Debian package from a clean build folder (build/package) with
# CPack and checks it: its file list, its control fields and dependencies, the
# desktop entry (desktop-file-validate), the AppStream metadata (appstreamcli
# validate), the icons, the manual page, and that both programs in it run and
# name the version of CMakeLists.txt. Any problem ends it with status 1.
#
#   scripts/package.sh     leaves build/package/quorvane_<version>_<arch>.deb
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/package"
jobs=$(nproc)

problems=0
problem() {
  echo "PACKAGE PROBLEM: $*" >&2
  problems=$((problems + 1))
}

version=$(sed -n 's/^project(Quorvane VERSION \([0-9][0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
if [[ -z $version ]]; then
  echo "PACKAGE PROBLEM: no project(Quorvane VERSION ...) in CMakeLists.txt" >&2
  exit 1
fi

echo "== Package: build $version from a clean folder =="
rm -rf "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"
(cd "$build" && cpack -G DEB)

shopt -s nullglob
debs=("$build"/quorvane_*.deb)
shopt -u nullglob
if ((${#debs[@]} != 1)); then
  echo "PACKAGE PROBLEM: expected one quorvane_*.deb in $build, found ${#debs[@]}" >&2
  exit 1
fi
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == "quorvane_${version}_${arch}.deb" ]] ||
  problem "file name $(basename "$deb"), expected quorvane_${version}_${arch}.deb"

scratch=$(mktemp -d /tmp/quorvane-package.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

echo "== $(basename "$deb"): dpkg-deb --info =="
dpkg-deb --info "$deb"
echo "== $(basename "$deb"): dpkg-deb -c =="
dpkg-deb -c "$deb" | tee "$scratch/contents"

# The file list: exactly these files, all owned by root and writable by root only.
icon_sizes=(16 22 24 32 48 64 128 256)
{
  echo ./usr/bin/quorvane
  echo ./usr/bin/quorvane-cli
  echo ./usr/share/applications/com.tamsorel.quorvane.desktop
  for size in "${icon_sizes[@]}"; do
    echo "./usr/share/icons/hicolor/${size}x${size}/apps/quorvane.png"
  done
  echo ./usr/share/man/man1/quorvane-cli.1.gz
  echo ./usr/share/metainfo/com.tamsorel.quorvane.metainfo.xml
} | sort >"$scratch/expected"
awk '$1 !~ /^d/ { print $6 }' "$scratch/contents" | sort >"$scratch/files"
if ! diff -u "$scratch/expected" "$scratch/files" >"$scratch/files.diff"; then
  problem "file list differs from the expected one (- expected, + packaged):"
  cat "$scratch/files.diff" >&2
fi
owners=$(awk '$2 != "root/root"' "$scratch/contents")
[[ -z $owners ]] || problem "entries not owned by root/root: $owners"
writable=$(awk '$1 ~ /^.....w|^........w/' "$scratch/contents")
[[ -z $writable ]] || problem "entries writable by group or others: $writable"
for program in quorvane quorvane-cli; do
  grep -Eq "^-rwxr-xr-x .* \./usr/bin/$program\$" "$scratch/contents" ||
    problem "/usr/bin/$program is not mode 0755"
done

# Control fields and dependencies. (Every check reads a whole text held in a
# variable: grep -q quitting early would break a pipe under pipefail.)
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == quorvane ]] || problem "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || problem "Version is '$(field Version)', expected $version"
[[ $(field Architecture) == "$arch" ]] || problem "Architecture is '$(field Architecture)'"
description=$(field Description)
[[ ${description%%$'\n'*} == *"IBM DB2"* ]] || problem "the Description does not say what it is for"
long_lines=$(awk 'length > 80' <<<"$description")
[[ -z $long_lines ]] || problem "Description lines over 80 columns: $long_lines"
[[ $description == *'"IBM DB2 ODBC DRIVER"'* ]] ||
  problem "the Description does not name the driver as \"IBM DB2 ODBC DRIVER\""
has_relation() {  # field, package
  local names
  names=$(field "$1" | tr ',' '\n' | sed 's/^ *//; s/ .*//')
  grep -qx -- "$2" <<<"$names"
}
# unixodbc and the Qt platform plugins are named by hand; the rest must come
# from dpkg-shlibdeps reading the binaries.
for package in unixodbc qt6-qpa-plugins libodbc2 libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
  has_relation Depends "$package" || problem "Depends lacks $package: $(field Depends)"
done
for package in libsqliteodbc odbc-mariadb; do
  has_relation Suggests "$package" || problem "Suggests lacks $package: $(field Suggests)"
done

# The files themselves.
tree="$scratch/tree"
dpkg-deb -x "$deb" "$tree"
desktop="$tree/usr/share/applications/com.tamsorel.quorvane.desktop"
metainfo="$tree/usr/share/metainfo/com.tamsorel.quorvane.metainfo.xml"
# Both validators pass with hints and notes printed; those count as problems too.
echo "== desktop-file-validate =="
if ! verdict=$(desktop-file-validate "$desktop" 2>&1) || [[ -n $verdict ]]; then
  problem "desktop-file-validate: $verdict"
fi
echo "== appstreamcli validate --no-net =="
if ! verdict=$(appstreamcli validate --no-net "$metainfo" 2>&1) ||
  [[ $verdict != *"Validation was successful."* || $verdict == *$'\n'[IWE]:* ]]; then
  problem "appstreamcli validate: $verdict"
fi
echo "$verdict"
grep -q "<release version=\"$version\"" "$metainfo" ||
  problem "the AppStream metadata does not name release $version"
grep -q '^Exec=quorvane %F$' "$desktop" || problem "the desktop entry does not start quorvane"

for size in "${icon_sizes[@]}"; do
  icon="$tree/usr/share/icons/hicolor/${size}x${size}/apps/quorvane.png"
  kind=$(file -b "$icon")
  [[ $kind == "PNG image data, $size x $size,"* ]] || problem "icon ${size}x${size} is $kind"
done

man_page="$tree/usr/share/man/man1/quorvane-cli.1.gz"
if [[ -f $man_page ]]; then
  gzip -t "$man_page" || problem "the manual page is not a valid gzip file"
  title=$(zcat "$man_page" | sed -n 1p)
  [[ $title == *"\"Quorvane $version\""* ]] ||
    problem "the manual page's title line does not name Quorvane $version: $title"
fi

for program in quorvane quorvane-cli; do
  binary="$tree/usr/bin/$program"
  [[ -f $binary ]] || continue
  kind=$(file -b "$binary")
  [[ $kind == ELF*", stripped" ]] || problem "$program is not a stripped ELF program: $kind"
done

# Both programs run from the package (against this machine's libraries), with
# a settings folder of their own, and no display for the window program.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config"
mkdir -p "$HOME"
echo "== The packaged programs =="
for program in quorvane quorvane-cli; do
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tree/usr/bin/$program" --version) ||
    problem "$program --version failed"
  echo "$program --version: $answer"
  [[ $answer == "$program $version" ]] || problem "$program --version said '$answer'"
done
sql=$("$tree/usr/bin/quorvane-cli" --print-sql --create T "$root/samples/people.csv") ||
  problem "quorvane-cli --print-sql failed"
echo "$sql"
grep -q '^CREATE TABLE ' <<<"$sql" || problem "quorvane-cli --print-sql printed no CREATE TABLE"
[[ $(grep -c '^INSERT INTO ' <<<"$sql") == 3 ]] ||
  problem "quorvane-cli --print-sql printed not one INSERT per row of samples/people.csv"

if ((problems > 0)); then
  echo "== Package: $problems problem(s) ==" >&2
  exit 1
fi
echo "== Package: $deb is sound =="
