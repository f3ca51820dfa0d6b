// SPDX-License-Identifier: GPL-3.0-or-later
// The pure half of TimeResolution: which file system a folder lies on, told from statfs's magic number and, for
// FUSE, from the mount table's type (platform/posix/MountTable.h). Kept apart from the system calls so the rules can be
// tested from a table.
#pragma once

#include "platform/TimeSteps.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform::posix {

inline constexpr std::uint64_t kFuseMagic = 0x65735546;

// Resolution for a statfs magic number; FUSE gives no answer here (ask the mount table).
std::optional<std::int64_t> ResolutionOfMagic(std::uint64_t magic);

// Resolution for a mount-table file-system type ("vfat", "fuse.fusefat", "fuseblk.exfat", "fuse.ntfs-3g"...).
std::int64_t ResolutionOfMountType(std::string_view type);

// Resolution for the first sector of a volume, told by the name its boot sector carries ("NTFS    ",
// "EXFAT   ", "FAT12   "...); no value for anything else. For "fuseblk" mounts without a subtype (ntfs-3g,
// exfat-fuse), whose mount table entry names only the device.
std::optional<std::int64_t> ResolutionOfBootSector(std::string_view sector);

} // namespace quillmere::platform::posix
