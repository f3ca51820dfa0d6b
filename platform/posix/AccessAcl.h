// SPDX-License-Identifier: GPL-3.0-or-later
// What a file's access ACL allows, for a copy onto a file system that cannot keep the ACL itself: permission bits
// that give no one more than the ACL gave them.
#pragma once

#include <sys/types.h>

#include <string_view>

namespace quillmere::platform::posix {

// The permission bits (0777) for a copy of a file of mode whose access ACL is acl, the value of its
// system.posix_acl_access attribute as the kernel gives it. Without the ACL, a member of the copy's group gets the
// group bits and everyone else but the owner gets the other bits; so the group bits are at most what the ACL's
// group entry (under its mask) and every named user's entry allow, and the other bits at most what the other entry
// and every named user's and named group's entry allow. An ACL that cannot be read leaves the owner's bits only.
mode_t PermissionsWithoutAcl(std::string_view acl, mode_t mode);

} // namespace quillmere::platform::posix
