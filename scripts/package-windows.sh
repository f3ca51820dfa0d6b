#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows program with mingw-w64 (a Release build in build-windows/, or the folder given) and packs it
# twice: quillmere-<version>-setup.exe, the installer made with NSIS, and quillmere-<version>-portable.zip.
# Usage: scripts/package-windows.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-windows}
scripts/install-deps.sh windows
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUILLMERE_BUILD_TESTS=OFF -DQUILLMERE_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target windows-installer windows-portable
ls -l "$build_dir"/quillmere-*-setup.exe "$build_dir"/quillmere-*-portable.zip
