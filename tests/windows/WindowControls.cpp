// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the controls of the running program's window, one a line: "caption<TAB>left top width height" on the
// screen, each caption as it shows (without the mark of its access key). Wine draws a window's controls itself, so this is how a script on the X side reads their captions and
// finds where to click. Exits 1 when no such window is shown.
#include "ui/main/AccessKeys.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    RECT place{};
    GetWindowRect(control, &place);
    char utf8[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\t%ld %ld %ld %ld\n", quillmere::ShownCaption(utf8).c_str(), place.left, place.top, place.right - place.left,
                place.bottom - place.top);
    return TRUE;
}

} // namespace

int main() {
    const HWND window = FindWindowW(L"QuillmereForm1", nullptr);
    if (window == nullptr || !IsWindowVisible(window))
        return 1;
    EnumChildWindows(window, &PrintControl, 0);
    return 0;
}
