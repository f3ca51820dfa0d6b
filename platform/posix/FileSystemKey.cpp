// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/FileSystemKey.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quillmere::platform::posix {

namespace {

// Linux 6.8 and later give each mount a number never given again; the older number is the lowest one free, which
// the next mount takes as soon as one ends, as it takes the device number.
#ifndef STATX_MNT_ID_UNIQUE
constexpr unsigned STATX_MNT_ID_UNIQUE = 0x4000U;
#endif

} // namespace

std::uint64_t FileSystemKeyOf(int fd) {
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_MNT_ID | STATX_MNT_ID_UNIQUE, &info) != 0) {
        return 0;
    }
    const std::uint64_t device = (std::uint64_t{info.stx_dev_major} << 20) | info.stx_dev_minor;
    const bool mountKnown = (info.stx_mask & (STATX_MNT_ID | STATX_MNT_ID_UNIQUE)) != 0;
    return ((mountKnown ? info.stx_mnt_id : 0) << 32) ^ device;
}

} // namespace quillmere::platform::posix
