// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TemporarySibling.h"

#include "platform/TemporaryName.h"
#include "platform/posix/PathText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace quillmere::platform::posix {

namespace {

// The mark of a temporary file of this program's, in the user's own namespace of extended attributes.
constexpr const char* kMarkName = "user.quillmere.partial";
constexpr char kMarkValue = '1';

// Random hexadecimal digits; a counter keeps them distinct should the system give no randomness.
std::string UniquePart() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t value = counter++;
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) == sizeof random) {
        value ^= random;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

TemporarySibling::TemporarySibling(int folder) : folder_(folder) {
    for (int attempt = 0; attempt < 100 && !file_.Valid(); ++attempt) {
        name_ = TemporaryName(UniquePart());
        // Close-on-exec: a program started meanwhile (the window opens a browser) would otherwise keep the file,
        // and with it the removable drive it lies on, open for as long as it runs.
        file_ = UniqueFd(::openat(folder_, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        error_ = file_.Valid() ? 0 : errno;
        if (error_ != EEXIST) {
            break;
        }
    }
    // Nobody else knows the name yet, so the lock is free; a pass removes only files it can lock.
    if (file_.Valid() && ::flock(file_.Get(), LOCK_EX | LOCK_NB) != 0) {
        error_ = errno;
        ::unlinkat(folder_, name_.c_str(), 0);
        file_.Reset();
    }
    marked_ = file_.Valid() && ::fsetxattr(file_.Get(), kMarkName, &kMarkValue, 1, 0) == 0;
}

TemporarySibling::~TemporarySibling() {
    if (file_.Valid() && !inPlace_) {
        ::unlinkat(folder_, name_.c_str(), 0);
    }
}

int TemporarySibling::Flush() {
    return ::fsync(file_.Get()) == 0 ? 0 : errno;
}

int TemporarySibling::Rename(const std::string& name, unsigned flags) {
    if (::renameat2(folder_, name_.c_str(), folder_, name.c_str(), flags) != 0) {
        return errno;
    }
    inPlace_ = flags == RENAME_EXCHANGE ? !inPlace_ : true;
    return 0;
}

int TemporarySibling::Add(const std::string& name) {
    return Rename(name, RENAME_NOREPLACE);
}

int TemporarySibling::Exchange(const std::string& name) {
    return Rename(name, RENAME_EXCHANGE);
}

int TemporarySibling::Replace(const std::string& name) {
    return Rename(name, 0);
}

int TemporarySibling::RemoveTakenOut() {
    return ::unlinkat(folder_, name_.c_str(), 0) == 0 ? 0 : errno;
}

bool CarriesTemporaryMark(int fd) {
    char value = 0;
    // rclone answers every extended attribute with EIO: it keeps none, and no copy there was ever marked.
    return ::fgetxattr(fd, kMarkName, &value, 1) >= 0 || errno == ENOTSUP || errno == EIO;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view text, mode_t mode) {
    const UniqueFd folder(::open(ParentFolderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid()) {
        return false;
    }
    TemporarySibling temporary(folder.Get());
    return temporary.Valid() && ::fchmod(temporary.Fd(), mode) == 0 &&
           WriteAll(temporary.Fd(), text.data(), text.size()) && temporary.Flush() == 0 &&
           temporary.Replace(std::string(LastComponent(path))) == 0;
}

} // namespace quillmere::platform::posix
