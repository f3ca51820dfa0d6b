// SPDX-License-Identifier: GPL-3.0-or-later
// Names as the command line prints them: one line is always one record, whatever a file name holds.
#pragma once

#include <string>
#include <string_view>

namespace quillmere::cli {

// text with control characters escaped: "\n", "\r" and "\t" by name, the others (C0, DEL, the C1 range U+0080 to
// U+009F, and the line and paragraph separators U+2028 and U+2029) and bytes that are not UTF-8 as "\xNN", one
// per byte. Everything else, backslashes included, is printed as it is.
std::string Printable(std::string_view text);

} // namespace quillmere::cli
