# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the checks that need a real X desktop: a private Xvfb display, and on request a window manager and
# trayer as the tray host. It makes $work (a temporary folder) and $pids (the background processes), both cleaned
# up when the script exits. A check that defines no fail() before sourcing it gets the one below.

# Fails the check: the cause, what the program said ($work/program.log), and where the check keeps its screenshots
# ($shots), a picture of the screen as $failure_picture.
if ! declare -F fail >/dev/null; then
    fail() {
        echo "FAIL: $*"
        echo "--- the program said:"
        cat "$work/program.log" 2>/dev/null || true
        [ -z "${shots:-}" ] || import -window root "$shots/${failure_picture:-desktop-check-failure.png}" 2>/dev/null || true
        exit 1
    }
fi

# Exits 77 (skipped) unless every named tool is installed.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps.sh test)"; exit 77; }
    done
}

work=$(mktemp -d)
pids=()
cleanup_x_desktop() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup_x_desktop EXIT

# Polls a command for up to $1 seconds. The command is run afresh each time, so pass a function, not "$(...)".
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

# trayer's panel: a line such as   0x200003 "panel": ("panel" "trayer")  200x32+0+0  +824+0
# (No early exit in these filters: the writer would die of SIGPIPE, which pipefail reports as a failure.)
tray_panel_window() { xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ && !found {print $1; found = 1}'; }
tray_panel_up() { [ -n "$(tray_panel_window)" ]; }

x_server_answers() { xdpyinfo >/dev/null 2>&1; }
window_manager_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# The program under test: its process ($program_pid), its main window ($window), and its icon in trayer's panel
# ($panel), an embedded window of class $tray_icon_class.

# Ended, and not a zombie waiting to be reaped.
program_ended() {
    local state
    state=$(ps -o stat= -p "$program_pid" 2>/dev/null) || return 0
    [[ $state == Z* ]]
}

# The main window: the visible window titled "Quillmere" that is larger than a tray icon.
main_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Quillmere$' 2>/dev/null); do
        [ "$(xwininfo -id "$id" | awk '/Width:/ {print $2}')" -gt 100 ] && { echo "$id"; return; }
    done
    true
}
window_shown() { [ -n "$(main_window)" ]; }
is_viewable() { xwininfo -id "$window" | grep -q 'Map State: IsViewable'; }
is_hidden() { ! is_viewable; }

tray_icon_line() { xwininfo -tree -id "$panel" | grep -m 1 -E "\\(\"$tray_icon_class\" " || true; }
icon_embedded() { [ -n "$(tray_icon_line)" ]; }
# "X Y W H" on the screen, from the line's "WxH+x+y  +X+Y".
icon_geometry() { tray_icon_line | sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/'; }
icon_gone() { [ -z "$(tray_icon_line)" ]; }

# The steps both desktop checks take; each fails the check when its step does not happen.
# The icon is embedded in the panel; sets icon_x, icon_y, icon_w and icon_h.
expect_tray_icon() {
    wait_for 10 icon_embedded || fail "no tray icon was embedded"
    read -r icon_x icon_y icon_w icon_h < <(icon_geometry)
    echo "tray icon at $icon_x,$icon_y size ${icon_w}x$icon_h"
}
# A file put into folder $1 reaches folder $2 within one interval of 5 seconds.
expect_pass_copies() {
    echo "hello" >"$1/from-one.txt"
    copied() { cmp -s "$1/from-one.txt" "$2/from-one.txt"; }
    wait_for 7 copied "$1" "$2" || fail "no pass copied the file within 7 seconds"
    echo "a pass copied the file"
}
expect_minimizing_hides() {
    xdotool windowminimize "$window"
    wait_for 5 is_hidden || fail "minimizing did not hide the window"
    window_shown && fail "the window is still visible"
    echo "minimizing hid the window"
}
# A click on the tray icon brings the window back, not minimized.
expect_tray_click_restores() {
    xdotool mousemove $((icon_x + icon_w / 2)) $((icon_y + icon_h / 2)) click 1
    wait_for 5 is_viewable || fail "a click on the tray icon did not bring the window back"
    xprop -id "$window" _NET_WM_STATE | grep -q '_NET_WM_STATE_HIDDEN' && fail "the window came back minimized"
    echo "a click on the tray icon brought the window back"
}

# Starts Xvfb on a free display (of $screen_size, 1024x768 unless set) and exports DISPLAY, private XDG folders
# (the home trash among them), then each named helper: "openbox" (a window manager) and "trayer" (the tray host, waited for until its panel is up).
start_x_desktop() {
    mkdir -p "$work/runtime" "$work/config" "$work/data" && chmod 700 "$work/runtime"
    export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    unset DBUS_SESSION_BUS_ADDRESS # the X tray, not a StatusNotifier host that is not there

    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "${screen_size:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    exec 3>&-
    wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=:$(cat "$work/display")
    # Under load the server has been seen to name its display before it took clients.
    wait_for 10 x_server_answers || fail "Xvfb does not answer on $DISPLAY"

    local helper
    for helper in "$@"; do
        case $helper in
        openbox) start_openbox ;;
        trayer) start_trayer ;;
        esac
        pids+=($!)
    done
    # A window mapped while the window manager still starts has been seen to stay unmapped for good.
    if [[ " $* " == *" openbox "* ]]; then
        wait_for 20 window_manager_up_or_openbox_restarted ||
            fail "the window manager did not start: $(cat "$work/openbox.log")$(x_server_answers || echo ' (Xvfb is gone)')"
    fi
    if [[ " $* " == *" trayer "* ]]; then
        wait_for 20 tray_panel_up_or_trayer_restarted ||
            fail "the tray host did not start: $(cat "$work/trayer.log")$(x_server_answers || echo ' (Xvfb is gone)')"
    fi
}

# Starts a session bus of the check's own (the user's is never touched) and exports its address. What the bus starts
# on demand (xfconfd, a notification service) ends with it.
start_session_bus() {
    exec 4>"$work/bus-address"
    dbus-daemon --session --nofork --print-address=4 >/dev/null 2>&1 &
    pids+=($!)
    exec 4>&-
    wait_for 10 test -s "$work/bus-address" || fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
    export DBUS_SESSION_BUS_ADDRESS
}

start_openbox() {
    openbox >>"$work/openbox.log" 2>&1 &
    openbox_pid=$!
}
# Like trayer, a window manager that found the fresh display closed and ended is started again.
window_manager_up_or_openbox_restarted() {
    window_manager_up && return 0
    if ! kill -0 "$openbox_pid" 2>/dev/null && x_server_answers; then
        start_openbox
        pids+=("$openbox_pid")
    fi
    return 1
}

start_trayer() {
    trayer --edge top --align right --widthtype pixel --width 200 --height 32 --SetDockType true \
        --transparent false --tint 0x808080 >>"$work/trayer.log" 2>&1 &
    trayer_pid=$!
}
# Under load trayer has once found the display closed just after Xvfb answered, and ended at once: a tray host
# that ended is started again while the wait lasts.
tray_panel_up_or_trayer_restarted() {
    tray_panel_up && return 0
    if ! kill -0 "$trayer_pid" 2>/dev/null && x_server_answers; then
        start_trayer
        pids+=("$trayer_pid")
    fi
    return 1
}
