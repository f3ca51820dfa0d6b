// SPDX-License-Identifier: GPL-3.0-or-later
// File operations of a real pass: the guarded copy, leftovers removed.
#pragma once

#include "engine/FileOperations.h"

namespace quillmere {

class DiskFileOperations final : public FileOperations {
public:
    platform::CopyOutcome Copy(const platform::CopyRequest& request) override;
    void RemoveLeftover(const std::string& path) override;
};

} // namespace quillmere
