// SPDX-License-Identifier: GPL-3.0-or-later
// A file system in memory mounted for one test: tmpfs (which keeps ACLs, extended attributes and holes) or ramfs
// (which keeps permissions but neither ACLs nor extended attributes). Needs root; SkipReason() says why not.
#pragma once

#include "tests/support/TempDir.h"

#include <functional>
#include <optional>
#include <string>

namespace quillmere::test {

class MemoryMount {
public:
    explicit MemoryMount(const std::string& type); // "tmpfs" or "ramfs"
    ~MemoryMount();                                // unmounts
    MemoryMount(const MemoryMount&) = delete;
    MemoryMount& operator=(const MemoryMount&) = delete;

    // Why the mount is not there; no value when it is.
    const std::optional<std::string>& SkipReason() const { return skipReason_; }
    // The mounted folder, without a trailing "/".
    const std::string& Path() const { return mountPoint_; }

private:
    TempDir work_;
    std::string mountPoint_;
    std::optional<std::string> skipReason_;
};

// Runs check in a fresh folder on each file system that keeps holes, ACLs and extended attributes: the temporary
// folder's own, and a tmpfs (when it can be mounted; otherwise says so on standard output).
void OnTemporaryFolderAndTmpfs(const std::function<void(const std::string& where, const std::string& folder)>& check);

} // namespace quillmere::test
