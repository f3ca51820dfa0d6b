#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows program under Wine without the desktop integration and debug chatter Wine adds by default.
# The caller chooses the Wine prefix (WINEPREFIX); without one, a private prefix of this project is used so that
# ~/.wine is never touched.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quillmere-wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES=winemenubuilder.exe=d
exec /usr/lib/wine/wine64 "$@"
