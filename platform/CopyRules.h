// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that decide whether a copy may go ahead, as pure functions of what was seen of the two files. Each
// platform, and the dry run, only gathers the facts; these judge them, in the order the copy meets them:
//   JudgeSource       the source as opened
//   JudgeDestination  the destination before anything is written
//   JudgeSourceAgain  the source just before the new file takes the destination's place
//   JudgePlace        the destination's place just before that (and what the Trash holds of it)
#pragma once

#include "platform/FileCopy.h"

#include <optional>

namespace quillmere::platform {

// The same file, size and last-write time; the identity only where it is stable. The change time is left out, as
// a link or a rename changes it.
bool IsSameVersion(const FileFacts& now, const FileFacts& compared, StableFacts stable = {});

enum class EntryKind { Missing, File, NotAFile }; // NotAFile: a folder, a device, a pipe, a link leading nowhere

// What one look at a path showed.
struct SeenEntry {
    EntryKind kind = EntryKind::Missing;
    FileFacts facts;       // of a File
    bool readOnly = false; // its permissions grant no write, which binds root too
};

// The source must be a file and, when the pass compared it, still that very file unchanged: a file restored from a
// backup with an older time must not replace a newer one.
std::optional<Refusal> JudgeSource(EntryKind kind, const FileFacts& opened, const std::optional<FileFacts>& compared);

// Only a regular, writable file that is not the source and is still the one compared is replaced; when the pass
// compared none (an addition), only a free name is taken.
std::optional<Refusal> JudgeDestination(const SeenEntry& destination, bool isTheSource,
                                        const std::optional<FileFacts>& compared, StableFacts stable);

// The file under the source's name is still the one opened, unchanged: written in place (even with its old time
// put back) or saved anew, the source is not what the copy holds, which must not carry its time.
std::optional<Refusal> JudgeSourceAgain(const std::optional<FileFacts>& named, const FileFacts& opened);

// The destination's place holds the file expected there, unchanged; when none is expected, it is free.
std::optional<Refusal> JudgePlace(const std::optional<FileFacts>& now, const std::optional<FileFacts>& expected,
                                  StableFacts stable);

} // namespace quillmere::platform
