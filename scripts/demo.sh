#!/bin/sh
# Installs what is missing, builds and runs the demo: a private mail service
# and a throw-away data folder, one scan, a challenge answered, a second scan
# that releases the held message (quorvane demo --keep keeps the folder).
# With a display (DISPLAY set) and --gui, the desktop program then opens on
# the demo's data folder; the folder is removed when it ends.
set -eu
cd "$(dirname "$0")/.."
gui=""
if [ "${1:-}" = "--gui" ]; then
    gui=1
    shift
fi
scripts/install-deps.sh
scripts/build.sh build
if [ -z "$gui" ] || [ -z "${DISPLAY:-}" ]; then
    [ -n "$gui" ] && echo "demo: no display (DISPLAY is not set); the headless demo only"
    exec build/src/cli/quorvane demo "$@"
fi

output=$(mktemp)
trap 'rm -f "$output"' EXIT
build/src/cli/quorvane demo --keep "$@" | tee "$output"
folder=$(sed -n 's/^The demo.s folder is kept: //p' "$output")
[ -n "$folder" ] || exit 1
echo "demo: the desktop program shows the demo's data folder; choose Exit in its tray menu to end"
export QUORVANE_DATA_DIR="$folder"
build/src/ui/vantrel &
program=$!
# A second start shows the running program's window, which starts in the tray.
sleep 2
build/src/ui/vantrel
wait "$program" || true
rm -rf "$folder"
