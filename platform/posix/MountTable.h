// SPDX-License-Identifier: GPL-3.0-or-later
// The mounts of this process as Linux lists them in /proc/self/mountinfo, enough to find every place where a
// folder shows: a bind mount shows a folder of a file system at a second place, whose parents are not the
// folder's own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmere::platform::posix {

struct MountEntry {
    std::string device;     // "major:minor" of the file system
    std::string root;       // the folder of that file system shown at the mount point
    std::string mountPoint; // where it shows
    std::string type;       // with its FUSE subtype, as the table shows it ("fuse.fusefat")
    std::string source;     // the device or image, or the driver's own name
    bool operator==(const MountEntry&) const = default;
};

// The entries of a mountinfo text, in its order, their paths unescaped ("\040" is a blank); lines that do not
// parse are left out.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The other places where the folder at resolvedPath (absolute, links resolved) shows: the same folder of the
// same file system under each other mount that shows it. The mount holding resolvedPath is the one with the
// longest mount point above it, the last listed among equals (a mount on top of another).
std::vector<std::string> OtherPlacesOf(const std::vector<MountEntry>& mounts, std::string_view resolvedPath);

// The mount that holds resolvedPath (absolute, links resolved): the one with the longest mount point above it, the
// last listed among equals (a mount on top of another); none when no mount holds it.
const MountEntry* HoldingMount(const std::vector<MountEntry>& mounts, std::string_view resolvedPath);

// This process's mounts; none where the system does not list them.
std::vector<MountEntry> ReadMountTable();

} // namespace quillmere::platform::posix
