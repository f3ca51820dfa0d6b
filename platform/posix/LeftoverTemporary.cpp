// SPDX-License-Identifier: GPL-3.0-or-later
// Clearing away what a killed copy left: the only file the program ever deletes, and only its own.
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/posix/LinkRule.h"
#include "platform/posix/PathText.h"
#include "platform/posix/StatFacts.h"
#include "platform/posix/TemporarySibling.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmere::platform {

bool RemoveLeftoverTemporary(const std::string& path) {
    const std::string name(posix::LastComponent(path));
    if (!IsTemporaryName(name)) {
        return false;
    }
    // The name itself is never followed: a link of that name is no leftover of a copy.
    const posix::OpenedFile folder = posix::OpenReached(AT_FDCWD, posix::ParentFolderOf(path), O_PATH | O_DIRECTORY);
    struct stat named {};
    if (!folder.reach.Ok() || ::fstatat(folder.fd.Get(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(named.st_mode)) {
        return false;
    }
    const posix::UniqueFd file(::openat(folder.fd.Get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!file.Valid() || ::fstat(file.Get(), &opened) != 0 || !posix::IsSameFile(opened, named)) {
        return false;
    }
    // A copy holds its temporary file locked from its creation to its end; a lock that is free means no copy
    // will finish this one. An unmarked file may be a user's, left under the name by a crash in the middle of an
    // exchange. Locked here, it is removed only if the name still leads to it.
    if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0 || !posix::CarriesTemporaryMark(file.Get()) ||
        ::fstatat(folder.fd.Get(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !posix::IsSameFile(opened, named)) {
        return false;
    }
    return ::unlinkat(folder.fd.Get(), name.c_str(), 0) == 0;
}

} // namespace quillmere::platform
