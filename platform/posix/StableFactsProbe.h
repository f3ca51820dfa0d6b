// SPDX-License-Identifier: GPL-3.0-or-later
// Telling, from what a file system shows, which facts of a file it keeps while the file stays the same.
#pragma once

#include "platform/FileSystem.h"
#include "platform/posix/TemporarySibling.h"

#include <optional>

namespace quillmere::platform::posix {

// Seen on a temporary file of the program's in folder: its identity looked at by name, after a rename and back,
// and through a second name; where hard links are refused, inode numbers mean nothing. The temporary file has its own
// name again afterwards; no value when that could not be done (the copy must then not go on).
std::optional<StableFacts> ProbeStableFacts(int folder, const TemporarySibling& temporary);

} // namespace quillmere::platform::posix
