// SPDX-License-Identifier: GPL-3.0-or-later
// The text rules of the freedesktop.org Trash: the .trashinfo file and the names entries take. Kept apart from
// the system calls so that they can be tested from a table.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace quillmere::platform::posix {

// A path as a .trashinfo's "Path=" holds it: every byte but the unreserved characters of RFC 2396 (letters,
// digits, "-_.!~*'()") and the separator "/" becomes %XX, so blanks, "%", newlines and UTF-8 survive.
std::string EscapeTrashPath(std::string_view path);

// The whole .trashinfo: "[Trash Info]", Path= (escaped) and DeletionDate= as local YYYY-MM-DDThh:mm:ss.
std::string TrashInfoText(std::string_view originalPath, const std::tm& deletionTime);

// The attempt-th name (from 1) to try for a file called name: name itself, then "stem_2.ext", "stem_3.ext"...
// The stem is shortened (never inside a UTF-8 character) so that the name with ".trashinfo" appended still fits
// in one file name of 255 bytes.
std::string CandidateTrashName(std::string_view name, int attempt);

inline constexpr std::string_view kTrashInfoSuffix = ".trashinfo";

} // namespace quillmere::platform::posix
