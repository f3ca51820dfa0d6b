// SPDX-License-Identifier: GPL-3.0-or-later
// File operations of a real pass: exact times from the file system and the guarded copy.
#pragma once

#include "engine/FileOperations.h"

namespace quillmere {

class DiskFileOperations final : public FileOperations {
public:
    std::optional<std::int64_t> LastWriteTime(const std::string& path) override;
    bool Copy(const std::string& source, const std::string& destination) override;
};

} // namespace quillmere
