#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, with apt-get, the Debian 12 packages the build and the tests need; does nothing when all are there.
# Usage: scripts/install-deps.sh [build|package|windows|test]
set -euo pipefail

build_packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
    fonts-liberation # metric-compatible Arial, the window's font
)
package_packages=(dpkg-dev fakeroot file)
windows_packages=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev nsis) # the Windows program and its installer
test_packages=(
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth trayer openbox wmctrl xdotool x11-utils imagemagick # the real desktop check
    dbus xfce4-panel xfce4-notifyd    # a StatusNotifier tray and desktop notifications, on a bus of the check's own
    at-spi2-core python3-pyatspi     # the accessibility bus, read as a screen reader reads it
    sway qt6-wayland                 # a Wayland compositor, and Qt's platform for it
    # FAT and exFAT folders; fuse3 also stands for the fuse package that fusefat, exfat-fuse and bindfs ask for,
    # which would remove ntfs-3g and sshfs
    fusefat dosfstools exfat-fuse exfatprogs fuse3
    ntfs-3g sshfs openssh-server rclone bindfs e2fsprogs  # the other kinds of folder the storage tests mount
    libfuse3-dev                                           # a slow source, to close the program during a copy
    "${windows_packages[@]}" wine64                         # the Windows build, run under Wine
    "${package_packages[@]}" desktop-file-utils            # the package check
    lintian appstream                                      # Debian's checkers of the package and its metainfo
    python3                                                # redraws the icons to compare with the committed ones
    trash-cli                                              # an independent reader of what the Trash keeps
    acl                                                    # setfacl and getfacl: the ACLs a copy must carry
    rsync unison                                           # what the sync bench times the pass against
)

packages=("${build_packages[@]}")
case "${1:-build}" in
    package) packages+=("${package_packages[@]}") ;;
    windows) packages+=("${windows_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}. Run this as root, or install them with apt-get." >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
