# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the checks that build the program for Windows and run it under Wine. Source it after defining fail();
# it sets $wine, $wineserver and run (wine-run.sh in the caller's WINEPREFIX).

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

# Exits 77 (skipped) unless the cross compilers, Wine and the named extra tools are installed.
require_cross_tools() {
    local tool
    for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-windres "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/install-deps.sh test)"; exit 77; }
    done
    for tool in "$wine" "$wineserver"; do
        [ -x "$tool" ] || { echo "SKIP: $tool is missing (install wine64)"; exit 77; }
    done
    [ -f /usr/src/googletest/CMakeLists.txt ] ||
        { echo "SKIP: /usr/src/googletest is missing (install googletest)"; exit 77; }
}

# Configures the Windows build in $2 from the sources in $1 and builds the targets that follow. The tests that
# share a build folder take turns (their RESOURCE_LOCK), so one build never runs inside another.
cross_build() {
    local source_folder=$1 build=$2
    shift 2
    local log=$build/cross-build.log launcher=()
    mkdir -p "$build"
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$source_folder" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source_folder/cmake/toolchain-mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_BUILD_GUI=ON -DQUILLMERE_BUILD_TESTS=ON \
        -DQUILLMERE_BUILD_BENCH=OFF "${launcher[@]}" >"$log" 2>&1 ||
        { tail -n 60 "$log"; fail "configuring the Windows build failed (build folder $build)"; }
    cmake --build "$build" -j2 --target "$@" >"$log" 2>&1 ||
        { tail -n 60 "$log"; fail "the Windows build failed (build folder $build)"; }
}

run() { "$(dirname "${BASH_SOURCE[0]}")/wine-run.sh" "$@"; }

# The Windows form of a Linux path: Wine shows the Linux root as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

now() { date +%s.%N; }
report_time() { awk -v what="$1" -v from="$2" -v to="$(now)" 'BEGIN { printf "TIME %s: %.1f s\n", what, to - from }'; }
