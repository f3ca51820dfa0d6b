// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/MountTable.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace quillmere::platform::posix {

namespace {

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// mountinfo writes a blank, a tab, a newline and a backslash in a path as three octal digits after a backslash.
std::string Unescaped(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) && IsOctalDigit(field[i + 2]) &&
            IsOctalDigit(field[i + 3])) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// "ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL-FIELDS...] - TYPE SOURCE SUPER-OPTIONS": the third to
// fifth fields, and the two after the "-" that ends the optional ones.
std::optional<MountEntry> ParseLine(const std::string& line) {
    std::istringstream fields(line);
    std::string id, parent, device, root, mountPoint;
    if (!(fields >> id >> parent >> device >> root >> mountPoint) || device.find(':') == std::string::npos ||
        !root.starts_with('/') || !mountPoint.starts_with('/')) {
        return std::nullopt;
    }
    std::string word;
    while (fields >> word && word != "-") {
    }
    std::string type, source;
    fields >> type >> source;
    return MountEntry{device, Unescaped(root), Unescaped(mountPoint), type, Unescaped(source)};
}

// True when path is base or lies below it, component by component.
bool IsAtOrBelow(std::string_view path, std::string_view base) {
    if (base == "/") {
        return path.starts_with('/');
    }
    return path.starts_with(base) && (path.size() == base.size() || path[base.size()] == '/');
}

// base joined with what follows prefix in path (which lies at or below prefix).
std::string Moved(std::string_view path, std::string_view prefix, std::string_view base) {
    const std::string_view rest = prefix == "/" ? path.substr(1) : path.substr(prefix.size());
    std::string moved(base);
    const std::string_view tail = rest.starts_with('/') ? rest.substr(1) : rest;
    if (!tail.empty()) {
        if (!moved.ends_with('/')) {
            moved += '/';
        }
        moved += tail;
    }
    return moved;
}

} // namespace

const MountEntry* HoldingMount(const std::vector<MountEntry>& mounts, std::string_view resolvedPath) {
    const MountEntry* holding = nullptr;
    for (const MountEntry& mount : mounts) {
        if (IsAtOrBelow(resolvedPath, mount.mountPoint) &&
            (!holding || mount.mountPoint.size() >= holding->mountPoint.size())) {
            holding = &mount;
        }
    }
    return holding;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (std::optional<MountEntry> entry = ParseLine(line)) {
            mounts.push_back(std::move(*entry));
        }
    }
    return mounts;
}

std::vector<std::string> OtherPlacesOf(const std::vector<MountEntry>& mounts, std::string_view resolvedPath) {
    const MountEntry* holding = HoldingMount(mounts, resolvedPath);
    if (!holding) {
        return {};
    }
    // Where the folder lies inside its own file system.
    const std::string inFileSystem = Moved(resolvedPath, holding->mountPoint, holding->root);
    std::vector<std::string> places;
    for (const MountEntry& mount : mounts) {
        if (&mount == holding || mount.device != holding->device || !IsAtOrBelow(inFileSystem, mount.root)) {
            continue;
        }
        std::string place = Moved(inFileSystem, mount.root, mount.mountPoint);
        if (place != resolvedPath) {
            places.push_back(std::move(place));
        }
    }
    return places;
}

std::vector<MountEntry> ReadMountTable() {
    std::ifstream file("/proc/self/mountinfo");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return ParseMountInfo(text);
}

} // namespace quillmere::platform::posix
