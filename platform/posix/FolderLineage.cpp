// SPDX-License-Identifier: GPL-3.0-or-later
// A folder's lineage: the folders above it on the path its links resolve to, and on every other place a bind
// mount shows it.
#include "platform/FileSystem.h"
#include "platform/posix/MountTable.h"
#include "platform/posix/PathText.h"

#include <sys/stat.h>

#include <cstdlib>
#include <memory>

namespace quillmere::platform {

namespace {

std::optional<std::string> ResolvedPath(const std::string& folder) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(folder.c_str(), nullptr), &std::free);
    return resolved ? std::optional<std::string>(resolved.get()) : std::nullopt;
}

// The identities of the folders above an absolute path, nearest first, up to "/".
void AddFoldersAbove(const std::string& path, std::vector<FileIdentity>& above) {
    std::string folder = path;
    while (folder != "/") {
        folder = posix::ParentFolderOf(folder);
        if (const auto identity = ReadFolderIdentity(folder)) {
            above.push_back(*identity);
        }
    }
}

} // namespace

std::optional<FolderLineage> ReadFolderLineage(const std::string& folder) {
    const std::optional<std::string> resolved = ResolvedPath(folder);
    struct stat info {};
    if (!resolved || ::stat(resolved->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    FolderLineage lineage{
        FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)}, {}};
    AddFoldersAbove(*resolved, lineage.above);
    for (const std::string& place : posix::OtherPlacesOf(posix::ReadMountTable(), *resolved)) {
        // A place covered by a later mount shows something else.
        if (ReadFolderIdentity(place) == lineage.self) {
            AddFoldersAbove(place, lineage.above);
        }
    }
    return lineage;
}

} // namespace quillmere::platform
