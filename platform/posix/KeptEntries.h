// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own entries for one file in a trash, set in order just before the file is kept there again, which a
// pass killed half-way may have left unfinished:
//  - a .trashinfo without its file goes (the move or link that was to follow never happened);
//  - an empty .trashinfo (killed between its creation and its text, where no hard link could make it appear whole)
//    goes once it is a minute old and has no file: no Trash client can read it, and it holds nothing;
//  - an entry holding the very version now at the file's place (a killed pass kept it and never replaced the file)
//    is offered to the keeping about to be made, which takes it over so that no version is kept twice;
//  - of the versions kept before, those beyond the bound (platform/KeptVersions.h) go, their file first.
// An entry is the program's only when its .trashinfo carries the program's key and names this very file; entries a
// running pass holds (their .trashinfo locked) and every other entry stay as they are.
#pragma once

#include "platform/posix/TrashScan.h"
#include "platform/posix/UniqueFd.h"

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform::posix {

// An entry taken over, its .trashinfo locked as the keeping's own.
struct TakenOver {
    std::string name;
    UniqueFd lock;
    bool sameFile = false; // the trash holds the file itself (a hard link), not a copy of it
};

// originalPath: the path as the file's .trashinfo names it in this trash; file: the file as it is now; now: the
// moment of the keeping, in nanoseconds since 1970.
std::optional<TakenOver> TidyEntriesOf(TrashScan& scan, const std::string& originalPath, std::string_view name,
                                       const struct stat& file, std::int64_t now);

} // namespace quillmere::platform::posix
