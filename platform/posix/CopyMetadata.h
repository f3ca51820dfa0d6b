// SPDX-License-Identifier: GPL-3.0-or-later
// What a copy carries over besides its data and times.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace quillmere::platform::posix {

// Gives the copy to (open, still under its temporary name) the owner and group asked for, the source's user
// extended attributes (user.*, the program's own mark excepted), its access ACL and its permissions, the setgid bit
// among them, as far as the copy's file system keeps each. Where a file system refuses one, the copy goes on
// without it (the data and the time matter more), with one exception: where the ACL cannot be kept, the permissions
// are narrowed to what it allowed (PermissionsWithoutAcl), never left as the mode's wider group bits.
void CopyMetadata(int from, int to, const struct stat& source, uid_t owner, gid_t group);

} // namespace quillmere::platform::posix
