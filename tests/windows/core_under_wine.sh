#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program for 64-bit Windows with mingw-w64 and runs its tests under Wine in a fresh, private Wine
# prefix: the Windows tests, the file-service tests that build for Windows, the window logic's and the tray
# control's tests, the Windows window's own (its wiring, tray hook and services), a real pass of quillmere-sync.exe,
# its --watch copying a save in a tree with links back up and ended by Ctrl-C, the Run value written, read back
# with "reg query" and deleted, and the folder watch on a drive Wine takes for a network one. Prints how long each
# stage took, and bounds each one.
# Usage: core_under_wine.sh SOURCE_FOLDER CROSS_BUILD_FOLDER
set -euo pipefail
source_folder=$1
build=$2

fail() { echo "FAIL: $*"; exit 1; }
source "$source_folder/tests/windows/cross-build.sh"
require_cross_tools

work=$(mktemp -d /tmp/quillmere-wine.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
# Wine's Recycle Bin is the home trash: a private one, which the tests read back, keeps the user's own clean.
export XDG_DATA_HOME=$work/data
mkdir "$XDG_DATA_HOME"
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A persistent server keeps every later wine64 start in this prefix short.
start=$(now)
mkdir "$WINEPREFIX"
"$wineserver" -p
run wineboot --init >/dev/null 2>&1

# The window's tests make windows but show none: Wine's null display driver needs no X server.
run reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
report_time "Wine prefix created" "$start"

start=$(now)
# Only what builds for Windows: the platform, walk and desktop tests are POSIX-specific.
cross_build "$source_folder" "$build" windows_tests fs_tests engine_tests ui_tests tray_tests win32_window_tests \
    quillmere-sync quillmere-startup-entry
report_time "cross build" "$start"

# No stage may hang the run: each program gets at most this long.
stage_limit=300
bounded_run() { timeout -k 10 "$stage_limit" "$source_folder/tests/windows/wine-run.sh" "$@"; }
# Runs a test program under Wine, bounded, with its whole output in a log of its own. Passing, it prints the
# totals and what was skipped; failing or stopped, the end of the log, which names the test it was in. Wine's
# notes that it cannot read the Z: drive's label are left out of both.
run_test_program() {
    local program=$1 log status=0
    shift
    log=$work/$(basename "$program").log
    bounded_run "$program" "$@" >"$log" 2>&1 || status=$?
    if [ "$status" = 0 ]; then
        grep -E '^\[(==========|  PASSED  |  SKIPPED )\] ' "$log" || true
        return 0
    fi
    grep -v '^wine: Read access denied' "$log" | tail -n 40
    [ "$status" != 124 ] || echo "(stopped after $stage_limit s)"
    return 1
}

start=$(now)
for tests in tests/windows/windows_tests.exe tests/fs/fs_tests.exe tests/engine/engine_tests.exe \
    tests/ui/ui_tests.exe tests/tray/tray_tests.exe tests/windows/win32_window_tests.exe; do
    echo "== $tests"
    run_test_program "$build/$tests" || fail "$tests"
done

echo "== a Recycle Bin that deletes what it is given"
# Wine, like Windows on some drives, deletes outright (and reports success) what it cannot put in the bin: here
# because the trash cannot be made where a file stands.
echo "not a folder" >"$work/no-trash"
XDG_DATA_HOME=$work/no-trash QUILLMERE_RECYCLE_BIN_DELETES=1 run_test_program "$build/tests/windows/windows_tests.exe" \
    --gtest_filter='RecycleBinThatDeletes.*' || fail "a file the Recycle Bin deleted was lost"

echo "== quillmere-sync.exe: a real pass"
one="$work/Folder One"
two="$work/Folder Two"
mkdir -p "$one/Sub" "$two"
echo first >"$one/Sub/only1.txt"
echo older >"$one/both.txt"
echo newer >"$two/both.txt"
touch -d '2021-08-31 10:00:00' "$one/both.txt"
touch -d '2021-08-31 10:00:01' "$two/both.txt"
output=$(bounded_run "$build/cli/quillmere-sync.exe" "$(windows_path "$one")" "$(windows_path "$two")") ||
    fail "quillmere-sync.exe ended with an error: $output"
echo "$output"
[ "$(cat "$two/only1.txt")" = first ] || fail "only1.txt was not copied into Folder Two's top folder"
[ "$(cat "$one/both.txt")" = newer ] || fail "the newer both.txt did not replace the older one"
[ "$(stat -c %Y "$one/both.txt")" = "$(stat -c %Y "$two/both.txt")" ] || fail "both.txt lost its time"
echo "$output" | tr -d '\r' | grep -qxF "trash $(windows_path "$one/both.txt")" ||
    fail "the older both.txt was not kept in the Recycle Bin"
! ls -A "$one" "$two" | grep -q '^~' || fail "a temporary file was left behind"

echo "== quillmere-sync.exe: folder names outside the ANSI code page"
# Wine hands the program arguments in the code page of the Linux locale (Western for a UTF-8 one), which has no
# Cyrillic or Greek letters: read from argv, these folders would be reported missing.
one="$work/Bücher Книги"
two="$work/Βιβλία"
mkdir -p "$one/Под" "$two"
echo Grüße >"$one/Под/Привет.txt"
output=$(LC_ALL=C.UTF-8 bounded_run "$build/cli/quillmere-sync.exe" "$(windows_path "$one")" \
    "$(windows_path "$two")") ||
    fail "quillmere-sync.exe did not take folders with non-ASCII names: $output"
echo "$output"
[ "$(cat "$two/Привет.txt")" = Grüße ] || fail "Привет.txt was not copied into Βιβλία"
echo "$output" | tr -d '\r' |
    grep -qxF "copied $(windows_path "$one/Под/Привет.txt") -> $(windows_path "$two/Привет.txt")" ||
    fail "the copy was not printed in UTF-8"

echo "== quillmere-sync.exe --watch: a save copied soon, then idle, ended by Ctrl-C"
# Waits until the file holds count lines starting with text, at most a generous limit.
wait_for_lines() {
    local file=$1 text=$2 count=$3 tries=600
    while [ "$(tr -d '\r' <"$file" | grep -c "^$text")" -lt "$count" ]; do
        ((--tries > 0)) || return 1
        sleep 0.1
    done
}
one="$work/Watched One"
two="$work/Watched Two"
mkdir -p "$one/Sub" "$two"
# Two links back up, which Wine shows as reparse points: a watch that walked them never ended its set-up.
ln -s .. "$one/Sub/up"
ln -s .. "$one/Sub/up again"
: >"$work/watch.out"
# Started as a job of its own (set -m): a script's background commands otherwise ignore SIGINT. The runner
# ends in wine64 itself, so the signal reaches the program.
set -m
"$source_folder/tests/windows/wine-run.sh" "$build/cli/quillmere-sync.exe" --watch "$(windows_path "$one")" \
    "$(windows_path "$two")" >"$work/watch.out" 2>"$work/watch.err" &
watcher=$!
set +m
wait_for_lines "$work/watch.out" "pass: " 1 || fail "--watch ran no first pass: $(cat "$work/watch.out")"
echo saved >"$one/Sub/saved.txt"
wait_for_lines "$work/watch.out" "copied " 1 || fail "a save was not copied: $(cat "$work/watch.out")"
# The pass the copy sets off finds nothing; then no pass runs while nothing changes.
wait_for_lines "$work/watch.out" "pass: " 3 || fail "no follow-up pass after the copy: $(cat "$work/watch.out")"
sleep 2
passes=$(tr -d '\r' <"$work/watch.out" | grep -c '^pass: ')
[ "$passes" = 3 ] || fail "$passes passes ran where 3 should have: $(cat "$work/watch.out")"
# Wine turns SIGINT into the console's Ctrl-C event, as a press of Ctrl-C in a Windows console.
kill -INT "$watcher"
# Whichever ends first: the program, or a timer that holds none of the test's output open (CTest waits for that).
sleep "$stage_limit" >/dev/null 2>&1 &
timer=$!
status=0
ended=
wait -n -p ended "$watcher" "$timer" || status=$?
cat "$work/watch.out"
[ "$ended" != "$timer" ] || fail "--watch did not end within $stage_limit s of Ctrl-C: $(cat "$work/watch.err")"
kill "$timer"
[ "$status" = 0 ] || fail "--watch ended by Ctrl-C with status $status: $(cat "$work/watch.err")"
# Wine's own lines aside (it cannot read the Z: drive's label), nothing is said on standard error.
! grep -v '^wine: ' "$work/watch.err" || fail "--watch wrote to standard error"
[ "$(cat "$two/saved.txt")" = saved ] || fail "saved.txt is not in Folder Two's top folder"

echo "== Run value: written, read back with reg query, deleted"
run_key='HKLM\SOFTWARE\MICROSOFT\WINDOWS\CURRENTVERSION\RUN'
tool="$build/tests/windows/startup-entry/quillmere-startup-entry.exe"
# Another program that sorts first beside it, as in a Downloads folder: the value must name the one that runs.
cp "$tool" "$(dirname "$tool")/0-sorts-first.exe"
bounded_run "$tool" add
rm -f "$(dirname "$tool")/0-sorts-first.exe"
entry=$(bounded_run reg query "$run_key" /v quillmere-startup-entry.exe | tr -d '\r' | grep REG_SZ) ||
    fail "no Run value named quillmere-startup-entry.exe"
echo "$entry"
data=$(echo "$entry" | sed -E 's/^ *quillmere-startup-entry\.exe +REG_SZ +//')
[ "${data,,}" = "\"$(windows_path "$tool" | tr '[:upper:]' '[:lower:]')\"" ] ||
    fail "the Run value holds '$data', not the program file in quotes"
bounded_run "$tool" remove
if bounded_run reg query "$run_key" /v quillmere-startup-entry.exe >/dev/null 2>&1; then
    fail "the Run value is still there after removing it"
fi

echo "== the folder watch on a network drive"
# A drive Wine takes for a network one; its mount manager reads the drives' kinds when it starts, so the server
# starts again (last, as that ends every program in the prefix).
mkdir "$work/network-share"
ln -s "$work/network-share" "$WINEPREFIX/dosdevices/y:"
run reg add 'HKLM\Software\Wine\Drives' /v y: /d network /f >/dev/null
"$wineserver" -k
"$wineserver" -p
QUILLMERE_NETWORK_DRIVE='Y:\' run_test_program "$build/tests/windows/windows_tests.exe" \
    --gtest_filter='WindowsFolderWatch.NetworkDriveIsDoubted' >"$work/network-drive.out" ||
    { cat "$work/network-drive.out"; fail "a watch on a network drive was trusted"; }
cat "$work/network-drive.out"
! grep -q SKIPPED "$work/network-drive.out" || fail "Wine gave no network drive"
report_time "tests under Wine" "$start"
echo "PASS"
