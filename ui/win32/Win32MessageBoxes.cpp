// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/Win32MessageBoxes.h"

#include "ui/win32/WindowText.h"

namespace quillmere::win32 {

namespace {

void Show(HWND owner, UINT icon, const std::string& title, const std::string& text) {
    MessageBoxW(owner, WindowText(text).c_str(), WindowText(title).c_str(), MB_OK | icon);
}

} // namespace

void Win32MessageBoxes::Inform(const std::string& title, const std::string& text) {
    Show(owner_, 0, title, text);
}

void Win32MessageBoxes::Warn(const std::string& title, const std::string& text) {
    Show(owner_, MB_ICONEXCLAMATION, title, text);
}

} // namespace quillmere::win32
