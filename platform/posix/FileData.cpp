// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/FileData.h"
#include "platform/posix/TemporarySibling.h"

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <vector>

namespace quillmere::platform::posix {

namespace {

bool CopyThroughBuffer(int from, int to) {
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

// Where the kernel cannot copy between the two files: another file system (older kernels), FUSE, or none at all.
bool IsRefusedCopyRange(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

} // namespace

// copy_file_range copies inside the kernel, and lets btrfs and XFS share the blocks instead; where it is refused,
// the data goes through a buffer from where it stopped. A file that gives nothing this way at all is read through
// the buffer too: some kernels (5.3 to 5.18) copy nothing from their own files, which claim no size.
bool CopyFileData(int from, int to) {
    bool copiedAny = false;
    for (;;) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0);
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

} // namespace quillmere::platform::posix
