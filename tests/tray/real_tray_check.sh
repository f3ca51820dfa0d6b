#!/usr/bin/env bash
# The tray control in a real tray (Xvfb with Debian's trayer): left, right, middle and double clicks made
# with xdotool reach the control as the events its message table raises, and its timer takes a real balloon
# down. Usage: real_tray_check.sh TRAY_PROBE
set -euo pipefail
probe=$1

for tool in Xvfb trayer xdotool; do
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
fail() { echo "FAIL: $*"; echo "--- probe said:"; cat "$work/events"; exit 1; }
wait_for() { # seconds, then a command polled until it succeeds
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
said() { grep -qx "$1" "$work/events"; }

mkdir -p "$work/runtime" "$work/config" && chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
unset DBUS_SESSION_BUS_ADDRESS # the X tray, not a StatusNotifier host that is not there

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
trayer --edge top --align right --widthtype pixel --width 200 --height 32 --SetDockType true \
    --transparent false --tint 0x808080 >/dev/null 2>&1 &
pids+=($!)

touch "$work/events"
"$probe" >"$work/events" 2>"$work/probe.log" &
pids+=($!)
wait_for 15 grep -q '^icon ' "$work/events" || fail "the icon was not embedded"
read -r _ x y w h < <(grep '^icon ' "$work/events")
xdotool mousemove $((x + w / 2)) $((y + h / 2))

xdotool click 1 && wait_for 5 said "up 1" || fail "no release for a left click"
xdotool click 3 && wait_for 5 said "up 2" || fail "no release for a right click"
xdotool click 2
xdotool click --repeat 2 --delay 80 1 && wait_for 10 said "balloon down" || fail "no balloon cycle after a double click"

expected=$'down 1\nup 1\ndown 2\nup 2\ndown 1\nup 1\ndblclick 1\nup 1\nballoon up\nballoon down'
[ "$(grep -v '^icon ' "$work/events")" = "$expected" ] || fail "events differ from: $expected"
echo "tray events and balloon as expected"
