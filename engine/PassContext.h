// SPDX-License-Identifier: GPL-3.0-or-later
// What one pass carries from step to step: where it reads its settings, how it touches files, whom it tells,
// what it has counted, and how far apart two times may be and still count as the same.
#pragma once

#include "engine/FileOperations.h"
#include "engine/modSync.h"

#include <cstdint>
#include <string>

namespace quillmere {

// "in Quillmere2021/08/31.modSync.SyncFolders ": the procedure text of the pass's own error reports.
const std::string& SyncProcedure();

class PassContext {
public:
    // keepReplaced: a file a copy replaces goes to the Trash first (SyncOptions).
    PassContext(const SyncSettings& settings, SyncObserver& observer, FileOperations& files, bool keepReplaced = false)
        : settings_(settings), observer_(observer), files_(files), keepReplaced_(keepReplaced) {}

    const SyncSettings& Settings() const { return settings_; }
    SyncObserver& Observer() { return observer_; }
    FileOperations& Files() { return files_; }
    const SyncCounts& Counts() const { return counts_; }
    bool KeepsReplaced() const { return keepReplaced_; }

    // Nanoseconds by which two times may differ and still be equal: the coarser time step of the two sides.
    std::int64_t TimeTolerance() const { return timeTolerance_; }
    void SetTimeTolerance(std::int64_t nanoseconds) { timeTolerance_ = nanoseconds; }

    bool StopRequested() const { return observer_.StopRequested(); }

    void FolderWalked();
    void FilesListed(std::int64_t count);
    void PairCompared();
    // The guarded copy, counted and told to the observer whatever its outcome.
    platform::CopyOutcome Copy(platform::CopyRequest request);
    void NotRead(const std::string& path, const std::string& cause);

private:
    const SyncSettings& settings_;
    SyncObserver& observer_;
    FileOperations& files_;
    bool keepReplaced_;
    SyncCounts counts_;
    std::int64_t timeTolerance_ = 1;
};

} // namespace quillmere
