// Folder listings with the failures the walk must tell apart.
#include "platform/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

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

enum class Wanted { Folders, Files };

// The entry's kind with links followed. The listing's own type spares a stat for all but links and file systems
// that leave the type unknown.
bool IsWanted(int folderFd, const dirent& entry, Wanted wanted) {
    unsigned char type = entry.d_type;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        struct stat info {};
        if (::fstatat(folderFd, entry.d_name, &info, 0) != 0) {
            return false;
        }
        type = S_ISDIR(info.st_mode) ? DT_DIR : (S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN);
    }
    return type == (wanted == Wanted::Folders ? DT_DIR : DT_REG);
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

Listing ListEntries(const std::string& folder, Wanted wanted) {
    Listing listing;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        listing.status = StatusOfErrno(errno);
        return listing;
    }
    const int folderFd = ::dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            // A listing that breaks off keeps the names read so far.
            if (errno != 0) {
                listing.status = ListingStatus::OtherError;
            }
            break;
        }
        if (!IsDotOrDotDot(entry->d_name) && IsWanted(folderFd, *entry, wanted)) {
            listing.names.emplace_back(entry->d_name);
        }
    }
    std::sort(listing.names.begin(), listing.names.end());
    return listing;
}

} // namespace

Listing ListSubfolderNames(const std::string& folder) {
    return ListEntries(folder, Wanted::Folders);
}

Listing ListFileNames(const std::string& folder) {
    return ListEntries(folder, Wanted::Files);
}

} // namespace quillmere::platform
