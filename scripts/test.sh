#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test: unit and widget tests, the FAT folder tests, the
# Windows build under Wine, the package check and the real desktop check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
scripts/build.sh
cd "${QUILLMERE_BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)" "$@"
