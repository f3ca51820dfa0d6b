#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a build tree, checks what it holds and declares, has Debian's own checkers judge
# it (lintian; appstreamcli for the metainfo), unpacks it into a temporary root and runs the quillmere-sync it
# installed there.
# Usage: check-package.sh BUILD_DIR CPACK VERSION ICON_SOURCE_DIR
set -euo pipefail
build_dir=$1 cpack=$2 version=$3 icon_source_dir=$4

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

for tool in dpkg dpkg-deb dpkg-shlibdeps desktop-file-validate lintian appstreamcli; do
    command -v "$tool" >/dev/null ||
        skip "$tool is missing; apt-get install dpkg-dev desktop-file-utils lintian appstream"
done
[ -x "$cpack" ] || skip "cpack is missing ($cpack); apt-get install cmake"

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The package and cpack's staging folders go under $work, so parallel runs and scripts/package.sh never share them.
if ! "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" "$work"/out/_CPack_Packages/*/DEB/*Output.log >&2 2>/dev/null || true
    fail "cpack could not build the package"
fi

deb="$work/out/quillmere_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$work/out")"

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/contents"
expect_file() {
    grep -qxF "$1" "$work/contents" || fail "the package lacks $1"
}
# Software centres find the desktop entry by the AppStream id, so the two files share that name.
metainfo=$(grep -E '^/usr/share/metainfo/[^/]+\.metainfo\.xml$' "$work/contents") ||
    fail "the package has no AppStream metainfo"
desktop_entry=/usr/share/applications/$(basename "$metainfo" .metainfo.xml).desktop
for file in /usr/bin/quillmere /usr/bin/quillmere-sync /usr/share/man/man1/quillmere.1.gz \
    /usr/share/man/man1/quillmere-sync.1.gz /usr/share/doc/quillmere/copyright \
    /usr/share/doc/quillmere/changelog.gz "$desktop_entry"; do
    expect_file "$file"
done
icons=$(cd "$icon_source_dir" && find . -name '*.png' | sed 's|^\./||')
[ -n "$icons" ] || fail "no icons under $icon_source_dir"
for icon in $icons; do
    expect_file "/usr/share/icons/hicolor/$icon"
done

field() {
    dpkg-deb -f "$deb" "$1"
}
[ "$(field Package)" = quillmere ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
depends=$(field Depends)
echo "Depends: $depends"
expect_dependency() {
    grep -qE "(^|, )$1( |,|$)" <<<"$depends" || fail "Depends lacks $1"
}
expect_dependency 'libqt6widgets6'
expect_dependency 'libqt6gui6'
expect_dependency 'libc6'
expect_dependency 'fonts-liberation'

# Any error or warning fails; the informational tags are shown, not counted.
lintian --fail-on error,warning --display-info "$deb" || fail "lintian finds fault with the package"

dpkg -x "$deb" "$work/root"
desktop-file-validate "$work/root$desktop_entry" || fail "the desktop entry is not valid"
grep -qxF 'Icon=quillmere' "$work/root$desktop_entry" || fail "the entry names another icon"
# validate-tree validates the metainfo as "appstreamcli validate" does, and finds the desktop entry it launches.
appstreamcli validate-tree --no-net "$work/root" || fail "the AppStream metainfo is not valid"

sync="$work/root/usr/bin/quillmere-sync"
[ "$("$sync" --version)" = "quillmere-sync $version" ] || fail "--version printed '$("$sync" --version)'"

# Every option the program offers is in its manual page.
gzip -t "$work/root/usr/share/man/man1/quillmere-sync.1.gz" || fail "the manual page is not a valid gzip file"
man_text=$(zcat "$work/root/usr/share/man/man1/quillmere-sync.1.gz" | sed 's/\\-/-/g')
for option in $("$sync" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$man_text" || fail "the manual page does not describe $option"
done

mkdir "$work/folder1" "$work/folder2"
printf 'only in folder 1\n' >"$work/folder1/notes.txt"
"$sync" "$work/folder1" "$work/folder2" || fail "the installed quillmere-sync failed a pass"
cmp "$work/folder1/notes.txt" "$work/folder2/notes.txt" || fail "the pass did not copy notes.txt to folder 2"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, checked"
