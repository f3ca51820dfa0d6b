#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's start command must start the program the build makes: scripts/run.sh names it by its place in the
# build folder, which moves whenever the window's sources do.
# Usage: run_script_check.sh SOURCE_DIR BUILD_DIR PROGRAM
set -euo pipefail
source_dir=$1
build_dir=$2
program=$3
place=${program#"$build_dir"/}
if ! grep -qF "exec \"\${QUILLMERE_BUILD_DIR:-build}/$place\"" "$source_dir/scripts/run.sh"; then
    echo "scripts/run.sh does not start $place, where the build puts the program" >&2
    exit 1
fi
