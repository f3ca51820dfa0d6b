#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program on xfce4-panel, a StatusNotifier tray host, with a private session bus and a panel configuration of
# the check's own. As at login, the program starts first and the panel a few seconds later: the icon registers,
# minimizing hides the window and sends the notice as a desktop notification, the item's Activate brings the
# window back, and a panel that ends and starts again gets the icon back. A start hidden in the tray before the
# panel is up waits for it and hides there; hidden, it comes back minimized when the panel ends. A start hidden in
# the panel's X tray (no session bus for the program) shows its notice beside the icon, not in a corner.
# Usage: statusnotifier_check.sh QUILLMERE_BINARY SCREENSHOT_FOLDER
set -euo pipefail
program=$1
shots=$2

failure_picture=desktop-xfce-failure.png
source "$(dirname "$0")/../support/x-desktop.sh"
require_tools Xvfb xfce4-panel dbus-daemon dbus-send dbus-monitor openbox xdotool xwininfo xdpyinfo xprop wmctrl \
    import

# One panel along the top: a separator that takes the room, then the tray at the right end, far from the corner
# where a misplaced notice would show.
write_panel_configuration() {
    local folder=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$folder"
    cat >"$folder/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="2"/>
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
    <property name="plugin-2" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
  </property>
</channel>
XML
}

start_x_desktop openbox
start_session_bus
write_panel_configuration
mkdir -p "$XDG_CONFIG_HOME/Harnvale" "$shots"
settings=$XDG_CONFIG_HOME/Harnvale/Quillmere.ini
printf '[Quillmere]\nStartStopState=Off\n' >"$settings"

# Every notice the program sends, as the session bus carries it.
dbus-monitor --session "type='method_call',interface='org.freedesktop.Notifications',member='Notify'" \
    >"$work/notices" 2>&1 &
pids+=($!)
wait_for 5 grep -q NameAcquired "$work/notices" || fail "dbus-monitor did not start"
notices_sent() { [ "$(grep -c 'member=Notify' "$work/notices")" -ge "$1" ]; }

start_panel() {
    NO_AT_BRIDGE=1 xfce4-panel >>"$work/panel.log" 2>&1 &
    panel_pid=$!
    pids+=($panel_pid)
}
watcher_there() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q 'boolean true'
}
stop_panel() {
    kill "$panel_pid"
    wait_for 10 eval '! watcher_there' || fail "the panel did not end"
}
# The items the panel's watcher lists, by their names on the bus.
listed_items() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | grep -o 'org\.kde\.StatusNotifierItem-[0-9]*-[0-9]*' || true
}
icon_listed() { [ -n "$(listed_items)" ]; }
# What the panel sends for a click on the icon.
activate_icon() {
    dbus-send --session --print-reply --dest="$(listed_items | head -n 1)" /StatusNotifierItem \
        org.kde.StatusNotifierItem.Activate int32:0 int32:0 >/dev/null || fail "the item took no Activate"
}
is_iconic() { xprop -id "$window" WM_STATE 2>/dev/null | grep -q 'Iconic'; }

start_program() {
    "$@" "$program" >>"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=($program_pid)
}

# --- First start, before the panel: the icon registers once the panel is up.
start_program
wait_for 15 window_shown || fail "the main window did not appear"
window=$(main_window)
sleep 3 # the panel comes a few seconds later, as at login
start_panel
wait_for 20 icon_listed || fail "the icon did not register with the panel that came after the program"
echo "the icon registered with the panel that started after the program: $(listed_items)"
import -window root "$shots/desktop-xfce-window.png" || true

xdotool windowminimize "$window"
wait_for 5 is_hidden || fail "minimizing did not hide the window"
wait_for 5 notices_sent 1 || fail "minimizing sent no notice"
grep -q 'has been minimized to the system tray.' "$work/notices" || fail "the notice is not the tray notice"
sleep 0.5 # only for the picture: the notification service draws the notice
import -window root "$shots/desktop-xfce-notice.png" || true
echo "minimizing hid the window and sent the notice as a desktop notification"

activate_icon
wait_for 5 is_viewable || fail "Activate on the icon did not bring the window back"
xprop -id "$window" _NET_WM_STATE | grep -q '_NET_WM_STATE_HIDDEN' && fail "the window came back minimized"
echo "Activate on the icon brought the window back"

stop_panel
start_panel
wait_for 20 icon_listed || fail "the icon did not come back with the panel"
echo "a panel that ended and started again got the icon back"

wmctrl -i -c "$window"
wait_for 10 program_ended || fail "closing the window did not end the program"
wait_for 5 eval '! icon_listed' || fail "the icon stayed listed after the program ended"

# --- A start hidden in the tray before the panel: it waits for the panel and hides there.
stop_panel
echo "Minimized=On" >>"$settings"
start_program
sleep 3
window_shown && fail "a start in the tray showed the window while it waited for a tray"
start_panel
wait_for 20 icon_listed || fail "a start in the tray got no icon on the panel that came later"
wait_for 5 notices_sent 2 || fail "a start in the tray sent no notice"
window_shown && fail "a start in the tray showed the window once the panel came"
sleep 0.5 # only for the picture
import -window root "$shots/desktop-xfce-start-in-tray.png" || true
activate_icon
wait_for 5 window_shown || fail "Activate did not bring back the window started in the tray"
window=$(main_window)
echo "a start in the tray waited for the panel, hid there, and Activate brought the window"

xdotool windowminimize "$window"
wait_for 5 is_hidden || fail "minimizing did not hide the window again"
stop_panel
wait_for 5 is_iconic || fail "the window hidden in a tray that ended did not come back minimized"
echo "the window hidden in a panel that ended came back minimized"
kill -TERM "$program_pid"
wait_for 10 program_ended || fail "SIGTERM did not end the program"

# --- The panel's X tray, for a program without a session bus: the notice of a start in the tray comes up beside
# the icon, even though the panel gives the icon its place only after a while.
start_panel
wait_for 20 watcher_there || fail "the panel did not start again"
start_program env -u DBUS_SESSION_BUS_ADDRESS
# Windows of the program's class, as "W H X Y" on the screen: the icon is the small one inside the panel, the
# notice the wide one on top.
quillmere_windows() {
    xwininfo -root -tree | awk '/\("quillmere" "Quillmere"\)/ {
        split($(NF - 1), size, /[x+]/); split($NF, place, "+"); print size[1], size[2], place[2], place[3] }'
}
x_tray_icon() { quillmere_windows | awk '$1 <= 64' | head -n 1; }
notice_window() { quillmere_windows | awk '$1 > 200 && $2 < 200' | head -n 1; }
notice_and_icon_shown() { [ -n "$(notice_window)" ] && [ -n "$(x_tray_icon)" ]; }
wait_for 15 notice_and_icon_shown || fail "no notice and icon in the X tray: $(quillmere_windows)"
read -r _ _ icon_x icon_y < <(x_tray_icon)
read -r notice_w notice_h notice_x notice_y < <(notice_window)
# How far the notice lies from the icon, across and down: 0 where it reaches the icon's line.
gap() { local icon=$1 from=$2 length=$3; echo $((from > icon ? from - icon : icon > from + length ? icon - from - length : 0)); }
[ "$(gap "$icon_x" "$notice_x" "$notice_w")" -le 40 ] && [ "$(gap "$icon_y" "$notice_y" "$notice_h")" -le 40 ] ||
    fail "the notice came up at $notice_x,$notice_y (${notice_w}x$notice_h), away from the icon at $icon_x,$icon_y"
import -window root "$shots/desktop-xfce-x-tray-notice.png" || true
echo "in the X tray the notice of a start in the tray came up beside the icon"
