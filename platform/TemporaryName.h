// SPDX-License-Identifier: GPL-3.0-or-later
// The names that take no part in a pass, and the names of the program's own temporary files, which are among
// them: one home for both rules, for the pass, the copy and the clean-up on every system.
#pragma once

#include <string>
#include <string_view>

namespace quillmere::platform {

// A name beginning with "~" takes no part in a pass: other programs keep their temporary files under such
// names, and so does this one.
bool TakesNoPart(std::string_view name);

// "~quillmere-" + unique + ".partial", where unique holds letters, digits and "-" only: a pattern no other
// program makes, so that a leftover of this program can be told from anyone else's file.
std::string TemporaryName(std::string_view unique);
bool IsTemporaryName(std::string_view name);
// The unique part of a temporary name; empty for any other name.
std::string_view UniquePartOf(std::string_view name);

} // namespace quillmere::platform
