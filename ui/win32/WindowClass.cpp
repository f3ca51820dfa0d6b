// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/WindowClass.h"

namespace quillmere::win32 {

WNDCLASSEXW ProgramWindowClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    return windowClass;
}

} // namespace quillmere::win32
