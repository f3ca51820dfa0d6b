// SPDX-License-Identifier: GPL-3.0-or-later
// When passes between watched folders run, and what each re-reads: the folder watch's news gathered per side, the
// quiet rule fed with it, and each side's doubt, which has that side read in full by every pass until the watch
// can be trusted again. A doubt that tells of changes lost (a queue that overflowed, a top folder gone) is a change
// itself; one that tells of a state (a network folder, the watch limit) is not, or every pass would start the next.
#pragma once

#include "engine/QuietRule.h"
#include "engine/WatchedPasses.h"
#include "platform/FolderWatch.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace quillmere {

class WatchSchedule {
public:
    // Watches both folders of job (before anything is listed): the first pass reads both sides in full.
    WatchSchedule(const SyncJob& job, QuietRule::Now now);
    // Follows that watch of both folders, set up before anything was listed, or by SetUp before the first pass.
    WatchSchedule(std::unique_ptr<platform::WatchSource> watch, QuietRule::Now now);

    // Sets the watch up (see WatchSource::SetUp). It touches the watch alone, so another thread may read the
    // schedule meanwhile; no pass starts before it has returned.
    void SetUp(std::stop_token stop) { watch_->SetUp(std::move(stop)); }
    // Then: what changed in a folder before the walk reached it went untold, so a pass falls due as after a change,
    // and, the first, it reads both sides in full.
    void SetUpEnded() { rule_.ChangeSeen(); }

    // Waits until news comes, until, or Wake; then takes the news.
    void WaitAndTake(std::optional<QuietRule::Clock::time_point> until) {
        Wait(until);
        Take();
    }
    // The two halves, for a thread that waits while another one starts and ends passes: Wait changes nothing the
    // other methods read, so only Take and those need to be kept apart.
    void Wait(std::optional<QuietRule::Clock::time_point> until);
    void Take();
    // Ends a wait, or the next one: from any thread, and on POSIX from a signal handler.
    void Wake() { watch_->Wake(); }

    bool PassDue() const { return rule_.PassDue(); }
    std::optional<QuietRule::Clock::time_point> DueAt() const { return rule_.DueAt(); }

    // Before a pass: what it re-reads on each side. full: the timed pass, which reads both sides in full.
    WatchedPasses::Changes PassStarting(bool full) {
        WatchedPasses::Changes changes = PlanPass(full);
        WatchAfresh(changes);
        return changes;
    }
    // Its two halves, for a window that starts a pass on one thread and runs it on another: PlanPass where passes
    // start, kept apart from Take; WatchAfresh by the pass before it lists anything, as it walks each side read in
    // full to watch it afresh (long for large trees). WatchAfresh touches the watch alone.
    WatchedPasses::Changes PlanPass(bool full);
    void WatchAfresh(const WatchedPasses::Changes& changes);
    // After it: the folders it listed are followed from now on.
    void PassEnded(const WatchedPasses& passes);

    // Why a side's changes are found by the timed pass only; no value while its watch is trusted.
    const std::optional<platform::WatchDoubt>& Doubt(std::size_t side) const { return doubts_[side]; }

private:
    std::unique_ptr<platform::WatchSource> watch_;
    QuietRule::Now now_;
    QuietRule rule_;
    std::array<std::set<std::string>, 2> pending_;
    std::array<std::optional<platform::WatchDoubt>, 2> doubts_;
    std::array<bool, 2> readInFull_{true, true};
};

// "Changes on Folder 2 are found by the timed pass only: a network folder": the status line of a doubt.
std::string DoubtLine(std::size_t side, const platform::WatchDoubt& doubt);

} // namespace quillmere
