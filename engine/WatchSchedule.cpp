// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/WatchSchedule.h"

#include <algorithm>

namespace quillmere {

namespace {

// Changes went untold: the side must be read afresh, and soon.
bool TellsOfLostChanges(const platform::WatchDoubt& doubt) {
    return doubt.kind == platform::DoubtKind::QueueOverflowed || doubt.kind == platform::DoubtKind::FolderGone;
}

// How long to wait when nothing is due: long, yet a wait of a day fits every clock's count.
constexpr auto kIdleWait = std::chrono::hours(24);

} // namespace

WatchSchedule::WatchSchedule(const SyncJob& job, QuietRule::Now now)
    : WatchSchedule(std::make_unique<platform::FolderWatch>(std::vector<std::string>{job.folder1, job.folder2}),
                    std::move(now)) {}

WatchSchedule::WatchSchedule(std::unique_ptr<platform::WatchSource> watch, QuietRule::Now now)
    : watch_(std::move(watch)), now_(now), rule_(std::move(now)) {}

// Rounded up, so that a wait never ends just before the time it waits for.
void WatchSchedule::Wait(std::optional<QuietRule::Clock::time_point> until) {
    const auto left = until ? *until - now_() : QuietRule::Clock::duration(kIdleWait);
    const auto wait = std::max(std::chrono::ceil<std::chrono::milliseconds>(left), std::chrono::milliseconds(0));
    watch_->WaitForChange(wait);
}

void WatchSchedule::Take() {
    const platform::WatchNews news = watch_->TakeNews();
    for (std::size_t side = 0; side < 2; ++side) {
        const platform::TreeNews& tree = news.trees[side];
        bool changed = !tree.changed.empty();
        pending_[side].insert(tree.changed.begin(), tree.changed.end());
        if (tree.doubt && !doubts_[side]) {
            changed = changed || TellsOfLostChanges(*tree.doubt);
        }
        doubts_[side] = tree.doubt;
        if (changed) {
            rule_.ChangeSeen();
        }
    }
}

// Lost changes are found by the full listing to come.
WatchedPasses::Changes WatchSchedule::PlanPass(bool full) {
    WatchedPasses::Changes changes;
    for (std::size_t side = 0; side < 2; ++side) {
        if (full || readInFull_[side] || doubts_[side]) {
            if (doubts_[side] && TellsOfLostChanges(*doubts_[side])) {
                doubts_[side].reset();
            }
        } else {
            changes[side].emplace(pending_[side].begin(), pending_[side].end());
        }
        pending_[side].clear();
        readInFull_[side] = false;
    }
    rule_.PassStarted();
    return changes;
}

// Before the listing, so that nothing changed while it runs goes unseen.
void WatchSchedule::WatchAfresh(const WatchedPasses::Changes& changes) {
    for (std::size_t side = 0; side < 2; ++side) {
        if (!changes[side]) {
            watch_->StartAfresh(side);
        }
    }
}

void WatchSchedule::PassEnded(const WatchedPasses& passes) {
    rule_.PassEnded();
    for (std::size_t side = 0; side < 2; ++side) {
        watch_->AddFolders(side, passes.FoldersListed(side));
    }
}

std::string DoubtLine(std::size_t side, const platform::WatchDoubt& doubt) {
    return "Changes on Folder " + std::to_string(side + 1) + " are found by the timed pass only: " + doubt.words;
}

} // namespace quillmere
