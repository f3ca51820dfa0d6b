#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The committed icons are exactly what scripts/make-icons.py draws, so a change to one shows in the other.
# Usage: icons_match.sh SOURCE_ROOT
set -euo pipefail
command -v python3 >/dev/null || { echo "SKIP: python3 is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$1/scripts/make-icons.py" "$work"
diff -r "$work" "$1/data/icons"
