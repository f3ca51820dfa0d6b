// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ChangeWatch.h"

namespace quillmere {

ChangeWatch::ChangeWatch(const std::string& folder1, const std::string& folder2, const WatchServices& services,
                         UiThread& ui, std::function<void()> news)
    : folder1_(folder1), folder2_(folder2), pass_(services.pass), poster_(ui), news_(std::move(news)),
      schedule_(services.makeWatch(folder1, folder2), services.now),
      thread_([this](const std::stop_token& stop) { WatchLoop(stop); }) {}

ChangeWatch::~ChangeWatch() {
    thread_.request_stop();
    schedule_.Wake();
    thread_.join();
}

bool ChangeWatch::Watches(const std::string& folder1, const std::string& folder2) const {
    return folder1 == folder1_ && folder2 == folder2_;
}

// Waits for news, or for the time the quiet rule names; a pass already told waits for news alone, so that a due
// pass the window cannot start yet (another one runs) is not told over and over. The doubts found while the watch
// was set up are its first news.
void ChangeWatch::WatchLoop(const std::stop_token& stop) {
    schedule_.SetUp(stop);
    {
        const std::lock_guard lock(mutex_);
        schedule_.SetUpEnded();
        ready_ = true;
    }
    while (!stop.stop_requested()) {
        std::optional<QuietRule::Clock::time_point> until;
        {
            const std::lock_guard lock(mutex_);
            until = dueTold_ ? std::nullopt : schedule_.DueAt();
        }
        schedule_.Wait(until);
        if (stop.stop_requested()) {
            return;
        }
        const std::lock_guard lock(mutex_);
        schedule_.Take();
        const bool due = !dueTold_ && schedule_.PassDue();
        std::string doubts = DoubtLinesLocked();
        if (due || doubts != doubtsTold_) {
            dueTold_ = dueTold_ || due;
            doubtsTold_ = std::move(doubts);
            poster_.Post(news_);
        }
    }
}

bool ChangeWatch::PassDue() const {
    const std::lock_guard lock(mutex_);
    return schedule_.PassDue();
}

std::function<SyncCounts(const SyncJob&, const SyncSettings&, SyncObserver&)> ChangeWatch::PassStarting(bool full) {
    const std::lock_guard lock(mutex_);
    if (!ready_) {
        return {};
    }
    passRunning_ = true;
    dueTold_ = false;
    return [this, changes = schedule_.PlanPass(full)](const SyncJob& job, const SyncSettings& settings,
                                                      SyncObserver& observer) {
        schedule_.WatchAfresh(changes);
        return pass_(passes_, job, settings, observer, changes);
    };
}

// A pass that started before the watch was set up was not told to the schedule, and ends nothing there.
void ChangeWatch::PassEnded() {
    {
        const std::lock_guard lock(mutex_);
        if (passRunning_) {
            schedule_.PassEnded(passes_);
            passRunning_ = false;
        }
        dueTold_ = false;
    }
    schedule_.Wake();
}

std::string ChangeWatch::DoubtLines() const {
    const std::lock_guard lock(mutex_);
    return DoubtLinesLocked();
}

std::string ChangeWatch::DoubtLinesLocked() const {
    std::string lines;
    for (std::size_t side = 0; side < 2; ++side) {
        if (const auto& doubt = schedule_.Doubt(side)) {
            lines += (lines.empty() ? "" : "\n") + DoubtLine(side, *doubt);
        }
    }
    return lines;
}

} // namespace quillmere
