// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/CopyData.h"

#include "platform/posix/TemporarySibling.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>
#include <vector>

namespace quillmere::platform::posix {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;

bool CopyThroughBuffer(int from, int to) {
    std::vector<char> buffer(kBufferSize);
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

// Where the kernel cannot copy between the two files: another file system (older kernels), FUSE, or none at all.
bool IsRefusedCopyRange(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// copy_file_range copies inside the kernel, and lets btrfs and XFS share the blocks instead; where it is refused,
// the data goes through a buffer from where it stopped. A file that gives nothing this way at all is read through
// the buffer too: some kernels (5.3 to 5.18) copy nothing from their own files, which claim no size.
bool CopyWhole(int from, int to) {
    bool copiedAny = false;
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, kMostAtOnce, 0);
        if (copied > 0) {
            copiedAny = true;
        } else if (copied == 0) {
            return copiedAny || CopyThroughBuffer(from, to);
        } else if (IsRefusedCopyRange(errno)) {
            return CopyThroughBuffer(from, to);
        } else if (errno != EINTR) {
            return false;
        }
    }
}

// One piece of a file, at the same place in both: in the kernel until it refuses, then through a buffer.
class RangeCopier {
public:
    RangeCopier(int from, int to) : from_(from), to_(to) {}

    // How much of the length bytes at offset was copied (fewer: the source ended there), or no value on an error.
    std::optional<off_t> Copy(off_t offset, off_t length) {
        off_t done = 0;
        while (done < length) {
            const ssize_t got = Step(offset + done, static_cast<std::size_t>(length - done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return std::nullopt;
            }
            if (got == 0 && !inKernel_) {
                break;
            }
            // Nothing from the kernel may be its fault (see CopyWhole): the buffer says whether the source ended.
            inKernel_ = inKernel_ && got > 0;
            done += got;
        }
        return done;
    }

private:
    ssize_t Step(off_t at, std::size_t length) {
        if (inKernel_) {
            loff_t in = at;
            loff_t out = at;
            const ssize_t got = ::copy_file_range(from_, &in, to_, &out, std::min(length, kMostAtOnce), 0);
            if (got >= 0 || !IsRefusedCopyRange(errno)) {
                return got;
            }
            inKernel_ = false;
        }
        buffer_.resize(kBufferSize);
        const ssize_t got = ::pread(from_, buffer_.data(), std::min(length, buffer_.size()), at);
        return got > 0 && !WriteAllAt(at, static_cast<std::size_t>(got)) ? -1 : got;
    }

    bool WriteAllAt(off_t at, std::size_t size) {
        for (std::size_t done = 0; done < size;) {
            const ssize_t written = ::pwrite(to_, buffer_.data() + done, size - done, at + static_cast<off_t>(done));
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                errno = written == 0 ? EIO : errno;
                return false;
            }
            done += static_cast<std::size_t>(written);
        }
        return true;
    }

    int from_;
    int to_;
    bool inKernel_ = true;
    std::vector<char> buffer_;
};

// The size, set at the end, makes the holes after the last piece. Some file systems (fusefat) refuse to set a size
// at all: a zero written at the last byte grows the file there, and they fill the rest with zeros themselves.
bool EndAt(int to, off_t end) {
    if (::ftruncate(to, end) == 0) {
        return true;
    }
    struct stat written {};
    if (::fstat(to, &written) != 0 || written.st_size > end) {
        return false;
    }
    const char zero = 0;
    return written.st_size == end || ::pwrite(to, &zero, 1, end - 1) == 1;
}

// Only the pieces that hold data (SEEK_DATA to SEEK_HOLE), so that the holes between and after them stay holes; a
// file system that cannot keep holes fills them with zeros itself. No value where the source's file system cannot
// tell its holes.
std::optional<bool> CopyDataPieces(int from, int to, off_t size) {
    RangeCopier copier(from, to);
    off_t end = size;
    for (off_t at = 0; at < end;) {
        const off_t data = ::lseek(from, at, SEEK_DATA);
        if (data < 0 && errno == ENXIO) {
            break;
        }
        if (data < 0) {
            return at == 0 && errno == EINVAL ? std::nullopt : std::optional<bool>(false);
        }
        const off_t hole = ::lseek(from, data, SEEK_HOLE);
        if (hole < 0) {
            return false;
        }
        const off_t length = std::min(hole, end) - data;
        const std::optional<off_t> copied = copier.Copy(data, length);
        if (!copied) {
            return false;
        }
        if (*copied < length) {
            end = data + *copied; // the source is shorter than it said: its copy is too
        }
        at = data + *copied;
    }
    return EndAt(to, end);
}

// A file with fewer blocks than its size needs has holes (or is packed small): only then are its pieces looked for.
bool MayHaveHoles(const struct stat& source) {
    return source.st_size > 0 && source.st_blocks * 512 < source.st_size;
}

} // namespace

bool CopyData(int from, int to, const struct stat& source) {
    if (MayHaveHoles(source)) {
        if (const std::optional<bool> copied = CopyDataPieces(from, to, source.st_size)) {
            return *copied;
        }
    }
    return CopyWhole(from, to);
}

} // namespace quillmere::platform::posix
