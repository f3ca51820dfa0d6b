// SPDX-License-Identifier: GPL-3.0-or-later
// Clearing away what a killed copy left: the only file the program ever deletes, and only its own. What lies under
// a temporary name and no copy holds locked is one of three things:
//  - the copy's own file, marked with its own temporary name (or on a file system that keeps no marks, where no
//    copy ever exchanged files): removed;
//  - the file a replacement swapped out, left there by a crash before the copy checked it or swapped it back: the
//    copy, in the destination's place, still carries the mark naming this temporary name, so the two are swapped
//    back and the copy is removed;
//  - an empty file without any mark, made by a copy killed between creating its file and marking it: removed when
//    everything else about it is what that creation leaves (see IsUnfilledTemporary);
//  - the empty file of a probe killed while it lay under (or also under) its second name: removed.
// Anything else stays where it is.
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/posix/LinkRule.h"
#include "platform/posix/PathText.h"
#include "platform/posix/StableFactsProbe.h"
#include "platform/posix/StatFacts.h"
#include "platform/posix/TemporarySibling.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

namespace quillmere::platform {

namespace {

using posix::TemporaryMark;
using posix::UniqueFd;

// A file under a temporary name, open and locked here, so that no copy and no other pass works on it meanwhile.
struct Found {
    UniqueFd folder; // O_PATH
    std::string name;
    UniqueFd file;
    struct stat info {};
};

// The name itself is never followed: a link of that name is no leftover of a copy. A lock already taken means a
// copy still runs (or another pass is looking at the same file).
std::optional<Found> OpenAndLock(const std::string& path) {
    Found found;
    found.name = posix::LastComponent(path);
    posix::OpenedFile folder = posix::OpenReached(AT_FDCWD, posix::ParentFolderOf(path), O_PATH | O_DIRECTORY);
    struct stat named {};
    if (!folder.reach.Ok() || ::fstatat(folder.fd.Get(), found.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(named.st_mode)) {
        return std::nullopt;
    }
    found.folder = std::move(folder.fd);
    found.file =
        UniqueFd(::openat(found.folder.Get(), found.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!found.file.Valid() || ::fstat(found.file.Get(), &found.info) != 0 || !posix::IsSameFile(found.info, named) ||
        ::flock(found.file.Get(), LOCK_EX | LOCK_NB) != 0) {
        return std::nullopt;
    }
    return found;
}

bool StillNamed(int folder, const std::string& name, const struct stat& file) {
    struct stat named {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && posix::IsSameFile(named, file);
}

bool RemoveIfStillNamed(int folder, const std::string& name, const struct stat& file) {
    return StillNamed(folder, name, file) && ::unlinkat(folder, name.c_str(), 0) == 0;
}

// The file of the folder that carries the mark naming this temporary name: a copy put it there by an exchange
// whose end it did not live to see. None in the usual case.
std::optional<std::string> FindSwappedPartner(const Found& found) {
    DIR* const listing = ::fdopendir(::openat(found.folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (listing == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> partner;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if ((entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) && name != found.name &&
            posix::TemporaryMarkOf(found.folder.Get(), name, found.name) == TemporaryMark::Own) {
            partner = name;
            break;
        }
    }
    ::closedir(listing);
    return partner;
}

// The copy that made the exchange holds its file locked until the swap is settled, and only then drops the mark, so
// a free lock on a file still marked means that copy died. Swapped back, the user's file has its name again and the
// copy lies under its own temporary name, a leftover like any other. Should the destination have been renamed in
// the instant between (saved anew), the swap is undone at once.
bool PutBack(const Found& found, const std::string& partner) {
    const int folder = found.folder.Get();
    const UniqueFd copy(::openat(folder, partner.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!copy.Valid() || ::fstat(copy.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::flock(copy.Get(), LOCK_EX | LOCK_NB) != 0 ||
        posix::TemporaryMarkOf(copy.Get(), found.name) != TemporaryMark::Own ||
        ::renameat2(folder, found.name.c_str(), folder, partner.c_str(), RENAME_EXCHANGE) != 0) {
        return false;
    }
    if (!StillNamed(folder, found.name, info) || !StillNamed(folder, partner, found.info)) {
        (void)::renameat2(folder, found.name.c_str(), folder, partner.c_str(), RENAME_EXCHANGE);
        return false;
    }
    return ::unlinkat(folder, found.name.c_str(), 0) == 0;
}

// What a copy killed between creating its file and marking it leaves: an empty file, of no other name, made by
// this user with the creation's mode (0600, less the umask), that no copy holds. Removing it is safe even so:
//  - the name follows the program's own pattern, with 64 random bits, which no other program makes;
//  - a user's file can come under such a name only by an exchange, and then the file in its place carries the mark
//    naming it (FindSwappedPartner looks first), from before the exchange until the file is out of the way;
//  - it holds no data, so that even a file made by hand under such a name loses nothing but its name;
//  - a copy that made it and is about to lock it finds its name gone and takes another (TemporarySibling).
bool IsUnfilledTemporary(const struct stat& info) {
    return info.st_size == 0 && info.st_nlink == 1 && (info.st_mode & 07177) == 0 && info.st_uid == ::geteuid();
}

// Only the probe gives a file its second name, and only to its own empty file; a second name of a file loses
// nothing, and an empty file loses nothing but its name.
bool IsProbeLeftover(const std::string& name, const struct stat& info) {
    return posix::IsProbeName(name) && info.st_size == 0 && info.st_uid == ::geteuid();
}

} // namespace

bool RemoveLeftoverTemporary(const std::string& path) {
    if (!IsTemporaryName(posix::LastComponent(path))) {
        return false;
    }
    const std::optional<Found> found = OpenAndLock(path);
    if (!found) {
        return false;
    }
    const TemporaryMark mark = posix::TemporaryMarkOf(found->file.Get(), found->name);
    if (mark == TemporaryMark::Own || mark == TemporaryMark::NotKept || IsProbeLeftover(found->name, found->info)) {
        return RemoveIfStillNamed(found->folder.Get(), found->name, found->info);
    }
    if (const std::optional<std::string> partner = FindSwappedPartner(*found)) {
        return PutBack(*found, *partner);
    }
    return mark == TemporaryMark::None && IsUnfilledTemporary(found->info) &&
           RemoveIfStillNamed(found->folder.Get(), found->name, found->info);
}

} // namespace quillmere::platform
