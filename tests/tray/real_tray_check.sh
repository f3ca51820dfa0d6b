#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray control in a real tray (Xvfb with Debian's trayer): a balloon asked for before the tray has placed the
# icon comes up beside the icon, left, right, middle and double clicks made with xdotool reach the control as the
# events its message table raises, and its timer takes a real balloon down. Usage: real_tray_check.sh TRAY_PROBE
set -euo pipefail
probe=$1

fail() { echo "FAIL: $*"; echo "--- probe said:"; cat "$work/events"; exit 1; }
source "$(dirname "$0")/../support/x-desktop.sh"
require_tools Xvfb trayer xdotool xwininfo xdpyinfo
said() { grep -qx "$1" "$work/events"; }
start_x_desktop trayer

touch "$work/events"
"$probe" >"$work/events" 2>"$work/probe.log" &
pids+=($!)
wait_for 15 grep -q '^icon ' "$work/events" || fail "the icon was not embedded"
read -r _ x y w h < <(grep '^icon ' "$work/events")
wait_for 10 grep -q '^first balloon ' "$work/events" || fail "the balloon asked for at once never came up"
read -r _ _ bx by bw bh < <(grep '^first balloon ' "$work/events")
# How far the balloon lies from the icon's centre, across and down; 0 where it covers the centre's line.
gap() { local centre=$1 from=$2 size=$3; echo $((from > centre ? from - centre : centre > from + size ? centre - from - size : 0)); }
[ "$(gap $((x + w / 2)) "$bx" "$bw")" -le 40 ] && [ "$(gap $((y + h / 2)) "$by" "$bh")" -le 40 ] ||
    fail "the balloon came up at $bx,$by (${bw}x$bh), away from the icon at $x,$y"
echo "the balloon asked for at once came up beside the icon: $bx $by $bw $bh icon $x $y $w $h"
xdotool mousemove $((x + w / 2)) $((y + h / 2))

xdotool click 1 && wait_for 5 said "up 1" || fail "no release for a left click"
xdotool click 3 && wait_for 5 said "up 2" || fail "no release for a right click"
xdotool click 2
xdotool click --repeat 2 --delay 80 1 && wait_for 10 said "balloon down" || fail "no balloon cycle after a double click"

expected=$'down 1\nup 1\ndown 2\nup 2\ndown 1\nup 1\ndblclick 1\nup 1\nballoon up\nballoon down'
[ "$(grep -v -e '^icon ' -e '^first balloon ' "$work/events")" = "$expected" ] || fail "events differ from: $expected"
echo "tray events and balloon as expected"
