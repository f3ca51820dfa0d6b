// SPDX-License-Identifier: GPL-3.0-or-later
// The facts the program keeps of a file, read from one stat.
#pragma once

#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace quillmere::platform::posix {

FileFacts FactsOf(const struct stat& info);

} // namespace quillmere::platform::posix
