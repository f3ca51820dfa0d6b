// SPDX-License-Identifier: GPL-3.0-or-later
// What the program asks of single paths: attributes, existence, identity, facts and last-write time.
#include "platform/FileSystem.h"
#include "platform/posix/PathText.h"
#include "platform/posix/StatFacts.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace quillmere::platform {

namespace {

bool StatFollowing(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

// Read-only is decided from the permission bits alone, not with access(2), so that it binds root as well:
// the Windows read-only attribute binds administrators too.
bool GrantsNoWrite(const struct stat& info) {
    return (info.st_mode & 0222) == 0;
}

FileTime TimeOf(const timespec& time) {
    return FileTime{static_cast<std::int64_t>(time.tv_sec), static_cast<std::uint32_t>(time.tv_nsec)};
}

} // namespace

std::optional<std::uint32_t> ReadAttributes(const std::string& path) {
    const std::string bare = posix::WithoutTrailingSeparators(path);
    struct stat own {};
    if (bare.empty() || ::lstat(bare.c_str(), &own) != 0) {
        return std::nullopt;
    }
    std::uint32_t bits = 0;
    struct stat target = own;
    if (S_ISLNK(own.st_mode)) {
        bits |= attr::Alias;
        // A dangling link is still a link; it is neither folder nor read-only.
        if (!StatFollowing(bare, target)) {
            target = own;
        }
    }
    if (S_ISDIR(target.st_mode)) {
        bits |= attr::Directory;
    }
    if (!S_ISLNK(target.st_mode) && GrantsNoWrite(target)) {
        bits |= attr::ReadOnly;
    }
    if (posix::LastComponent(bare).starts_with('.')) {
        bits |= attr::Hidden;
    }
    return bits;
}

bool IsRootFolder(const std::string& folder) {
    // The root of a file system: "/" or a mount point, i.e. a folder whose parent lies on another device or is
    // the folder itself.
    const std::string bare = posix::WithoutTrailingSeparators(folder);
    struct stat self {};
    struct stat parent {};
    if (!StatFollowing(bare, self) || !S_ISDIR(self.st_mode) || !StatFollowing(bare + "/..", parent)) {
        return false;
    }
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

bool CanOpenExistingFile(const std::string& path) {
    // The Windows test opens with no access right at all, which proves only that the name leads to an existing
    // file (not a folder); read permission is not asked there either. The POSIX equal is a regular file at the
    // end of the path, links followed. Devices, pipes and sockets are no files to copy, so they give false.
    struct stat info {};
    return StatFollowing(path, info) && S_ISREG(info.st_mode);
}

std::optional<FileTime> ReadLastWriteTime(const std::string& path) {
    const std::optional<FileFacts> facts = ReadFileFacts(path);
    return facts ? std::optional<FileTime>(facts->lastWriteTime) : std::nullopt;
}

std::optional<FileFacts> ReadFileFacts(const std::string& path) {
    struct stat info {};
    if (!StatFollowing(path, info)) {
        return std::nullopt;
    }
    return posix::FactsOf(info);
}

FileFacts posix::FactsOf(const struct stat& info) {
    return FileFacts{FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)},
                     static_cast<std::uint64_t>(info.st_size), TimeOf(info.st_mtim), TimeOf(info.st_ctim)};
}

std::optional<std::int64_t> LocalTimeOffsetSeconds() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(local.tm_gmtoff);
}

std::optional<FileIdentity> ReadFolderIdentity(const std::string& folder) {
    struct stat info {};
    if (!StatFollowing(folder, info)) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::string FolderProblem(const std::string& folder) {
    struct stat info {};
    if (!StatFollowing(folder, info)) {
        return SystemMessage(errno);
    }
    return S_ISDIR(info.st_mode) ? std::string() : SystemMessage(ENOTDIR);
}

std::string SystemMessage(int error) {
    char text[256] = {};
    // The GNU strerror_r, which may return a static text instead of filling the buffer.
    return ::strerror_r(error, text, sizeof text);
}

} // namespace quillmere::platform
