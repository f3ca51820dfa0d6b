// SPDX-License-Identifier: GPL-3.0-or-later
// Folder listings with the failures the walk must tell apart, and the links the link rule does not follow.
#include "platform/FileCopy.h"
#include "platform/FolderReading.h"
#include "platform/posix/LinkRule.h"
#include "platform/posix/StatFacts.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

namespace quillmere::platform {

namespace {

ListingStatus StatusOfErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return ListingStatus::PermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return ListingStatus::PathNotFound;
    default:
        return ListingStatus::OtherError;
    }
}

enum class Kind { Folder, File, LinkNotFollowed, Other };

Kind KindOfStatus(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? Kind::Folder : (S_ISREG(info.st_mode) ? Kind::File : Kind::Other);
}

// What a link leads to, when the link rule lets it be followed; a link that leads nowhere is no file. info takes
// the status of what it leads to.
Kind KindOfLink(int folderFd, const char* name, std::optional<struct stat>& info) {
    posix::ReachedEntry target = posix::ReachEntry(folderFd, name);
    if (target.reach.linkRefused) {
        return Kind::LinkNotFollowed;
    }
    if (!target.reach.Ok() || !target.info) {
        return Kind::Other;
    }
    info = target.info;
    return KindOfStatus(*info);
}

// The entry's kind with links followed. The listing's own type spares a stat for all but links and file systems
// that leave the type unknown; info takes the status read on the way, if any.
Kind KindOf(int folderFd, const dirent& entry, std::optional<struct stat>& info) {
    switch (entry.d_type) {
    case DT_DIR:
        return Kind::Folder;
    case DT_REG:
        return Kind::File;
    case DT_LNK:
        return KindOfLink(folderFd, entry.d_name, info);
    case DT_UNKNOWN: {
        struct stat own {};
        if (::fstatat(folderFd, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) {
            return Kind::Other;
        }
        if (S_ISLNK(own.st_mode)) {
            return KindOfLink(folderFd, entry.d_name, info);
        }
        info = own;
        return KindOfStatus(own);
    }
    default:
        return Kind::Other;
    }
}

// A file's facts: the status read while telling its kind, or one look relative to the folder, which spares the
// system finding the folder again along the full path. No value when it is gone, or no longer a file.
std::optional<FileFacts> FactsOfFile(int folderFd, const char* name, const std::optional<struct stat>& known) {
    if (known) {
        return posix::FactsOf(*known);
    }
    struct stat info {};
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return posix::FactsOf(info);
}

// The folder itself is reached by the link rule too, and read through what was opened.
std::unique_ptr<DIR, int (*)(DIR*)> OpenFolder(const std::string& folder, FolderContents& contents) {
    posix::OpenedFile opened = posix::OpenReached(AT_FDCWD, folder, O_RDONLY | O_DIRECTORY);
    if (opened.reach.linkRefused) {
        contents.status = ListingStatus::LinkNotFollowed;
        contents.cause = RefusalText(Refusal::LinkNotFollowed);
    } else if (!opened.reach.Ok()) {
        contents.status = StatusOfErrno(opened.reach.error);
        contents.cause = SystemMessage(opened.reach.error);
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opened.fd.Valid() ? ::fdopendir(opened.fd.Get()) : nullptr, ::closedir);
    if (dir) {
        opened.fd.Release(); // closedir closes it
    } else if (contents.status == ListingStatus::Ok) {
        contents.status = StatusOfErrno(errno);
        contents.cause = SystemMessage(errno);
    }
    return dir;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

FolderContents detail::ReadFolder(const std::string& folder, const ContentsWanted& wanted) {
    FolderContents contents;
    const auto dir = OpenFolder(folder, contents);
    if (!dir) {
        return contents;
    }
    const int folderFd = ::dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            // A listing that breaks off keeps the names read so far.
            if (errno != 0) {
                contents.status = ListingStatus::OtherError;
                contents.cause = SystemMessage(errno);
            }
            break;
        }
        if (IsDotOrDotDot(entry->d_name)) {
            continue;
        }
        std::optional<struct stat> info;
        const Kind kind = KindOf(folderFd, *entry, info);
        if (kind == Kind::Folder && wanted.folders) {
            contents.folders.emplace_back(entry->d_name);
        } else if (kind == Kind::File && wanted.files) {
            contents.files.emplace_back(entry->d_name);
            if (wanted.fileFacts) {
                contents.fileFacts.push_back(FactsOfFile(folderFd, entry->d_name, info));
            }
        } else if (kind == Kind::LinkNotFollowed) {
            contents.linksNotFollowed.emplace_back(entry->d_name);
        }
    }
    return contents;
}

} // namespace quillmere::platform
