// SPDX-License-Identifier: GPL-3.0-or-later
// File operations of a dry run: every copy is decided by the same guards as a real copy, then only remembered,
// so that later time reads of a pretended destination see what a real copy would have left there.
#pragma once

#include "engine/FileOperations.h"

#include <unordered_map>

namespace quillmere {

class DryRunFileOperations final : public FileOperations {
public:
    std::optional<std::int64_t> LastWriteTime(const std::string& path) override;
    bool Copy(const std::string& source, const std::string& destination) override;

private:
    // What a real copy leaves at its destination, as far as later decisions of the pass can tell.
    struct PretendedFile {
        std::int64_t lastWriteTime = 0;
        bool readOnly = false; // a copy takes the source's permissions, so it may block a later copy
    };
    bool SourceExists(const std::string& source) const;
    bool IsReplaceable(const std::string& destination) const;
    bool IsReadOnly(const std::string& path) const;

    std::unordered_map<std::string, PretendedFile> pretended_; // by normalized destination path
};

} // namespace quillmere
