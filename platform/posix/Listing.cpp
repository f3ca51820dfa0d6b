// SPDX-License-Identifier: GPL-3.0-or-later
// Folder listings with the failures the walk must tell apart.
#include "platform/FolderReading.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
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

enum class Kind { Folder, File, Other };

// The entry's kind with links followed. The listing's own type spares a stat for all but links and file systems
// that leave the type unknown.
Kind KindOf(int folderFd, const dirent& entry) {
    unsigned char type = entry.d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat info {};
        if (::fstatat(folderFd, entry.d_name, &info, 0) != 0) {
            return Kind::Other;
        }
        type = S_ISDIR(info.st_mode) ? DT_DIR : (S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN);
    }
    return type == DT_DIR ? Kind::Folder : (type == DT_REG ? Kind::File : Kind::Other);
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

FolderContents detail::ReadFolder(const std::string& folder, bool wantFolders, bool wantFiles) {
    FolderContents contents;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        contents.status = StatusOfErrno(errno);
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
            }
            break;
        }
        if (IsDotOrDotDot(entry->d_name)) {
            continue;
        }
        const Kind kind = KindOf(folderFd, *entry);
        if (kind == Kind::Folder && wantFolders) {
            contents.folders.emplace_back(entry->d_name);
        } else if (kind == Kind::File && wantFiles) {
            contents.files.emplace_back(entry->d_name);
        }
    }
    return contents;
}

} // namespace quillmere::platform
