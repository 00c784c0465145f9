#!/bin/sh
# Builds the Debian package from a build folder (default: build) and checks
# that it installs what it should and removes cleanly. As root it installs on
# this machine with dpkg -i and removes it with dpkg -r; otherwise it only
# unpacks it into a scratch folder and checks the files.
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
rm -f "$build"/quorvane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quorvane_*.deb)
echo "package-check: built $deb"

expected="
usr/bin/vantrel
usr/bin/quorvane
usr/share/applications/org.belvantis.Quorvane.desktop
usr/share/metainfo/org.belvantis.Quorvane.metainfo.xml
usr/share/icons/hicolor/scalable/apps/org.belvantis.Quorvane.svg
usr/share/icons/hicolor/16x16/apps/org.belvantis.Quorvane.png
usr/share/icons/hicolor/48x48/apps/org.belvantis.Quorvane.png
usr/share/icons/hicolor/256x256/apps/org.belvantis.Quorvane.png
usr/share/quorvane/help/index.htm
usr/share/quorvane/help/scan.htm
"

check_files() {
    root=$1
    for file in $expected; do
        [ -e "$root/$file" ] || { echo "package-check: $file is missing" >&2; exit 1; }
    done
}

if [ "$(id -u)" -eq 0 ]; then
    dpkg -i "$deb" >/dev/null
    check_files ""
    /usr/bin/quorvane --help >/dev/null
    dpkg -r quorvane >/dev/null
    for file in $expected; do
        [ ! -e "/$file" ] || { echo "package-check: /$file is left after removal" >&2; exit 1; }
    done
    echo "package-check: installed and removed cleanly"
else
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    dpkg-deb -x "$deb" "$scratch"
    check_files "$scratch"
    echo "package-check: unpacked and checked (not root: not installed)"
fi
