// SPDX-License-Identifier: GPL-3.0-or-later
// What a file carries besides its data, as the tests read and set it: extended attributes, the access ACL (through
// the acl package's setfacl and getfacl, independent readers), and the disk it takes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace quillmere::test {

// The user.* extended attributes of a file (links followed), name to value.
std::map<std::string, std::string> UserAttributes(const std::string& path);
// Sets one; false when the file system refuses it.
bool SetAttribute(const std::string& path, const std::string& name, const std::string& value);

// Why the ACL tools cannot be used; no value when they can.
std::optional<std::string> AclToolsSkipReason();
// setfacl -m entries path; false when refused (the file system keeps no ACLs).
bool ModifyAcl(const std::string& path, const std::string& entries);
// setfacl -d -m entries folder: the ACL the files made in folder take.
bool ModifyDefaultAcl(const std::string& folder, const std::string& entries);
// The entries getfacl lists for path, one a line, without its header or effective-rights comments.
std::string AclEntries(const std::string& path);
// The access ACL as the kernel stores it (system.posix_acl_access); no value when there is none.
std::optional<std::string> RawAccessAcl(const std::string& path);

// The permission bits, the set-id bits among them.
unsigned ModeOf(const std::string& path);
// The bytes of disk the file's blocks take.
std::int64_t DiskBytes(const std::string& path);

} // namespace quillmere::test
