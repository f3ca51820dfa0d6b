// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/FileSystemKey.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quillmere::platform::posix {

std::uint64_t FileSystemKeyOf(int fd) {
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_MNT_ID, &info) != 0) {
        return 0;
    }
    const std::uint64_t device = (std::uint64_t{info.stx_dev_major} << 20) | info.stx_dev_minor;
    const std::uint64_t mount = (info.stx_mask & STATX_MNT_ID) != 0 ? info.stx_mnt_id : 0;
    return (mount << 40) ^ device;
}

} // namespace quillmere::platform::posix
