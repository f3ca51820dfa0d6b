// SPDX-License-Identifier: GPL-3.0-or-later
// "Sync as soon as files change": the window's pair watched by a thread of its own, which waits on the schedule of
// passes and tells the UI thread when a pass is due or what it may trust changes. Every pass the window runs while
// it watches goes through it, the timed one too, so that the quiet rule knows of each and the next pass re-reads
// only what changed since.
#pragma once

#include "engine/WatchSchedule.h"
#include "engine/WatchedPasses.h"
#include "ui/main/UiThread.h"

#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace quillmere {

using WatchedPassFunction = std::function<SyncCounts(WatchedPasses&, const SyncJob&, const SyncSettings&, SyncObserver&,
                                                     const WatchedPasses::Changes&)>;

// What watching asks of the world; tests put scripted versions in place.
struct WatchServices {
    // The watch of both folders (Folder 1, then Folder 2, in the walk's form), not set up yet.
    std::function<std::unique_ptr<platform::WatchSource>(const std::string&, const std::string&)> makeWatch =
        [](const std::string& folder1, const std::string& folder2) {
            return std::make_unique<platform::FolderWatch>(std::vector<std::string>{folder1, folder2},
                                                           platform::FolderWatch::Later{});
        };
    QuietRule::Now now = QuietRule::Clock::now;
    WatchedPassFunction pass = [](WatchedPasses& passes, const SyncJob& job, const SyncSettings& settings,
                                  SyncObserver& observer, const WatchedPasses::Changes& changes) {
        return passes.Run(job, settings, observer, changes);
    };
};

class ChangeWatch {
public:
    // Sets the watch of the two folders up on the watching thread, which walks both trees: the window goes on
    // answering meanwhile. news runs on the UI thread whenever a pass falls due or the doubts change.
    ChangeWatch(const std::string& folder1, const std::string& folder2, const WatchServices& services, UiThread& ui,
                std::function<void()> news);
    // Ends the watching thread, cutting a set-up under way short, and waits for it.
    ~ChangeWatch();
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    bool Watches(const std::string& folder1, const std::string& folder2) const;
    // On the UI thread. True when changes wait for a pass and the quiet rule says it is time.
    bool PassDue() const;
    // As a pass starts, on the UI thread: the pass to run on the pass's thread. full: the timed or the manual pass,
    // which lists both trees in full. None while the watch is being set up: the pass runs as without it, and the
    // first one after reads both sides in full.
    std::function<SyncCounts(const SyncJob&, const SyncSettings&, SyncObserver&)> PassStarting(bool full);
    // After any pass has ended, on the UI thread: changes seen meanwhile can start the next.
    void PassEnded();
    // One line for each side whose changes the watch cannot be trusted to tell; empty while it can.
    std::string DoubtLines() const;

private:
    void WatchLoop(const std::stop_token& stop);
    std::string DoubtLinesLocked() const;

    const std::string folder1_;
    const std::string folder2_;
    WatchedPassFunction pass_;
    OwnedPoster poster_;
    std::function<void()> news_;
    mutable std::mutex mutex_; // the schedule and the passes' state between the two threads
    WatchSchedule schedule_;
    WatchedPasses passes_;
    bool ready_ = false; // set up: passes go through the schedule
    bool passRunning_ = false;
    bool dueTold_ = false; // told to the UI thread; not again until a pass has started or ended
    std::string doubtsTold_;
    std::jthread thread_; // last: it starts once everything else is in place
};

} // namespace quillmere
