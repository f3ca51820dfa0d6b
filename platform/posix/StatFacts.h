// SPDX-License-Identifier: GPL-3.0-or-later
// The facts the program keeps of a file, read from one stat, and the identity a stat gives.
#pragma once

#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace quillmere::platform::posix {

FileFacts FactsOf(const struct stat& info);

// The same file, whatever names lead to it.
inline bool IsSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace quillmere::platform::posix
