#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package quillmere_<version>_<arch>.deb: a Release build of the programs in build-release/
# (or the folder given), then cpack. Install it with: apt-get install ./build-release/quillmere_*.deb
# Usage: scripts/package.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-release}
scripts/install-deps.sh package
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_BUILD_TESTS=OFF -DQUILLMERE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
cd "$build_dir"
# The package's maintainer is whoever builds it (see cmake/PackageMaintainer.cmake): as Debian's tools take it,
# else as git knows them.
if [ -z "${DEBEMAIL:-}" ] && git config user.email >/dev/null 2>&1; then
    DEBEMAIL=$(git config user.email) DEBFULLNAME=${DEBFULLNAME:-$(git config user.name || true)} cpack -G DEB
else
    cpack -G DEB
fi
