# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the checks that need a real X desktop: a private Xvfb display, and on request a window manager and
# trayer as the tray host. Source it after defining fail(); it makes $work (a temporary folder) and $pids (the
# background processes), both cleaned up when the script exits.

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

# Starts Xvfb on a free display and exports DISPLAY, private XDG folders (the home trash among them), then each
# named helper: "openbox" (a window manager) and "trayer" (the tray host, waited for until its panel is up).
start_x_desktop() {
    mkdir -p "$work/runtime" "$work/config" "$work/data" && chmod 700 "$work/runtime"
    export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    unset DBUS_SESSION_BUS_ADDRESS # the X tray, not a StatusNotifier host that is not there

    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    exec 3>&-
    wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=:$(cat "$work/display")
    # Under load the server has been seen to name its display before it took clients.
    wait_for 10 x_server_answers || fail "Xvfb does not answer on $DISPLAY"

    local helper
    for helper in "$@"; do
        case $helper in
        openbox) openbox >/dev/null 2>&1 & ;;
        trayer)
            trayer --edge top --align right --widthtype pixel --width 200 --height 32 --SetDockType true \
                --transparent false --tint 0x808080 >>"$work/trayer.log" 2>&1 &
            ;;
        esac
        pids+=($!)
    done
    if [[ " $* " == *" trayer "* ]]; then
        wait_for 20 tray_panel_up || fail "the tray host did not start: $(cat "$work/trayer.log")"
    fi
}
