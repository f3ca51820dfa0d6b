#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window on a 1366 x 768 screen with fonts at 144 dpi, under a window manager: it comes up whole on the screen,
# title bar and all, and the window manager may make it smaller still.
# Usage: large_fonts_check.sh QUILLMERE_BINARY SCREENSHOT_FOLDER
set -euo pipefail
program=$1
shots=$2

failure_picture=desktop-large-fonts-failure.png
source "$(dirname "$0")/../support/x-desktop.sh"
require_tools Xvfb openbox xdotool xwininfo xdpyinfo xprop import
screen_size=1366x768 start_x_desktop openbox
mkdir -p "$XDG_CONFIG_HOME/Harnvale" "$shots"
printf '[Quillmere]\nStartStopState=Off\n' >"$XDG_CONFIG_HOME/Harnvale/Quillmere.ini"
QT_FONT_DPI=144 "$program" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=($program_pid)
wait_for 15 window_shown || fail "the main window did not appear"
window=$(main_window)
sleep 0.5 # the window manager puts its frame around the window

# "X Y W H" of the window with its frame, on the screen.
framed() { xwininfo -frame -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                                              /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'; }
read -r x y w h < <(framed)
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1366 ] && [ $((y + h)) -le 768 ] ||
    fail "the window with its frame, ${w}x$h at $x,$y, runs off the 1366 x 768 screen"
import -window root "$shots/desktop-large-fonts.png" || true
echo "at 144 dpi the window came up whole: ${w}x$h at $x,$y"

xdotool windowsize "$window" 700 420
size_is() { xwininfo -id "$window" | awk '/Width:/ {w = $NF} /Height:/ {h = $NF} END {exit !(w == 700 && h == 420)}'; }
wait_for 5 size_is || fail "the window did not take the size 700 x 420: $(xwininfo -id "$window" | grep -E 'Width|Height')"
import -window root "$shots/desktop-large-fonts-smaller.png" || true
echo "the window took a smaller size when asked"
