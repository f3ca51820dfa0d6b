// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/AccessAcl.h"

#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace quillmere::platform::posix {

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kEntrySize = 8;
constexpr unsigned kAll = 07;

// The value is little-endian whatever the machine.
unsigned LittleEndianAt(std::string_view bytes, std::size_t at, std::size_t size) {
    unsigned value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// Each class's share: the group entry, the least of the named users' and of the named groups' entries (each
// under the mask), and the other entry.
struct Shares {
    unsigned groupEntry = kAll;
    unsigned mask = kAll; // no mask entry: a minimal ACL, where the group entry stands alone
    unsigned leastNamedUser = kAll;
    unsigned leastNamedGroup = kAll;
    unsigned other = kAll;
};

std::optional<Shares> Read(std::string_view acl) {
    if (acl.size() < kHeaderSize || (acl.size() - kHeaderSize) % kEntrySize != 0 ||
        LittleEndianAt(acl, 0, 4) != POSIX_ACL_XATTR_VERSION) {
        return std::nullopt;
    }
    Shares shares;
    for (std::size_t at = kHeaderSize; at < acl.size(); at += kEntrySize) {
        const unsigned tag = LittleEndianAt(acl, at, 2);
        const unsigned permissions = LittleEndianAt(acl, at + 2, 2) & kAll;
        if (tag == ACL_GROUP_OBJ) {
            shares.groupEntry = permissions;
        } else if (tag == ACL_MASK) {
            shares.mask = permissions;
        } else if (tag == ACL_USER) {
            shares.leastNamedUser &= permissions;
        } else if (tag == ACL_GROUP) {
            shares.leastNamedGroup &= permissions;
        } else if (tag == ACL_OTHER) {
            shares.other = permissions;
        }
    }
    return shares;
}

} // namespace

mode_t PermissionsWithoutAcl(std::string_view acl, mode_t mode) {
    const mode_t owner = mode & 0700;
    const std::optional<Shares> shares = Read(acl);
    if (!shares) {
        return owner;
    }
    const unsigned namedUsers = shares->leastNamedUser & shares->mask;
    const unsigned namedGroups = shares->leastNamedGroup & shares->mask;
    const unsigned group = shares->groupEntry & shares->mask & namedUsers & ((mode >> 3) & kAll);
    const unsigned other = shares->other & namedUsers & namedGroups & (mode & kAll);
    return owner | static_cast<mode_t>(group << 3) | static_cast<mode_t>(other);
}

} // namespace quillmere::platform::posix
