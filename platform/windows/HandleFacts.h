// SPDX-License-Identifier: GPL-3.0-or-later
// The facts the program keeps of a file, read through an open handle.
#pragma once

#include "platform/FileSystem.h"

#include <windows.h>

namespace quillmere::platform::windows {

std::optional<FileFacts> FactsOfHandle(HANDLE file);

} // namespace quillmere::platform::windows
