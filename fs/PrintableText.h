// SPDX-License-Identifier: GPL-3.0-or-later
// Names as the command line prints them and the window lists them: one line is always one record, whatever a
// file name holds.
#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// text with control characters escaped: "\n", "\r" and "\t" by name, the others (C0, DEL, the C1 range U+0080 to
// U+009F, and the line and paragraph separators U+2028 and U+2029) and bytes that are not UTF-8 as "\xNN", one
// per byte. Everything else, backslashes included, is printed as it is.
std::string Printable(std::string_view text);

// The record of a copy not made, "failed SOURCE -> DESTINATION: cause", and of a folder not read (or a link not
// followed), "not read FOLDER: cause", each on one line.
std::string NotCopiedRecord(std::string_view source, std::string_view destination, std::string_view cause);
std::string NotReadRecord(std::string_view path, std::string_view cause);
std::string NotKeptRecord(std::string_view destination, std::string_view cause);

} // namespace quillmere
