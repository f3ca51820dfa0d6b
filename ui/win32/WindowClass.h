// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

namespace quillmere::win32 {

// A class for one kind of the program's own windows: this module's, with the arrow pointer. The caller adds what
// else the kind needs and registers it once.
WNDCLASSEXW ProgramWindowClass(const wchar_t* name, WNDPROC procedure);

} // namespace quillmere::win32
