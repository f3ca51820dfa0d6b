#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program under Xvfb with a window manager and a tray host, with settings prepared in a
# temporary folder (two folders chosen, "Sync every 5 seconds"), and checks what a user would see:
# the window appears, its icon sits in the tray, a pass copies a file, minimizing hides the window, a click on
# the tray icon brings it back, and closing the window saves both folders and takes the icon down. A second
# start, hidden in the tray, shows only the icon until it is clicked, and SIGTERM (as a session ends a program)
# saves both folders too.
# Usage: desktop_check.sh QUILLMERE_BINARY SCREENSHOT_FOLDER
set -euo pipefail
program=$1
shots=$2

source "$(dirname "$0")/../support/x-desktop.sh"
require_tools Xvfb trayer openbox xdotool xwininfo xdpyinfo xprop wmctrl import

mkdir -p "$work/one" "$work/two" "$work/three" "$work/config/Harnvale" "$shots"
settings=$work/config/Harnvale/Quillmere.ini
cat >"$settings" <<INI
[Quillmere]
Folder%201=$work/one/
Folder%202=$work/two/
OftenIndex=1
StartStopState=On
INI
start_x_desktop openbox trayer
panel=$(tray_panel_window)

start_program() {
    "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=($program_pid)
}
# The embedded icon is a window of the program's class inside the panel: "Quillmere": ("quillmere" "Quillmere").
tray_icon_class=quillmere

# --- First start: the window, the tray icon, a pass, minimizing and restoring, closing.
start_program
wait_for 15 window_shown || fail "the main window did not appear"
window=$(main_window)
echo "window $window is shown"

expect_tray_icon
import -window root "$shots/desktop-check-window.png" || true
expect_pass_copies "$work/one" "$work/two"
expect_minimizing_hides
sleep 0.5 # only for the picture: the notice is drawn after the window has gone
import -window root "$shots/desktop-check-tray.png" || true
expect_tray_click_restores

wmctrl -i -c "$window"
wait_for 10 program_ended || fail "closing the window did not end the program"
grep -qx "Folder%201=$work/one/" "$settings" || fail "\"Folder 1\" was not saved: $(cat "$settings")"
grep -qx "Folder%202=$work/two/" "$settings" || fail "\"Folder 2\" was not saved: $(cat "$settings")"
wait_for 5 icon_gone || fail "the tray icon stayed after the program ended"
echo "closing saved both folders and took the icon down"

# --- Second start, hidden in the tray: the tray icon brings the window back; hidden again, SIGTERM ends the
# program as a session ends it, and the close request still runs.
sed -i "s|^Folder%202=.*|Folder%202=$work/three/|" "$settings"
echo "Minimized=On" >>"$settings"
start_program
wait_for 15 icon_embedded || fail "no tray icon was embedded when starting in the tray"
window_shown && fail "starting in the tray showed the window"
sleep 0.5 # only for the picture
import -window root "$shots/desktop-check-start-in-tray.png" || true
read -r icon_x icon_y icon_w icon_h < <(icon_geometry)
xdotool mousemove $((icon_x + icon_w / 2)) $((icon_y + icon_h / 2)) click 1
wait_for 5 window_shown || fail "a click on the tray icon did not show the window started in the tray"
window=$(main_window)
xprop -id "$window" _NET_WM_STATE | grep -q '_NET_WM_STATE_HIDDEN' && fail "the window came back minimized"
echo "a start in the tray showed only the icon, and a click on it brought the window"
xdotool windowminimize "$window"
wait_for 5 is_hidden || fail "minimizing did not hide the window again"

# What the program saves from now on comes from its lists.
sed -i '/^Folder%20[12]=/d' "$settings"
kill -TERM "$program_pid"
wait_for 10 program_ended || fail "SIGTERM did not end the program"
grep -qx "Folder%201=$work/one/" "$settings" || fail "SIGTERM: \"Folder 1\" was not saved: $(cat "$settings")"
grep -qx "Folder%202=$work/three/" "$settings" || fail "SIGTERM: \"Folder 2\" was not saved: $(cat "$settings")"
wait_for 5 icon_gone || fail "the tray icon stayed after SIGTERM"
echo "SIGTERM while hidden in the tray saved both folders and took the icon down"
