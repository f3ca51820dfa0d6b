#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window as a screen reader meets it: the program under Xvfb on a private session bus, read through the
# accessibility bus (AT-SPI) that the session bus starts on demand, by accessibility_probe.py.
# Usage: accessibility_check.sh QUILLMERE_BINARY
set -euo pipefail
program=$1

source "$(dirname "$0")/../support/x-desktop.sh"
require_tools Xvfb xdpyinfo dbus-daemon /usr/libexec/at-spi-bus-launcher
# Debian's own Python, which has pyatspi, whatever python3 comes first on the path.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }

start_x_desktop
start_session_bus
mkdir -p "$XDG_CONFIG_HOME/Harnvale"
printf '[Quillmere]\nStartStopState=Off\n' >"$XDG_CONFIG_HOME/Harnvale/Quillmere.ini"
# Qt speaks to the accessibility bus when a screen reader asks the desktop to turn it on; here nothing does.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/program.log" 2>&1 &
pids+=($!)
/usr/bin/python3 "$(dirname "$0")/accessibility_probe.py" Quillmere || fail "the window does not read as it should"
