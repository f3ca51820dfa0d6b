#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Closes the real program while its pass copies a file that cannot be copied in time (a FUSE source whose reads
# are slow), under Xvfb with a window manager and a tray host: by the close box, by SIGTERM as a session ends a
# program, and by SIGHUP. Each time the program must end within about a second, with both folders saved, its
# tray icon gone and no copy of the file in place; what the cut-off copy left is removed by the next pass.
# Usage: close_during_copy_check.sh QUILLMERE QUILLMERE_SYNC SLOW_SOURCE_FS
set -euo pipefail
program=$1
sync=$2
slow_fs=$3

fail() {
    echo "FAIL: $*"
    echo "--- the program said:"
    cat "$work/program.log" 2>/dev/null || true
    exit 1
}
source "$(dirname "$0")/../support/x-desktop.sh"
require_tools Xvfb trayer openbox xdotool xwininfo xdpyinfo wmctrl
if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/fuse ]; then
    echo "SKIP: mounting the slow source needs root and /dev/fuse"
    exit 77
fi

slow=$work/slow
mkdir -p "$slow" "$work/two" "$work/empty"
"$slow_fs" "$slow" -f >"$work/fuse.log" 2>&1 &
fuse_pid=$!
unmount_slow() {
    umount -l "$slow" 2>/dev/null || true
    kill "$fuse_pid" 2>/dev/null || true
    cleanup_x_desktop
}
trap unmount_slow EXIT
wait_for 10 test -f "$slow/slow.bin" || fail "the slow source did not mount: $(cat "$work/fuse.log")"

start_x_desktop openbox trayer
panel=$(tray_panel_window)
tray_icon_class=quillmere
settings=$work/config/Harnvale/Quillmere.ini
mkdir -p "$(dirname "$settings")"

copy_in_flight() { compgen -G "$work/two/~quillmere-*" >/dev/null; }
milliseconds() { echo $((${EPOCHREALTIME/./} / 1000)); }

# Starts the program on fresh settings ("Sync every 5 seconds") and waits until its pass copies the slow file.
start_copying() {
    rm -f "$work/two"/~quillmere-* # each check waits for a copy of its own
    cat >"$settings" <<INI
[Quillmere]
Folder%201=$slow/
Folder%202=$work/two/
OftenIndex=1
StartStopState=On
INI
    "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=($program_pid)
    wait_for 15 window_shown || fail "the main window did not appear"
    window=$(main_window)
    wait_for 15 icon_embedded || fail "no tray icon was embedded"
    wait_for 20 copy_in_flight || fail "the pass did not start copying the slow file"
    # What the program saves from now on comes from its lists.
    sed -i '/^Folder%20[12]=/d' "$settings"
}

# HOW ended the program: within about a second, the folders saved, the icon down, nothing cut off put in place.
expect_quick_clean_end() {
    local started=$1 how=$2
    wait_for 3 program_ended || fail "$how left the program running during the copy"
    local took=$(($(milliseconds) - started))
    grep -qx "Folder%201=$slow/" "$settings" || fail "$how: \"Folder 1\" was not saved: $(cat "$settings")"
    grep -qx "Folder%202=$work/two/" "$settings" || fail "$how: \"Folder 2\" was not saved: $(cat "$settings")"
    wait_for 5 icon_gone || fail "$how: the tray icon stayed"
    [ ! -e "$work/two/slow.bin" ] || fail "$how: the copy that was cut off was put in place"
    echo "$how during the copy ended the program in $took ms, saved both folders, took the icon down;" \
        "left: $(ls -A "$work/two" | tr '\n' ' ')"
}

start_copying
started=$(milliseconds)
wmctrl -i -c "$window"
expect_quick_clean_end "$started" "the close box"

for signal in TERM HUP; do
    start_copying
    started=$(milliseconds)
    kill -"$signal" "$program_pid"
    expect_quick_clean_end "$started" "SIG$signal"
done

# The next pass that lists the folder removes what the cut-off copies left.
"$sync" "$work/two" "$work/empty" >"$work/sync.log" 2>&1 || fail "the next pass failed: $(cat "$work/sync.log")"
[ -z "$(ls -A "$work/two")" ] || fail "the next pass left $(ls -A "$work/two")"
echo "the next pass removed what the cut-off copies left"
echo "PASS"
