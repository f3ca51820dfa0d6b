#!/usr/bin/env bash
# Builds the Debian package quillmere_<version>_<arch>.deb: a Release build of the programs in build-release/
# (or the folder given), then cpack. Install it with: apt-get install ./build-release/quillmere_*.deb
# Usage: scripts/package.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-release}
scripts/install-deps.sh build
for tool in dpkg-shlibdeps file; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: apt-get install dpkg-dev file" >&2; exit 1; }
done
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_BUILD_TESTS=OFF -DQUILLMERE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
cd "$build_dir"
cpack -G DEB
