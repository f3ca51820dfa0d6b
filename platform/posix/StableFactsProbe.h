// SPDX-License-Identifier: GPL-3.0-or-later
// Telling, from what a file system shows, which facts of a file it keeps while the file stays the same.
#pragma once

#include "platform/FileSystem.h"
#include "platform/posix/TemporarySibling.h"

#include <optional>
#include <string_view>

namespace quillmere::platform::posix {

// Seen on a temporary file of the program's in folder: its identity looked at by name, after a rename and back,
// and through a second name; where hard links are refused, inode numbers mean nothing. The temporary file has its own
// name again afterwards; no value when that could not be done (the copy must then not go on).
std::optional<StableFacts> ProbeStableFacts(int folder, const TemporarySibling& temporary);

// The probe's second name, a temporary name of its own kind that no copy ever gives a file. A crash in the probe
// leaves it on the probe's empty file, under a mark naming the first name: the clean-up of leftovers knows it by
// this name.
bool IsProbeName(std::string_view name);

} // namespace quillmere::platform::posix
