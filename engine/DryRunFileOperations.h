// SPDX-License-Identifier: GPL-3.0-or-later
// File operations of a dry run: every copy is decided by the same guards and checks as a real copy (those it can
// make before writing anything), then only remembered, so that later copies from or onto a pretended file meet
// what a real copy would have left there. Nothing is written, and no leftover is removed. Nothing waits for a flush
// either, so each copy is settled as soon as it is started.
#pragma once

#include "engine/FileOperations.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quillmere {

class DryRunFileOperations final : public FileOperations {
public:
    bool StartCopy(const platform::CopyRequest& request) override;
    void SettleCopies(const platform::CopyBatch::Told& tell) override;
    void RemoveLeftover(const std::string& /*path*/) override {}

private:
    platform::CopyOutcome Copy(const platform::CopyRequest& request);
    // What a real copy leaves at its destination, as far as later decisions of the pass can tell.
    struct PretendedFile {
        platform::FileFacts facts;
        bool readOnly = false; // a copy takes the source's permissions, so it may block a later copy
        std::string origin;    // the real file it is a copy of
    };
    static std::optional<platform::CopyOutcome> CheckPretended(const platform::CopyRequest& request,
                                                               const PretendedFile& destination);
    std::optional<PretendedFile> Pretend(const platform::CopyRequest& real, const PretendedFile* source);

    std::unordered_map<std::string, PretendedFile> pretended_; // by normalized destination path
    std::uint64_t lastIdentity_ = 0;                           // pretended files are told apart by a count
    std::vector<std::pair<platform::CopyRequest, platform::CopyOutcome>> unsettled_;
};

} // namespace quillmere
