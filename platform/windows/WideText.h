// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 (the program's text) to and from UTF-16 (the Win32 "W" functions' text).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform::windows {

// No value when text is not valid UTF-8: such a path cannot name anything, so callers fail cleanly.
std::optional<std::wstring> ToWide(std::string_view text);
// No value when text holds an unpaired surrogate, which no UTF-8 text can express.
std::optional<std::string> ToUtf8(std::wstring_view text);

// A path of this many UTF-16 units or more is beyond the classic limit of the file functions (MAX_PATH, which
// counts the terminating NUL).
inline constexpr std::size_t kClassicPathLimit = 260;

// The path as the file functions take it: a path of kClassicPathLimit UTF-16 units or more made full and given
// the long form ("\\?\C:\...", "\\?\UNC\server\share\..."), which the system passes on without that limit.
// Shorter paths, and paths in the long or device form already, come back as they are.
std::wstring LongPathForm(std::wstring path);

// ToWide, then LongPathForm: every path a file function is given goes through here.
std::optional<std::wstring> ToWidePath(std::string_view path);

} // namespace quillmere::platform::windows
