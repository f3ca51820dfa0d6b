// SPDX-License-Identifier: GPL-3.0-or-later
// The key under which what is learned of a file system is kept.
#pragma once

#include <cstdint>

namespace quillmere::platform::posix {

// The device of the open file or folder fd and the mount it is reached through: a FUSE mount's device number goes
// to the next FUSE mount once it ends, as may the mount's number on older kernels. 0 when fd cannot be looked at.
std::uint64_t FileSystemKeyOf(int fd);

} // namespace quillmere::platform::posix
