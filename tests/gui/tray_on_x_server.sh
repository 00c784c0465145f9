#!/bin/bash
# The tray icon on a real X server: an XEmbed tray host (trayer) takes the
# icon, a left click opens the tray menu, its About item shows the main
# window at the About page, and its Exit item ends the program.
# Usage: tray_on_x_server.sh VANTREL
set -u
vantrel=$1
for tool in Xvfb trayer xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to 15 s for a command to succeed.
wait_for() {
    for _ in $(seq 150); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export XDG_RUNTIME_DIR="$work" HOME="$work" QUORVANE_DATA_DIR="$work/data"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_QPA_PLATFORM

trayer --edge top --align right --widthtype request --height 24 --SetDockType true 2>"$work/trayer.log" &
pids+=($!)
wait_for xdotool search --class trayer || fail "trayer did not start"

# With an account the program starts hidden in the tray.
mkdir -p "$QUORVANE_DATA_DIR"
printf '[Settings]\r\nNumAccounts=1\r\nSyncAddressBook=0\r\n[Account1]\r\nID={5CA1AB1E-0000-4000-8000-000000000001}\r\nEmailAddress=me@example.net\r\n' \
    >"$QUORVANE_DATA_DIR/vantrel.ini"
"$vantrel" >"$work/vantrel.log" 2>&1 &
program=$!
pids+=($program)

icon_window() { xdotool search --onlyvisible --class vantrel | head -n 1; }
has_icon() { [ -n "$(icon_window)" ]; }
wait_for has_icon || fail "the tray icon was not embedded: $(cat "$work/vantrel.log")"
icon=$(icon_window)
eval "$(xdotool getwindowgeometry --shell "$icon")"
[ "$WIDTH" -le 64 ] || fail "the only visible window is not a tray icon (${WIDTH}x${HEIGHT})"
visible_before=$(xdotool search --onlyvisible --class vantrel | wc -l)

click_icon() {
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
}
more_windows() { [ "$(xdotool search --onlyvisible --class vantrel | wc -l)" -gt "$visible_before" ]; }

click_icon
wait_for more_windows || fail "a click on the tray icon opened no menu"
xdotool key b # A&bout
wait_for xdotool search --onlyvisible --name '^Quorvane - About$' || fail "About did not show the main window"
echo "tray menu opened; About shows the main window"

# Exit from the tray menu ends the program.
click_icon
sleep 0.5
xdotool key x # E&xit
for _ in $(seq 150); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "Exit did not end the program"
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -q 'Maximized=' "$QUORVANE_DATA_DIR/vantrel.ini" || fail "the window state was not saved"
echo "Exit ended the program"
