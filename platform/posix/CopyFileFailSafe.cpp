// SPDX-License-Identifier: GPL-3.0-or-later
// The one write the program makes to the synchronized folders.
#include "platform/FileSystem.h"
#include "platform/posix/PathText.h"
#include "platform/posix/TemporarySibling.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace quillmere::platform {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CopyData(int from, int to) {
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) {
            return false;
        }
    }
}

// Where the copy goes, and who is to own it.
struct Target {
    std::string path;
    uid_t owner = 0;
    gid_t group = 0;
};

struct stat OwnerOfFolder(const std::string& path) {
    struct stat folder {};
    ::stat(posix::ParentFolderOf(path).c_str(), &folder);
    return folder;
}

// A link as destination is followed: its target is replaced and the link stays a link, as a Windows copy writes
// through a link. No value when the destination cannot be replaced: it is read-only (by its permission bits,
// whoever runs the program), not a regular file, a dangling link, or the source itself. A replaced file keeps its
// owner and a new one takes its folder's, so that a copy made by root does not take a file from its user.
std::optional<Target> ReplaceableTarget(const std::string& destination, const struct stat& source) {
    struct stat own {};
    if (::lstat(destination.c_str(), &own) != 0) {
        if (errno != ENOENT) {
            return std::nullopt;
        }
        const struct stat folder = OwnerOfFolder(destination);
        return Target{destination, folder.st_uid, folder.st_gid};
    }
    struct stat target {};
    if (::stat(destination.c_str(), &target) != 0 || !S_ISREG(target.st_mode) || (target.st_mode & 0222) == 0 ||
        (target.st_dev == source.st_dev && target.st_ino == source.st_ino)) {
        return std::nullopt;
    }
    if (!S_ISLNK(own.st_mode)) {
        return Target{destination, target.st_uid, target.st_gid};
    }
    const std::unique_ptr<char, void (*)(void*)> real(::realpath(destination.c_str(), nullptr), std::free);
    return real ? std::optional<Target>(Target{real.get(), target.st_uid, target.st_gid}) : std::nullopt;
}

// The source's last-write time to the nanosecond, and its access time: fusefat ignores a new last-write time
// when the access time is left out (UTIME_OMIT), so both are given.
std::array<timespec, 2> TimesOf(const struct stat& source) {
    return {source.st_atim, source.st_mtim};
}

bool FillTemporary(posix::TemporarySibling& temporary, int sourceFd, const struct stat& source, const Target& target) {
    if (!CopyData(sourceFd, temporary.Fd())) {
        return false;
    }
    // Only root may give a file away, and file systems without POSIX owners and permissions (FAT) refuse or
    // ignore both: the data and the time matter more.
    (void)::fchown(temporary.Fd(), target.owner, target.group);
    (void)::fchmod(temporary.Fd(), source.st_mode & 0777);
    return ::futimens(temporary.Fd(), TimesOf(source).data()) == 0;
}

} // namespace

bool CopyFileFailSafe(const std::string& source, const std::string& destination) {
    // O_NONBLOCK keeps a named pipe given as source from hanging the open; regular files ignore it.
    const FileDescriptor sourceFd(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat sourceInfo {};
    if (sourceFd.Get() < 0 || ::fstat(sourceFd.Get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) {
        return false;
    }
    const auto target = ReplaceableTarget(destination, sourceInfo);
    if (!target) {
        return false;
    }
    posix::TemporarySibling temporary(posix::ParentFolderOf(target->path));
    if (!temporary.Valid() || !FillTemporary(temporary, sourceFd.Get(), sourceInfo, *target) ||
        !temporary.ReplaceDestination(target->path)) {
        return false;
    }
    // Some file systems (fusefat among them) stamp the current time on a file when it is renamed, so the time
    // set on the temporary file is set again on the final name. The copy itself has succeeded either way.
    (void)::utimensat(AT_FDCWD, target->path.c_str(), TimesOf(sourceInfo).data(), 0);
    return true;
}

} // namespace quillmere::platform
