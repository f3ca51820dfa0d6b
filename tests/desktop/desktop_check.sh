#!/usr/bin/env bash
# Starts the real program under Xvfb with a window manager and a tray host, with settings prepared in a
# temporary folder (two folders chosen, "Sync every 5 seconds"), and checks what a user would see:
# the window appears, its icon sits in the tray, a pass copies a file, minimizing hides the window, a click on
# the tray icon brings it back, and closing the window saves both folders.
# Usage: desktop_check.sh QUILLMERE_BINARY SCREENSHOT_FOLDER
set -euo pipefail
program=$1
shots=$2

for tool in Xvfb trayer openbox xdotool xwininfo xprop wmctrl import; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps.sh test)"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Polls a condition for up to $1 seconds.
wait_for() {
    local seconds=$1; shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

mkdir -p "$work/one" "$work/two" "$work/config/Harnvale" "$work/runtime"
chmod 700 "$work/runtime"
cat >"$work/config/Harnvale/Quillmere.ini" <<INI
[Quillmere]
Folder%201=$work/one/
Folder%202=$work/two/
OftenIndex=1
StartStopState=On
INI
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
unset DBUS_SESSION_BUS_ADDRESS # the X tray, not a StatusNotifier host that is not there

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

openbox >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype pixel --width 200 --height 32 --SetDockType true \
    --transparent false --tint 0x808080 >/dev/null 2>&1 &
pids+=($!)
panel_window() { xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}'; }
wait_for 10 test -n "$(panel_window)" || fail "the tray host did not start"

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=($program_pid)

main_window() { xdotool search --onlyvisible --name '^Quillmere$' 2>/dev/null | head -n 1; }
wait_for 15 test -n "$(main_window)" || fail "the main window did not appear"
window=$(main_window)
echo "window $window is shown"

# The tray icon is embedded as a child of the tray host's panel.
tray_icon_line() { xwininfo -tree -id "$(panel_window)" | grep -E '"quillmere": \(' | head -n 1; }
wait_for 10 test -n "$(tray_icon_line)" || fail "no tray icon was embedded"
read -r icon_x icon_y icon_w icon_h < <(tray_icon_line | sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/')
echo "tray icon at $icon_x,$icon_y size ${icon_w}x$icon_h"
import -window root "$shots/desktop-check-window.png" || true

echo "hello" >"$work/one/from-one.txt"
wait_for 7 test -f "$work/two/from-one.txt" || fail "no pass copied the file within 7 seconds"
cmp -s "$work/one/from-one.txt" "$work/two/from-one.txt" || fail "the copy differs from its source"
echo "a pass copied the file"

is_viewable() { xwininfo -id "$window" | grep -q 'Map State: IsViewable'; }
xdotool windowminimize "$window"
wait_for 5 bash -c "! xwininfo -id $window | grep -q 'Map State: IsViewable'" || fail "minimizing did not hide the window"
xdotool search --onlyvisible --name '^Quillmere$' >/dev/null 2>&1 && fail "the window is still visible"
echo "minimizing hid the window"
import -window root "$shots/desktop-check-tray.png" || true

xdotool mousemove $((icon_x + icon_w / 2)) $((icon_y + icon_h / 2)) click 1
wait_for 5 is_viewable || fail "a click on the tray icon did not bring the window back"
xprop -id "$window" _NET_WM_STATE | grep -q '_NET_WM_STATE_HIDDEN' && fail "the window came back minimized"
echo "a click on the tray icon brought the window back"

wmctrl -i -c "$window"
wait_for 10 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "closing the window did not end the program"
settings=$work/config/Harnvale/Quillmere.ini
grep -q "^Folder%201=$work/one/\$" "$settings" || fail "\"Folder 1\" was not saved: $(cat "$settings")"
grep -q "^Folder%202=$work/two/\$" "$settings" || fail "\"Folder 2\" was not saved"
wait_for 5 test -z "$(tray_icon_line)" || fail "the tray icon stayed after the program ended"
echo "closing saved both folders and took the icon down"
