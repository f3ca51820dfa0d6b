// SPDX-License-Identifier: GPL-3.0-or-later
// The text rules of the freedesktop.org Trash: the .trashinfo file and the names entries take. Kept apart from
// the system calls so that they can be tested from a table.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform::posix {

// A path as a .trashinfo's "Path=" holds it: every byte but the unreserved characters of RFC 2396 (letters,
// digits, "-_.!~*'()") and the separator "/" becomes %XX, so blanks, "%", newlines and UTF-8 survive.
std::string EscapeTrashPath(std::string_view path);

// The inverse of EscapeTrashPath: %XX becomes its byte again; no value for a "%" not followed by two hex digits.
std::optional<std::string> UnescapeTrashPath(std::string_view escaped);

// The whole .trashinfo: "[Trash Info]", Path= (escaped), DeletionDate= as local YYYY-MM-DDThh:mm:ss, and the
// program's own key holding keptAt, the same moment in nanoseconds since 1970 (which tells apart versions kept
// within one second). Trash clients pass over keys they do not
// know; the key tells the entries this program made from the user's own.
std::string TrashInfoText(std::string_view originalPath, const std::tm& deletionTime, std::int64_t keptAt);

// What a .trashinfo tells: the original path as written (relative to a drive's top folder in that drive's own
// trash), and, in the program's own entries only, when it kept the file.
struct TrashInfoFields {
    std::string path;
    std::optional<std::int64_t> keptAt;
};
// No value for a text no Trash client can read: empty or cut short, without its group or a valid Path=.
std::optional<TrashInfoFields> ParseTrashInfo(std::string_view text);

// The attempt-th name (from 1) to try for a file called name: name itself, then "stem_2.ext", "stem_3.ext"...
// The stem is shortened (never inside a UTF-8 character) so that the name with ".trashinfo" appended still fits
// in one file name of 255 bytes.
std::string CandidateTrashName(std::string_view name, int attempt);
// The name to try once every numbered candidate is taken, so that a file never goes unkept for want of a name:
// "stem_" + unique as 16 hexadecimal digits + ".ext", shortened as above.
std::string UniqueTrashName(std::string_view name, std::uint64_t unique);
// What every name the two above give for a file called name starts with: its stem as shortened for the longest
// suffix.
std::string TrashNamePrefix(std::string_view name);
// Whether trashName (the name in files/) is one of the names the two above give for a file called name.
bool IsCandidateTrashName(std::string_view trashName, std::string_view name);

inline constexpr std::string_view kTrashInfoSuffix = ".trashinfo";

} // namespace quillmere::platform::posix
