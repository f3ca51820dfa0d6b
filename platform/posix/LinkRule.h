// SPDX-License-Identifier: GPL-3.0-or-later
// Reaching a path without lending the program's rights through someone else's link. A link is followed only
// where its owner is the user running the program, is root, or also owns what it leads to: the rule Linux's
// protected links apply in shared folders. A link planted by another user towards a file that user does not own
// is not followed, wherever on the path it lies.
//
// A path without links is opened in one call (openat2 refusing links); only a path that holds links is walked
// one component at a time, each link judged, and what is opened is checked against what was judged.
#pragma once

#include "platform/posix/UniqueFd.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace quillmere::platform::posix {

bool MayFollowLink(uid_t linkOwner, uid_t targetOwner);

// How far a path was reached.
struct Reach {
    int error = 0;            // errno of the step that failed; 0 when reached
    bool linkRefused = false; // a link on the way is not followed
    bool Ok() const { return error == 0 && !linkRefused; }
};

// The last entry of a path, with links on the way (itself included) followed by the rule.
struct ReachedEntry {
    Reach reach;
    UniqueFd folder;                 // the folder holding the entry (opened with O_PATH)
    std::string name;                // the entry's name in that folder
    std::optional<struct stat> info; // the entry's own status (a link only when it leads nowhere); none: absent
};
// path is taken relative to the folder at (AT_FDCWD: the working folder) unless it is absolute.
ReachedEntry ReachEntry(int at, std::string_view path);

struct OpenedFile {
    Reach reach;
    UniqueFd fd;
    struct stat info {};
};
// Opens path with flags (O_CLOEXEC is added), following links by the rule.
OpenedFile OpenReached(int at, std::string_view path, int flags);

} // namespace quillmere::platform::posix
