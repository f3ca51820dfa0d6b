// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TrashFolder.h"
#include "platform/posix/PathText.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillmere::platform::posix {

namespace {

// The device a path lies on, or would lie on once made: that of its nearest existing folder.
std::optional<dev_t> DeviceOf(std::string path) {
    struct stat info {};
    while (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT || path == "/") {
            return std::nullopt;
        }
        path = ParentFolderOf(path);
    }
    return info.st_dev;
}

// The highest folder above realFolder that is still on device: the mount's top folder.
std::string TopFolderOf(std::string realFolder, dev_t device) {
    while (realFolder != "/") {
        const std::string parent = ParentFolderOf(realFolder);
        struct stat info {};
        if (::stat(parent.c_str(), &info) != 0 || info.st_dev != device) {
            break;
        }
        realFolder = parent;
    }
    return realFolder;
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string NotAFolder(const std::string& folder) {
    return "the trash folder " + folder + " is not a folder";
}

// Makes folder (mode 700) unless it exists; a link (lstat) is not taken for a folder.
bool MakeFolder(const std::string& folder, std::string& error) {
    struct stat info {};
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = WithSystemReason("cannot make the trash folder " + folder);
        return false;
    }
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = NotAFolder(folder);
        return false;
    }
    return true;
}

// The home trash's parents too ($XDG_DATA_HOME may not exist yet); each made with mode 700.
bool MakeFolders(const std::string& folder, std::string& error) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return MakeFolders(ParentFolderOf(folder), error) && MakeFolder(folder, error);
    }
    if (!S_ISDIR(info.st_mode)) {
        error = NotAFolder(folder);
        return false;
    }
    return true;
}

// A trash in a shared top folder must be the user's own: another user could have put a folder (or link) of
// theirs there to read what is trashed.
bool MakeOwnFolder(const std::string& folder, std::string& error) {
    struct stat info {};
    if (!MakeFolder(folder, error) || ::lstat(folder.c_str(), &info) != 0) {
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        error = "the trash folder " + folder + " belongs to another user";
        return false;
    }
    return true;
}

// $topdir/.Trash is shared by all users only when an administrator made it a real folder with the sticky bit;
// anything else there (a link above all) must not be trusted.
bool SharedTrashIsValid(const std::string& top) {
    struct stat info {};
    return ::lstat(Joined(top, ".Trash").c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX);
}

std::optional<std::string> TopTrashPath(const std::string& top, std::string& error) {
    const std::string uid = std::to_string(::geteuid());
    if (SharedTrashIsValid(top)) {
        const std::string shared = Joined(top, ".Trash") + "/" + uid;
        std::string ignored;
        if (MakeOwnFolder(shared, ignored)) {
            return shared;
        }
    }
    const std::string own = Joined(top, ".Trash-" + uid);
    return MakeOwnFolder(own, error) ? std::optional<std::string>(own) : std::nullopt;
}

bool MakeContentFolders(const std::string& trash, std::string& error) {
    return MakeFolder(trash + "/files", error) && MakeFolder(trash + "/info", error);
}

// The home trash names files by their absolute path.
std::optional<TrashFolder> HomeTrash(const std::string& home, const std::string& original, bool onAnotherDevice,
                                     std::string& error) {
    if (!MakeFolders(home, error) || !MakeContentFolders(home, error)) {
        return std::nullopt;
    }
    return TrashFolder{home, original, onAnotherDevice};
}

} // namespace

std::optional<std::string> HomeTrashPath() {
    // A relative XDG_DATA_HOME is invalid and ignored, as every desktop program treats it.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/Trash";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/share/Trash";
    }
    // Asked only without HOME: getpwuid is not safe while another thread asks too.
    const passwd* user = ::getpwuid(::geteuid());
    if (user == nullptr || user->pw_dir == nullptr || user->pw_dir[0] != '/') {
        return std::nullopt;
    }
    return std::string(user->pw_dir) + "/.local/share/Trash";
}

std::string WithSystemReason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::optional<TrashFolder> ChooseTrashFolder(const std::string& realFolder, const std::string& name,
                                             std::string& error) {
    const std::string original = Joined(realFolder, name);
    struct stat folder {};
    if (::stat(realFolder.c_str(), &folder) != 0) {
        error = WithSystemReason("cannot examine " + realFolder);
        return std::nullopt;
    }
    const auto home = HomeTrashPath();
    if (home && DeviceOf(*home) == folder.st_dev) {
        return HomeTrash(*home, original, false, error);
    }
    // A mount's own trash names them relative to the mount's top folder, so that they can be restored wherever
    // the drive is mounted next time.
    const std::string top = TopFolderOf(realFolder, folder.st_dev);
    const auto trash = TopTrashPath(top, error);
    if (trash && MakeContentFolders(*trash, error)) {
        return TrashFolder{*trash, original.substr(top == "/" ? 1 : top.size() + 1)};
    }
    std::string why = error;
    if (!home) {
        return std::nullopt;
    }
    auto fallback = HomeTrash(*home, original, true, error);
    if (!fallback) {
        error = why + "; " + error;
    }
    return fallback;
}

} // namespace quillmere::platform::posix
