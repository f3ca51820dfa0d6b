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

bool IsOctalEscape(std::string_view text, std::size_t i) {
    return text[i] == '\\' && i + 3 < text.size() &&
           text.substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos;
}

// The mount table writes blanks, tabs, newlines and backslashes in paths as three-digit octal escapes.
std::string Unescape(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsOctalEscape(text, i)) {
            plain += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
            i += 3;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

bool MountPointHolds(std::string_view mountPoint, std::string_view path) {
    if (!path.starts_with(mountPoint)) {
        return false;
    }
    return mountPoint == "/" || path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

// Fields of one mountinfo line: 5th is the mount point; the type follows the "-" separator.
std::optional<MountEntry> ParseMountLine(const std::string& line) {
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) {
        words.push_back(std::move(word));
    }
    for (std::size_t i = 5; i + 1 < words.size(); ++i) {
        if (words[i] == "-") {
            return MountEntry{Unescape(words[4]), words[i + 1], i + 2 < words.size() ? Unescape(words[i + 2]) : ""};
        }
    }
    return std::nullopt;
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

std::optional<MountEntry> FindMount(std::string_view mountinfo, std::string_view realPath) {
    std::optional<MountEntry> best;
    std::istringstream lines{std::string(mountinfo)};
    for (std::string line; std::getline(lines, line);) {
        auto entry = ParseMountLine(line);
        if (entry && MountPointHolds(entry->mountPoint, realPath) &&
            (!best || entry->mountPoint.size() >= best->mountPoint.size())) {
            best = std::move(entry);
        }
    }
    return best;
}

} // namespace quillmere::platform::posix
