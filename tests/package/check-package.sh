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

# Whoever builds a package maintains it; with no one named, cpack makes none.
if env -u DEBEMAIL -u DEBFULLNAME "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/nobody" \
    -D CPACK_DEBIAN_PACKAGE_MAINTAINER= >"$work/nobody.log" 2>&1; then
    fail "cpack made a package that names no maintainer"
fi
grep -q "Who maintains this package" "$work/nobody.log" || fail "cpack did not say why it made no package"

# The package and cpack's staging folders go under $work, so parallel runs and scripts/package.sh never share them.
# The check builds the package as a packager would, naming itself as the maintainer unless the build names one.
maintainer=${QUILLMERE_CHECK_MAINTAINER:-"Quillmere package check <package-check@quillmere.invalid>"}
if ! DEBEMAIL="$maintainer" "$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" \
    >"$work/cpack.log" 2>&1; then
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

# The build's own addresses, and nothing in their place where it gives none: a name under a reserved domain
# (.example, .invalid, .test, .localhost) can never be reached.
build_value() {
    sed -n "s/^$1:STRING=//p" "$build_dir/CMakeCache.txt"
}
home_page=$(build_value QUILLMERE_HOME_PAGE)
screenshot=$(build_value QUILLMERE_SCREENSHOT_URL)
support=$(build_value QUILLMERE_SUPPORT_ADDRESS)
configured_maintainer=$(build_value QUILLMERE_MAINTAINER)
[ "$(field Maintainer)" = "${configured_maintainer:-$maintainer}" ] || fail "Maintainer is '$(field Maintainer)'"
[ "$(field Homepage)" = "$home_page" ] || fail "Homepage is '$(field Homepage)', the build's is '$home_page'"
dpkg -x "$deb" "$work/root"
metainfo_text=$(cat "$work/root$metainfo")
copyright_text=$(cat "$work/root/usr/share/doc/quillmere/copyright")
manual_text=$(zcat "$work/root/usr/share/man/man1/quillmere.1.gz")
expect_named() { # WHAT TEXT PREFIX VALUE [SUFFIX]: TEXT holds PREFIX VALUE SUFFIX, or no PREFIX when no VALUE
    if [ -n "$4" ]; then
        grep -qF -- "$3$4${5:-}" <<<"$2" || fail "$1 lacks '$3$4${5:-}'"
    elif grep -qF -- "$3" <<<"$2"; then
        fail "$1 holds '$3' though the build gives no value for it"
    fi
}
expect_named "the metainfo" "$metainfo_text" '<url type="homepage">' "$home_page" '</url>'
expect_named "the metainfo" "$metainfo_text" '<image type="source">' "$screenshot" '</image>'
expect_named "the copyright" "$copyright_text" 'Source: ' "$home_page"
expect_named "the copyright" "$copyright_text" 'Upstream-Contact: The Quillmere developers <' "$support" '>'
expect_named "the manual page" "$manual_text" '.MT ' "$support"
reserved='[A-Za-z0-9-]\.(example|invalid|test|localhost)([^A-Za-z0-9.-]|$)'
for shown in "$metainfo_text" "$copyright_text" "$manual_text" "$(field Homepage)"; do
    if grep -qE "$reserved" <<<"$shown"; then
        fail "an address that can never be reached: $(grep -oE "[^ <>\"]*$reserved" <<<"$shown" | head -1)"
    fi
done

# Any error or warning fails; the informational tags are shown, not counted.
lintian --fail-on error,warning --display-info "$deb" || fail "lintian finds fault with the package"

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
