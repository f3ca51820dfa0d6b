#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "quillmere --help" and "quillmere --version" print and end, as every desktop program's do: no window opens,
# so no display is needed.
# Usage: info_options_check.sh QUILLMERE_BINARY VERSION
set -euo pipefail
program=$1
version=$2
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

fail() {
    echo "FAIL: $*"
    exit 1
}
help=$(timeout 10 "$program" --help 2>&1) || fail "--help did not end with status 0: $help"
grep -q '^usage: quillmere ' <<<"$help" || fail "--help printed: $help"
printed=$(timeout 10 "$program" --version 2>&1) || fail "--version did not end with status 0: $printed"
[ "$printed" = "quillmere $version" ] || fail "--version printed: $printed"
echo "PASS: --help and --version printed and ended without a display"
