// SPDX-License-Identifier: GPL-3.0-or-later
// What one pass carries from step to step: where it reads its settings, how it touches files, whom it tells,
// what it has counted, and how far apart two times may be and still count as the same.
#pragma once

#include "engine/FileOperations.h"
#include "engine/NameSet.h"
#include "engine/modSync.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillmere {

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

    // A file dated after this replaces no other: more than a day ahead of the clock when the pass started. Until
    // SetClock, no time is too late.
    platform::FileTime FutureLimit() const { return futureLimit_; }
    void SetClock(platform::FileTime now);
    // The time step of the file system known as device, once looked up this pass (and measured, when asked
    // measured); no value before.
    std::optional<std::int64_t> KnownTimeStep(std::uint64_t device, bool measured) const;
    // Looks it up from folder, a folder on that file system: the platform's first guess, or when measure, what a
    // time set there and read back shows (FileOperations::MeasureTimeStep).
    std::int64_t LookUpTimeStep(std::uint64_t device, const std::string& folder, bool measure);

    bool StopRequested() const { return observer_.StopRequested(); }

    void FolderWalked();
    void FilesListed(std::int64_t count);
    void PairsCompared(std::int64_t count);
    // The guarded copy, in one batch (FileOperations::StartCopy) with the copies started before it; its outcome is
    // counted and told to the observer as the batch tells it. The pass settles the batch when it is full, when
    // something is about to read or write a path one of its copies reads or writes (SettleIfTouched, which the
    // caller asks before it builds a request from what it knows of the files), and at its end.
    void Copy(platform::CopyRequest request);
    // A copy the pass itself refuses to start: counted and told as outcome says, in its place among the copies
    // started before it.
    void Refuse(const std::string& source, const std::string& destination, const platform::CopyOutcome& outcome);
    // Settles the pending copies when one of them reads or writes path or other, so that what follows (a copy, a
    // comparison) sees them made. Pending copies are few and the test costs a lookup each.
    void SettleIfTouched(std::string_view path, std::string_view other);
    bool HasPendingCopies() const { return !pending_.empty(); }
    // Makes the pending copies, and tells and hands on their outcomes.
    void SettleCopies();
    void NotRead(const std::string& path, const std::string& cause);

    // A watched pass compares only limit's names while the direction it reads is theirs (NamesLimit), and notes
    // in told the name of every copy it tells (made, refused or failed), for the next pass to compare again.
    void WatchNames(const NamesToCompare* limit, NameSet* told) {
        limit_ = limit;
        told_ = told;
    }
    // Each direction the pass reads; the names to compare are known once one is.
    void DirectionRead(SyncDirection direction);
    // The names to compare, no value for every name.
    const NameSet* NamesLimit() const {
        return limit_ != nullptr && firstDirection_ == limit_->direction ? &limit_->names : nullptr;
    }
    // Whether every direction read was the first one.
    bool DirectionHeld() const { return directionHeld_; }
    SyncDirection FirstDirection() const { return static_cast<SyncDirection>(firstDirection_); }

private:
    void Tell(const std::string& source, const std::string& destination, const platform::CopyOutcome& outcome);

    const SyncSettings& settings_;
    SyncObserver& observer_;
    FileOperations& files_;
    bool keepReplaced_;
    SyncCounts counts_;
    std::int64_t timeTolerance_ = 1;
    platform::FileTime futureLimit_{INT64_MAX, 999'999'999};
    struct TimeStep {
        std::int64_t nanoseconds = 1;
        bool measured = false;
    };
    std::unordered_map<std::uint64_t, TimeStep> timeSteps_; // by device
    // The pending copies, in the order started, as the pass asked for them, and the paths they read or write.
    struct PendingCopy {
        std::string source;
        std::string destination;
        std::optional<platform::CopyOutcome> refused; // decided by the pass, not by the copy
    };
    std::vector<PendingCopy> pending_;
    const NamesToCompare* limit_ = nullptr;
    NameSet* told_ = nullptr;
    int firstDirection_ = -1;
    bool directionHeld_ = true;
    // Looked up by string_view, so that a lookup copies no path.
    struct PathHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view path) const { return std::hash<std::string_view>{}(path); }
    };
    std::unordered_set<std::string, PathHash, std::equal_to<>> pendingPaths_;
};

} // namespace quillmere
