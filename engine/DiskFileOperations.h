// SPDX-License-Identifier: GPL-3.0-or-later
// File operations of a real pass: the guarded copies in a platform::CopyBatch; leftovers removed.
#pragma once

#include "engine/FileOperations.h"

namespace quillmere {

class DiskFileOperations final : public FileOperations {
public:
    bool StartCopy(const platform::CopyRequest& request) override;
    void SettleCopies(const platform::CopyBatch::Told& tell) override;
    void RemoveLeftover(const std::string& path) override;
    std::int64_t MeasureTimeStep(const std::string& folder) override;

private:
    platform::CopyBatch batch_;
};

} // namespace quillmere
