// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TimeResolutionRules.h"

#include <array>
#include <sstream>
#include <utility>
#include <vector>

namespace quillmere::platform::posix {

namespace {

// SMB shares carry Windows file times (100 ns steps), whatever disk the server keeps them on.
constexpr std::array<std::pair<std::uint64_t, std::int64_t>, 6> kMagicResolutions{{
    {0x4d44, kFatResolution},       // msdos and vfat
    {0x2011BAB0, kExfatResolution}, // exfat
    {0x5346544e, kNtfsResolution},  // ntfs (the old driver)
    {0x7366746e, kNtfsResolution},  // ntfs3
    {0xFF534D42, kNtfsResolution},  // cifs
    {0xFE534D42, kNtfsResolution},  // smb3
}};

constexpr std::array<std::pair<std::string_view, std::int64_t>, 11> kTypeResolutions{{
    {"vfat", kFatResolution},
    {"msdos", kFatResolution},
    {"fat", kFatResolution},
    {"fusefat", kFatResolution},
    {"exfat", kExfatResolution},
    {"exfat-fuse", kExfatResolution},
    {"ntfs", kNtfsResolution},
    {"ntfs3", kNtfsResolution},
    {"ntfs-3g", kNtfsResolution},
    {"lowntfs-3g", kNtfsResolution},
    {"sshfs", kWholeSecondResolution},
}};

// "fuse.fusefat" and "fuseblk.exfat" name the driver after the dot; a plain type names itself.
std::string_view DriverOf(std::string_view type) {
    for (const std::string_view prefix : {"fuse.", "fuseblk."}) {
        if (type.starts_with(prefix)) {
            return type.substr(prefix.size());
        }
    }
    return type;
}

} // namespace

std::optional<std::int64_t> ResolutionOfMagic(std::uint64_t magic) {
    for (const auto& [known, resolution] : kMagicResolutions) {
        if (magic == known) {
            return resolution;
        }
    }
    if (magic == kFuseMagic) {
        return std::nullopt;
    }
    return kExactResolution;
}

std::int64_t ResolutionOfMountType(std::string_view type) {
    const std::string_view driver = DriverOf(type);
    for (const auto& [known, resolution] : kTypeResolutions) {
        if (driver == known) {
            return resolution;
        }
    }
    return kExactResolution;
}

std::optional<std::int64_t> ResolutionOfBootSector(std::string_view sector) {
    // The OEM name at offset 3 tells NTFS and exFAT; FAT writes its type at 54 (FAT12/16) or 82 (FAT32).
    const auto holds = [&](std::size_t offset, std::string_view name) {
        return sector.size() >= offset + name.size() && sector.substr(offset, name.size()) == name;
    };
    if (holds(3, "NTFS    ")) {
        return kNtfsResolution;
    }
    if (holds(3, "EXFAT   ")) {
        return kExfatResolution;
    }
    if (holds(54, "FAT1") || holds(82, "FAT32")) {
        return kFatResolution;
    }
    return std::nullopt;
}

} // namespace quillmere::platform::posix
