// SPDX-License-Identifier: GPL-3.0-or-later
// One synchronization pass between Folder 1 and Folder 2.
#pragma once

#include "base/ErrorTrap.h"
#include "platform/FileCopy.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillmere {

enum class SyncDirection {
    None,             // no option chosen: nothing is copied
    BothWays,         // newer files win in either direction
    Folder1ToFolder2, // Folder 1's newer files replace Folder 2's
    Folder2ToFolder1, // Folder 2's newer files replace Folder 1's
};

// What a pass reads from its caller (the window or the command line) at the moment it needs it.
class SyncSettings {
public:
    virtual ~SyncSettings() = default;
    // Read afresh for every name both sides list, so a change made during a pass applies to the names that follow.
    // Must be safe to call from the thread running the pass.
    virtual SyncDirection Direction() const = 0;
};

// One direction for the whole pass: the command line's, a bench's or a test's.
class FixedDirection final : public SyncSettings {
public:
    explicit FixedDirection(SyncDirection direction) : direction_(direction) {}
    SyncDirection Direction() const override { return direction_; }

private:
    SyncDirection direction_;
};

struct SyncCounts {
    std::int64_t foldersWalked = 0;
    std::int64_t filesListed = 0;
    std::int64_t pairsCompared = 0;
    std::int64_t filesCopied = 0;
    std::int64_t filesKept = 0;       // replaced files kept in the Trash (among the files copied)
    std::int64_t replacedNotKept = 0; // replaced although they were to be kept: their drive has no Recycle Bin
    std::int64_t copiesRefused = 0;   // kept from being made by a rule of the program (read-only, changed, a link...)
    std::int64_t copiesFailed = 0;    // refused by the system (a full disk, no permission, a file too large...)
    std::int64_t notRead = 0;         // folders that could not be read, and links not followed

    bool operator==(const SyncCounts&) const = default;
};

// Hears how a pass goes, and may stop it. Called on the thread running the pass. Every copy ends in exactly one
// of Copied and NotCopied; together with NotRead they tell all that did not go as it should, with its cause,
// so that a front end can list the failures of the last pass.
class SyncObserver : public ErrorSink {
public:
    // Checked between files: a pass that is asked to stop ends before its next file.
    virtual bool StopRequested() const { return false; }
    virtual void Progress(const SyncCounts& /*sofar*/) {}
    virtual void Copied(const std::string& /*source*/, const std::string& /*destination*/) {}
    // Told just before Copied when the file the copy replaced is in the Trash.
    virtual void KeptInTrash(const std::string& /*destination*/) {}
    // Told after Copied when the file the copy replaced was to be kept but could not be (Windows: a drive without
    // a Recycle Bin), and why.
    virtual void NotKeptInTrash(const std::string& /*destination*/, const std::string& /*cause*/) {}
    // A copy that was not made: refused or failed (outcome.status), and why in words (outcome.cause). The pass
    // goes on with its next file; nothing was changed at the destination.
    virtual void NotCopied(const std::string& /*source*/, const std::string& /*destination*/,
                           const platform::CopyOutcome& /*outcome*/) {}
    // A folder whose files take no part in the pass, or a link not followed, and why in words.
    virtual void NotRead(const std::string& /*path*/, const std::string& /*cause*/) {}
    // The pass did none of its work, and why in words: another pass holds one of its folders.
    virtual void NotRun(const std::string& /*cause*/) {}
    // A copy reached a stage: its data written, or both files checked just before it replaces the destination.
    virtual void CopyReached(const std::string& /*source*/, const std::string& /*destination*/,
                             platform::CopyStage /*stage*/) {}
    void Report(const TrappedError& /*error*/) override {}
};

struct SyncOptions {
    // Decide every copy exactly as a real pass would, but write nothing.
    bool dryRun = false;
    // Put each file a copy replaces in the Trash first, where the desktop can restore it, and replace none that
    // cannot be kept; off, it is replaced outright. The window reads its "Keep Replaced" setting afresh for every
    // pass.
    bool keepReplaced = true;
    // The time now, by which a file dated more than a day later replaces no other; the machine's clock when empty.
    std::function<platform::FileTime()> clock = {};
};

// What one pass is to do, fixed as it starts. Each folder is as it entered the program (EnteredFolder in
// fs/Main.h): the caller has decided that the pair may run.
struct SyncJob {
    std::string folder1;
    std::string folder2;
    SyncOptions options;
};

SyncCounts SyncFolders(const SyncJob& job, const SyncSettings& settings, SyncObserver& observer);

} // namespace quillmere
