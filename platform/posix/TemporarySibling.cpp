// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TemporarySibling.h"

#include "platform/TemporaryName.h"
#include "platform/posix/PathText.h"
#include "platform/posix/StatFacts.h"

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

// The mark of a temporary file of this program's, in the user's own namespace of extended attributes. Its value is
// the file's temporary name: a file put in place keeps the mark no longer than its copy runs, but one edited in
// place, or a copy of it, may carry a mark all the same, and such a mark names a temporary name that is not its own.
constexpr std::string_view kMarkName = "user.quillmere.partial";

std::string UniquePart() {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(UniqueNumber()));
    return text;
}

} // namespace

std::uint64_t UniqueNumber() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t value = counter++;
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) == sizeof random) {
        value ^= random;
    }
    return value;
}

TemporarySibling::TemporarySibling(int folder) : folder_(folder) {
    Made made = Made::TryAnotherName;
    for (int attempt = 0; attempt < 100 && made == Made::TryAnotherName; ++attempt) {
        made = Create();
    }
    marked_ = file_.Valid() && ::fsetxattr(file_.Get(), kMarkName.data(), name_.data(), name_.size(), 0) == 0;
}

// Between its creation and its lock, the file is empty, unmarked and free, and a pass clearing leftovers may take
// it for one killed just there (RemoveLeftoverTemporary) and remove it: once locked, it is this copy's only if the
// name still leads to it, and otherwise another name is tried.
TemporarySibling::Made TemporarySibling::Create() {
    name_ = TemporaryName(UniquePart());
    // Close-on-exec: a program started meanwhile (the window opens a browser) would otherwise keep the file,
    // and with it the removable drive it lies on, open for as long as it runs.
    file_ = UniqueFd(::openat(folder_, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!file_.Valid()) {
        error_ = errno;
        return error_ == EEXIST ? Made::TryAnotherName : Made::No;
    }
    struct stat opened {};
    struct stat named {};
    const bool locked = ::flock(file_.Get(), LOCK_EX | LOCK_NB) == 0;
    error_ = locked ? ENOENT : errno;
    const bool stillNamed = ::fstat(file_.Get(), &opened) == 0 &&
                            ::fstatat(folder_, name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                            IsSameFile(opened, named);
    if (locked && stillNamed) {
        error_ = 0;
        return Made::Yes;
    }
    if (stillNamed) {
        ::unlinkat(folder_, name_.c_str(), 0);
    }
    file_.Reset();
    return locked || error_ == EWOULDBLOCK ? Made::TryAnotherName : Made::No;
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
    if (flags != RENAME_EXCHANGE) {
        Unmark();
    }
    return 0;
}

// A crash before this leaves the mark on a file in place, where it names a temporary name no longer in use.
void TemporarySibling::Unmark() {
    if (!marked_) {
        return;
    }
    marked_ = false;
    if (::fremovexattr(file_.Get(), kMarkName.data()) == 0 || errno != EACCES) {
        return;
    }
    // A file its owner may not write (a copy of a read-only file) keeps its extended attributes from all but root:
    // it is made writable for the instant.
    struct stat info {};
    if (::fstat(file_.Get(), &info) == 0 && ::fchmod(file_.Get(), info.st_mode | S_IWUSR) == 0) {
        (void)::fremovexattr(file_.Get(), kMarkName.data());
        (void)::fchmod(file_.Get(), info.st_mode & 07777);
    }
}

int TemporarySibling::Add(const std::string& name) {
    return Rename(name, RENAME_NOREPLACE);
}

int TemporarySibling::AddByLink(const std::string& name) {
    if (::linkat(folder_, name_.c_str(), folder_, name.c_str(), 0) != 0) {
        return errno;
    }
    inPlace_ = true;
    (void)::unlinkat(folder_, name_.c_str(), 0);
    Unmark();
    return 0;
}

int TemporarySibling::Exchange(const std::string& name) {
    return Rename(name, RENAME_EXCHANGE);
}

int TemporarySibling::Replace(const std::string& name) {
    return Rename(name, 0);
}

int TemporarySibling::RemoveTakenOut() {
    const int error = ::unlinkat(folder_, name_.c_str(), 0) == 0 ? 0 : errno;
    Unmark();
    return error;
}

namespace {

// What a mark read (into value, got bytes, or -1 and errno) says of a file under the temporary name name.
TemporaryMark MarkRead(const char* value, ssize_t got, std::string_view name) {
    if (got >= 0) {
        return std::string_view(value, static_cast<std::size_t>(got)) == name ? TemporaryMark::Own
                                                                              : TemporaryMark::Other;
    }
    if (errno == ENODATA) {
        return TemporaryMark::None;
    }
    // rclone answers every extended attribute with EIO: it keeps none, and no copy there was ever marked. A mark
    // too long to be one of the program's is another one; so is one that cannot be read otherwise.
    return errno == ENOTSUP || errno == EIO ? TemporaryMark::NotKept : TemporaryMark::Other;
}

} // namespace

TemporaryMark TemporaryMarkOf(int fd, std::string_view name) {
    char value[256];
    const ssize_t got = ::fgetxattr(fd, kMarkName.data(), value, sizeof value);
    return MarkRead(value, got, name);
}

TemporaryMark TemporaryMarkOf(int folder, const std::string& entry, std::string_view name) {
    char value[256];
    const std::string path = "/proc/self/fd/" + std::to_string(folder) + "/" + entry;
    const ssize_t got = ::lgetxattr(path.c_str(), kMarkName.data(), value, sizeof value);
    return MarkRead(value, got, name);
}

bool IsTemporaryMark(std::string_view attribute) {
    return attribute == kMarkName;
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
