// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/CopyMetadata.h"

#include "platform/posix/AccessAcl.h"
#include "platform/posix/TemporarySibling.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::platform::posix {

namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";
constexpr std::string_view kUserNamespace = "user.";

// An extended attribute as read: its value, or the errno that said why there is none.
struct Attribute {
    std::optional<std::string> value;
    int error = 0;
};

// Read in two steps (size, then value), again when it grew in between.
Attribute AttributeOf(int fd, const char* name) {
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
        if (size < 0) {
            return {std::nullopt, errno};
        }
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::fgetxattr(fd, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return {std::move(value), 0};
        }
        if (errno != ERANGE) {
            return {std::nullopt, errno};
        }
    }
}

// The names of the user's own extended attributes on a file, the program's mark left out: a source that once was
// a copy may still carry one, and it names none of this copy's temporary files.
std::vector<std::string> UserAttributeNames(int fd) {
    std::string names;
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size <= 0) {
            return {};
        }
        names.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::flistxattr(fd, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            break;
        }
        if (errno != ERANGE) {
            return {};
        }
    }
    std::vector<std::string> wanted;
    for (std::size_t at = 0; at < names.size();) {
        const std::string name = names.c_str() + at;
        at += name.size() + 1;
        if (name.starts_with(kUserNamespace) && !IsTemporaryMark(name)) {
            wanted.push_back(name);
        }
    }
    return wanted;
}

void CopyUserAttributes(int from, int to) {
    for (const std::string& name : UserAttributeNames(from)) {
        const Attribute attribute = AttributeOf(from, name.c_str());
        if (attribute.value) {
            (void)::fsetxattr(to, name.c_str(), attribute.value->data(), attribute.value->size(), 0);
        }
    }
}

// Puts the source's access ACL on the copy and says which permission bits the copy may have: the source's where
// the ACL is kept or there is none, fewer where the copy's file system cannot keep it.
mode_t CopyAccessAcl(int from, int to, mode_t mode) {
    const Attribute acl = AttributeOf(from, kAccessAcl);
    if (!acl.value) {
        if (acl.error != ENODATA && acl.error != ENOTSUP) {
            return mode & 0700; // an ACL that cannot be read may forbid anything to anyone but the owner
        }
        // None on the source, but the copy may have taken one from its folder's default ACL, which may give a
        // named user the group's bits: the copy has the source's permissions, no more.
        (void)::fremovexattr(to, kAccessAcl);
        return mode & 0777;
    }
    if (::fsetxattr(to, kAccessAcl, acl.value->data(), acl.value->size(), 0) == 0) {
        return mode & 0777;
    }
    return PermissionsWithoutAcl(*acl.value, mode);
}

// The setgid bit stays only where the copy belongs to the source's group: a copy made by root into another user's
// folder takes that folder's group, and the bit would then run the source's program with a group it never had.
mode_t SetGroupBit(int to, const struct stat& source) {
    struct stat copy {};
    return (source.st_mode & S_ISGID) != 0 && ::fstat(to, &copy) == 0 && copy.st_gid == source.st_gid ? S_ISGID : 0;
}

} // namespace

// The order matters: a change of owner clears the setgid bit, setting an ACL sets the permission bits, and the
// permissions come last, which on a file with an ACL set its mask from the group bits (the source's mask).
void CopyMetadata(int from, int to, const struct stat& source, uid_t owner, gid_t group) {
    // Only root may give a file away; FAT refuses owners and permissions alike.
    [[maybe_unused]] const int owned = ::fchown(to, owner, group);
    CopyUserAttributes(from, to);
    const mode_t permissions = CopyAccessAcl(from, to, source.st_mode);
    [[maybe_unused]] const int permitted = ::fchmod(to, permissions | SetGroupBit(to, source));
}

} // namespace quillmere::platform::posix
