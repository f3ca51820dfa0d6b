// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/StableFactsProbe.h"

#include "platform/TemporaryName.h"
#include "platform/posix/StatFacts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quillmere::platform::posix {

namespace {

constexpr std::string_view kProbeTag = "-probe";

std::string SecondName(const TemporarySibling& temporary) {
    return TemporaryName(std::to_string(::getpid()) + "-" + std::to_string(temporary.Fd()) + std::string(kProbeTag));
}

bool IsFile(int folder, const std::string& name, const struct stat& file) {
    struct stat named {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && IsSameFile(named, file);
}

// FUSE file systems without the flag fall back to a plain rename of a name that was free a moment ago.
int RenameWithoutReplacing(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL) {
        return errno;
    }
    struct stat taken {};
    if (::fstatat(folder, to.c_str(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0 ? 0 : errno;
}

// A file system without hard links has no inodes of its own: the driver makes the numbers up (from a cluster, a
// place in a folder, a path), and rclone's change while a file stays the same.
bool KeptThroughALink(int folder, const std::string& name, const std::string& second, const struct stat& file) {
    if (::linkat(folder, name.c_str(), folder, second.c_str(), 0) != 0) {
        return false;
    }
    const bool kept = IsFile(folder, second, file);
    ::unlinkat(folder, second.c_str(), 0);
    return kept;
}

} // namespace

bool IsProbeName(std::string_view name) {
    return UniquePartOf(name).ends_with(kProbeTag);
}

std::optional<StableFacts> ProbeStableFacts(int folder, const TemporarySibling& temporary) {
    struct stat file {};
    if (::fstat(temporary.Fd(), &file) != 0) {
        return std::nullopt;
    }
    const std::string second = SecondName(temporary);
    bool identity = IsFile(folder, temporary.Name(), file);
    if (RenameWithoutReplacing(folder, temporary.Name(), second) == 0) {
        identity = identity && IsFile(folder, second, file);
        if (::renameat(folder, second.c_str(), folder, temporary.Name().c_str()) != 0) {
            ::unlinkat(folder, second.c_str(), 0);
            return std::nullopt;
        }
        identity = identity && IsFile(folder, temporary.Name(), file);
    }
    return StableFacts{identity && KeptThroughALink(folder, temporary.Name(), second, file)};
}

} // namespace quillmere::platform::posix
