#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program on a real desktop, the counterpart of tests/desktop: a fresh Wine prefix, the installer run
# silently, and the installed program started under Xvfb with a window manager and trayer as the tray host
# (Wine docks its tray icons in an X tray), with two folders and "Sync every 5 seconds" stored. Checked: the
# window appears with its captions, a pass copies a file, minimizing hides the window and a click on the tray
# icon brings it back, a click on "Load this software on Windows startup" writes the Run value, closing saves
# both folders in the registry, and the uninstaller removes program and Run value but leaves the settings.
# Screenshots land in the screenshot folder. Prints how long the stages took.
# Usage: desktop_under_wine.sh SOURCE_FOLDER CROSS_BUILD_FOLDER SCREENSHOT_FOLDER
set -euo pipefail
source_folder=$1
build=$2
shots=$3

fail() {
    echo "FAIL: $*"
    echo "--- the program said:"
    cat "$work/program.log" 2>/dev/null || true
    import -window root "$shots/windows-desktop-failure.png" 2>/dev/null || true
    exit 1
}
source "$source_folder/tests/support/x-desktop.sh"
source "$source_folder/tests/windows/cross-build.sh"
require_tools Xvfb trayer openbox xdotool xwininfo xdpyinfo xprop wmctrl import
require_cross_tools makensis
trap '"$wineserver" -k 2>/dev/null || true; cleanup_x_desktop' EXIT

start=$(now)
cross_build "$source_folder" "$build" windows-installer quillmere-window-controls
report_time "cross build" "$start"

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
settings_key='HKCU\Software\VB and VBA Program Settings\Harnvale\Quillmere'
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# The data of a registry value, or nothing when there is none.
registry_value() {
    run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -nE "s/^ *$2 +REG_[A-Z]+ +//p" || true
}

start_x_desktop openbox trayer
panel=$(tray_panel_window)
start=$(now)
mkdir "$WINEPREFIX"
"$wineserver" -p
run wineboot --init >/dev/null 2>&1
report_time "Wine prefix created" "$start"

start=$(now)
run "$(windows_path "$(ls "$build"/quillmere-*-setup.exe)")" /S || fail "the installer failed"
program=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Programs/Quillmere/Quillmere.exe')
[ -n "$program" ] || fail "the installer put no Quillmere.exe in %LOCALAPPDATA%\\Programs\\Quillmere"
installed=$(dirname "$program")
# Started from drive C:, where the installer put it, as the Start-menu entry starts it.
program_path=$(run winepath -w "$program" 2>/dev/null | tr -d '\r')
[ -n "$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Quillmere.lnk')" ] ||
    fail "no Start-menu entry"
report_time "silent install" "$start"

one="$work/one"
two="$work/two"
mkdir "$one" "$two"
for setting in "Folder 1=$(windows_path "$one/")" "Folder 2=$(windows_path "$two/")" "OftenIndex=1"; do
    run reg add "$settings_key" /v "${setting%%=*}" /d "${setting#*=}" /f >/dev/null
done

# Wine's tray icons are windows of its explorer.exe inside the panel.
tray_icon_class=explorer.exe
controls() { run "$(windows_path "$build/tests/windows/quillmere-window-controls.exe")" 2>/dev/null | tr -d '\r'; }

start=$(now)
run "$program_path" >"$work/program.log" 2>&1 &
program_pid=$!
pids+=($program_pid)
wait_for 30 window_shown || fail "the main window did not appear"
report_time "start-up to the window" "$start"
window=$(main_window)
sleep 0.5 # only for the picture: the controls are drawn after the window is mapped
import -window root "$shots/windows-desktop-window.png" || true
captions=$(controls) || fail "the program's controls could not be read"
for caption in "Sync Options" "1. Choose Folder 1" "2. Choose Folder 2" "Turn Off Auto Sync" "Sync Now (Test)" \
    "Keep replaced files in the Trash" "Startup Option" "Start in system tray" "Load this software on Windows startup"; do
    grep -qF "$caption"$'\t' <<<"$captions" || fail "no control captioned \"$caption\": $captions"
done
echo "the window shows its captions"

expect_tray_icon
expect_pass_copies "$one" "$two"
expect_minimizing_hides
# Only for the picture: Wine draws the notice a moment after the window has gone.
notice_shown() {
    local id
    for id in $(xwininfo -root -children | awk '/\("explorer.exe"/ {print $1}'); do
        xwininfo -id "$id" | awk '/Width:/ {w = $2} /Map State: IsViewable/ {v = 1} END {exit !(v && w > 250)}' && return
    done
    return 1
}
wait_for 3 notice_shown || true
import -window root "$shots/windows-desktop-tray.png" || true

expect_tray_click_restores

read -r box_x box_y box_w box_h < <(controls | sed -nE 's/^Load this software on Windows startup\t//p')
xdotool mousemove $((box_x + 8)) $((box_y + box_h / 2)) click 1
run_value_written() { [ -n "$(registry_value "$machine_run" Quillmere.exe)$(registry_value "$user_run" Quillmere.exe)" ]; }
wait_for 5 run_value_written || fail "ticking the start-up box wrote no Run value"
run_value=$(registry_value "$machine_run" Quillmere.exe)$(registry_value "$user_run" Quillmere.exe)
[ "${run_value,,}" = "\"${program_path,,}\"" ] ||
    fail "the Run value holds '$run_value', not the program in quotes"
echo "ticking the start-up box wrote the Run value $run_value"

wmctrl -i -c "$window"
wait_for 10 program_ended || fail "closing the window did not end the program"
[ "$(registry_value "$settings_key" 'Folder 1')" = "$(windows_path "$one/")" ] || fail "\"Folder 1\" was not saved"
[ "$(registry_value "$settings_key" 'Folder 2')" = "$(windows_path "$two/")" ] || fail "\"Folder 2\" was not saved"
echo "closing saved both folders in the registry"

start=$(now)
run "$(windows_path "$installed/uninstall.exe")" /S || fail "the uninstaller failed"
# The uninstaller works on from a copy of itself, so the folder goes a moment after it returned.
program_removed() { [ ! -e "$installed" ]; }
wait_for 20 program_removed || fail "the uninstaller left $installed: $(ls "$installed")"
[ -z "$(registry_value "$machine_run" Quillmere.exe)$(registry_value "$user_run" Quillmere.exe)" ] ||
    fail "the uninstaller left the Run value"
[ "$(registry_value "$settings_key" 'Folder 1')" = "$(windows_path "$one/")" ] || fail "the uninstaller took the settings"
report_time "silent uninstall" "$start"
echo "the uninstaller removed program and Run value, and left the settings"
