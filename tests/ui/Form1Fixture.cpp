// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1Fixture.h"

namespace quillmere::test {

Form1& Form1Fixture::Make() {
    form_.reset(); // the window before takes its icon down first
    view_ = std::make_unique<ScriptedView>();
    auto tray = std::make_unique<tray::testing::FakeTrayBackend>(trayLog_);
    tray->available = trayAvailable_;
    tray_ = tray.get();
    PassFunction pass = [this](const SyncJob& job, const SyncSettings& settings, SyncObserver& observer) {
        ++passes_;
        lastOptions_ = job.options;
        lastDirection_ = settings.Direction();
        lastFolder1_ = job.folder1;
        if (duringPass_) {
            duringPass_(settings, observer);
        }
        return SyncCounts{};
    };
    WatchServices watch{[this](const std::string& folder1, const std::string& folder2) {
                            ++watchesMade_;
                            watchedFolders_ = {folder1, folder2};
                            auto made = std::make_unique<ScriptedWatch>(watchesLive_, holdSetUp_);
                            watch_ = made.get();
                            return made;
                        },
                        [this] { return QuietRule::Clock::time_point(QuietRule::Clock::duration(clock_.load())); },
                        [this, pass](WatchedPasses&, const SyncJob& job, const SyncSettings& settings,
                                     SyncObserver& observer, const WatchedPasses::Changes& changes) {
                            changesSeen_.push_back(changes);
                            return pass(job, settings, observer);
                        }};
    form_ = std::make_unique<Form1>(Form1Services{*view_, store_, chooser_, boxes_, ui_, runner_, timer1_, manualHold_,
                                                  startup_, std::move(tray), std::move(pass), [this] { return draw_; },
                                                  opener_, [this] { return now_; }, programFolder_, endAtOnce_,
                                                  homePage_, std::move(watch)});
    return *form_;
}

Form1& Form1Fixture::Load() {
    Make().Form_Load();
    return *form_;
}

void Form1Fixture::Tick(int times) {
    for (int i = 0; i < times; ++i) {
        form_->Timer1_Timer();
    }
}

bool Form1Fixture::IconInTray() const {
    return tray::testing::IconInTray(*trayLog_);
}

std::size_t Form1Fixture::TrayCount(const std::string& prefix) const {
    return tray::testing::CountStartingWith(*trayLog_, prefix);
}

} // namespace quillmere::test
