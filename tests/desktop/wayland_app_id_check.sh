#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Under a Wayland compositor (sway, headless) the window's app id is the desktop entry's name, by which docks,
# task switchers and notification settings find the program's name and icon. sway refuses to run as root, so as
# root the compositor and the program run as the user nobody.
# Usage: wayland_app_id_check.sh QUILLMERE_BINARY DESKTOP_ENTRY
set -euo pipefail
program=$1
entry=$2

command -v sway >/dev/null && command -v swaymsg >/dev/null || { echo "SKIP: sway is not installed"; exit 77; }
qt_libraries=$(dirname "$(ldd "$program" | awk '/libQt6Core/ {print $3}')")
compgen -G "$qt_libraries/qt6/plugins/platforms/libqwayland-*.so" >/dev/null ||
    { echo "SKIP: Qt's Wayland platform (qt6-wayland) is not installed"; exit 77; }

fail() {
    echo "FAIL: $*"
    echo "--- sway said:"
    tail -n 20 "$work/sway.log" 2>/dev/null || true
    echo "--- the program said:"
    cat "$work/program.log" 2>/dev/null || true
    exit 1
}
# Its temporary folder, background processes and waiting, without an X display.
source "$(dirname "$0")/../support/x-desktop.sh"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chmod 755 "$work"
    "${as_user[@]}" test -x "$program" ||
        { echo "SKIP: the user nobody cannot reach $program (a folder above it is closed to others)"; exit 77; }
fi
mkdir -p "$work/runtime" "$work/home"
[ ${#as_user[@]} -eq 0 ] || chown nobody "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
printf 'output HEADLESS-1 resolution 1280x800\n' >"$work/sway.config"
chmod 644 "$work/sway.config"
session=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home")

"${as_user[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.config" >"$work/sway.log" 2>&1 &
pids+=($!)
compositor_up() { compgen -G "$work/runtime/sway-ipc.*.sock" >/dev/null && [ -S "$work/runtime/wayland-1" ]; }
wait_for 15 compositor_up || fail "sway did not start"
ipc=$(compgen -G "$work/runtime/sway-ipc.*.sock" | head -n 1)

"${as_user[@]}" "${session[@]}" WAYLAND_DISPLAY=wayland-1 QT_QPA_PLATFORM=wayland "$program" \
    >"$work/program.log" 2>&1 &
pids+=($!)
# The app id of the window titled "Quillmere", from sway's tree of windows.
app_id() {
    "${as_user[@]}" swaymsg -s "$ipc" -t get_tree 2>/dev/null | /usr/bin/python3 -c '
import json, sys
def windows(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from windows(child)
print(next((w["app_id"] for w in windows(json.load(sys.stdin)) if w.get("name") == "Quillmere" and w.get("app_id")), ""))'
}
window_mapped() { [ -n "$(app_id)" ]; }
wait_for 15 window_mapped || fail "no window titled Quillmere appeared under sway"
expected=$(basename "$entry" .desktop)
[ "$(app_id)" = "$expected" ] || fail "the window's app id is \"$(app_id)\", not the desktop entry's \"$expected\""
echo "under sway the window's app id is $expected, the name of its desktop entry"
