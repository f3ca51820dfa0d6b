// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace quillmere::win32 {

// UTF-8 as the window's controls show it. A text that is no UTF-8 still shows, its bad bytes as U+FFFD, rather
// than not at all.
std::wstring WindowText(std::string_view text);

} // namespace quillmere::win32
