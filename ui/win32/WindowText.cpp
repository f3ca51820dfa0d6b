// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/WindowText.h"

#include <windows.h>

namespace quillmere::win32 {

std::wstring WindowText(std::string_view text) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

} // namespace quillmere::win32
