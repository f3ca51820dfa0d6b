// SPDX-License-Identifier: GPL-3.0-or-later
// The data of a copy: in the kernel where it can, through a buffer where it cannot, and a sparse file's holes kept.
#pragma once

#include <sys/stat.h>

namespace quillmere::platform::posix {

// Copies all of from, as source describes it, into to (empty); both are at their start. False on an error (errno
// says which).
bool CopyData(int from, int to, const struct stat& source);

} // namespace quillmere::platform::posix
