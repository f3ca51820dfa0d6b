// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 (the program's text) to and from UTF-16 (the Win32 "W" functions' text).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform::windows {

// No value when text is not valid UTF-8: such a path cannot name anything, so callers fail cleanly.
std::optional<std::wstring> ToWide(std::string_view text);
// No value when text holds an unpaired surrogate, which no UTF-8 text can express.
std::optional<std::string> ToUtf8(std::wstring_view text);

} // namespace quillmere::platform::windows
