// SPDX-License-Identifier: GPL-3.0-or-later
// File systems whose changes inotify does not all see: network and cluster file systems, where other machines
// write, and FUSE, whose driver may change files without going through this kernel. Told by statfs's magic
// number, which a mount cannot dress up as a name can.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillmere::platform::posix {

// "a network folder", "a FUSE folder", or no value for a file system whose every change passes through here.
std::optional<std::string_view> ChangesFromElsewhereOf(std::uint64_t magic);

} // namespace quillmere::platform::posix
