// SPDX-License-Identifier: GPL-3.0-or-later
// The data of a copy on Win32, a sparse file's holes kept where the destination's volume keeps sparse files.
#pragma once

#include <windows.h>

namespace quillmere::platform::windows {

// Copies all of from, as source describes it, into to (empty); both are at their start. False on an error
// (GetLastError says which).
bool CopyData(HANDLE from, HANDLE to, const BY_HANDLE_FILE_INFORMATION& source);

} // namespace quillmere::platform::windows
