// SPDX-License-Identifier: GPL-3.0-or-later
// Form1's scheduler: the countdown of Timer1, the Auto Sync switch, the manual pass with its pause, the choice
// of interval and the direction. Two passes never run at once.
#include "ui/main/Form1.h"

#include "ui/main/Form1Texts.h"
#include "ui/main/PassRunner.h"
#include "ui/main/Settings.h"
#include "ui/main/SyncIntervals.h"
#include "ui/main/Timer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quillmere {
namespace {

using namespace form1_texts;
namespace procedure = form1_procedure;

constexpr int kManualHoldMilliseconds = 5000;

} // namespace

// Read by the pass for every name, so a change made during a pass applies to the names that follow.
void Form1::Options_Click(SyncDirection direction) {
    windowPass_.SetDirection(direction);
}

// Each pass reads the stored choice afresh as it starts.
void Form1::Check11_Click(bool checked) {
    Guarded(procedure::kCheck11, [&] { SaveOnOff(settings_, "Keep Replaced", checked); });
}

std::int32_t Form1::SelectedIntervalSeconds() const {
    if (!interval_) {
        throw std::logic_error("No sync interval is selected");
    }
    return SyncIntervals().at(static_cast<std::size_t>(*interval_)).seconds;
}

// While the automatic pass that a tick started runs, that tick has not ended: later ticks leave the countdown
// and the status line to it. A fault of the interval lookup is shown once, not at every tick, until the lookup
// has worked again.
void Form1::Timer1_Timer() {
    Guarded(procedure::kTimer1, [this] {
        if (!autoSyncOn_) {
            SetStatus("Auto Sync is Off.");
            return;
        }
        if (passKind_ == PassKind::Automatic) {
            return;
        }
        const TrapStep& lookup = StepOf(Form1Step::LookUpInterval);
        if (RunTrapped(tickReports_, lookup, [this] { intervalSeconds_ = SelectedIntervalSeconds(); })) {
            tickReports_.Succeeded(lookup.line);
        }
        ++elapsedSeconds_;
        view_.SetProgressMaximum(intervalSeconds_);
        if (elapsedSeconds_ <= intervalSeconds_) {
            view_.SetProgressValue(elapsedSeconds_);
        }
        // Never a negative time left, even while no interval has ever been selected. Folders inside each other
        // keep saying so instead.
        SetStatus(pairRefusal_.empty()
                      ? std::string(kNextSync) + FormatSeconds(std::max(0, intervalSeconds_ - elapsedSeconds_))
                      : pairRefusal_);
        if (elapsedSeconds_ == intervalSeconds_) {
            StartAutomaticPass();
        }
    });
}

// A due pass while a manual one runs is skipped: the manual pass is bringing the folders in step already, and
// the countdown starts again. So it does when the folders lie inside each other. One due while a change pass runs
// runs after it: a change pass reads only what changed, and the countdown's pass is there for what no watch saw.
void Form1::StartAutomaticPass() {
    if (passKind_ == PassKind::Change) {
        timedRequested_ = true;
        return;
    }
    if (passKind_ != PassKind::None || RefusePair()) {
        elapsedSeconds_ = 0;
        return;
    }
    savedStatusCaption_ = status_;
    SetStatus("Sync is running in background...");
    StartPass(PassKind::Automatic, Form1Step::StartAutomaticPass);
}

// Switching off freezes the status line, the bar and the count as they stand; switching on resumes the count.
void Form1::PushButton13_Click() {
    Guarded(procedure::kPushButton13, [&] {
        if (!autoSyncOn_) {
            SetAutoSync(true);
            Trap(Form1Step::SaveAutoSyncOn, [this] { SaveOnOff(settings_, "StartStopState", true); });
        } else {
            SetAutoSync(false);
            Trap(Form1Step::SaveAutoSyncOff, [this] { SaveOnOff(settings_, "StartStopState", false); });
        }
    });
}

// A click while a pass runs is kept and its pass starts as soon as the running one has ended (several such
// clicks make one pass).
void Form1::PushButton12_Click() {
    Guarded(procedure::kPushButton12, [this] {
        if (passKind_ != PassKind::None) {
            manualRequested_ = true;
            return;
        }
        StartManualPass();
    });
}

// A click during the pause after a manual pass keeps the caption that pass had kept.
void Form1::StartManualPass() {
    if (RefusePair()) {
        return;
    }
    if (manualHoldRunning_) {
        manualHold_.Stop();
        manualHoldRunning_ = false;
    } else {
        manualKeptCaption_ = status_;
    }
    SetStatus("Syncing up files...");
    SetBusy(true);
    StartPass(PassKind::Manual, Form1Step::StartManualPass);
}

void Form1::StartPass(PassKind kind, Form1Step step) {
    // A handler that was waiting in a message box when the window closed goes on afterwards: no pass then.
    if (unloaded_) {
        return;
    }
    passKind_ = kind;
    windowPass_.Prepare();
    const bool started = Trap(step, [&] {
        // While the pair is watched every pass goes through the watch, which is kept until the pass returns; only
        // a change pass reads no more than what changed. While the watch is being set up, passes run without it.
        PassFunction pass = watch_ ? watch_->PassStarting(kind != PassKind::Change) : nullptr;
        passWatch_ = pass ? watch_ : nullptr;
        if (!pass) {
            pass = pass_;
        }
        // A pair that cannot run still makes a pass that does nothing: the status line and the pause go as ever.
        runner_.Start(
            [this, step, job = PassJob(), pass = std::move(pass), kept = passWatch_] {
                if (job) {
                    RunTrapped(windowPass_, StepOf(step), [&] { pass(*job, windowPass_, windowPass_); });
                }
            },
            [this] { PassFinished(); });
    });
    if (!started) {
        PassFinished();
    }
}

// A pass runs between exactly one folder in each list, the folders as the lists hold them now.
std::optional<SyncJob> Form1::PassJob() const {
    if (folder1_.size() != 1 || folder2_.size() != 1) {
        return std::nullopt;
    }
    return SyncJob{folder1_.front().folder, folder2_.front().folder,
                   SyncOptions{.keepReplaced = KeepReplacedSetting()}};
}

void Form1::PassFinished() {
    EndWatchedPass();
    if (passKind_ == PassKind::Change) {
        ChangePassFinished();
        return;
    }
    const bool automatic = passKind_ == PassKind::Automatic;
    const std::string_view label = automatic ? procedure::kTimer1 : procedure::kPushButton12;
    Guarded(label, [this] { TellPassFailures(); });
    if (automatic) {
        Guarded(label, [this] { AutomaticPassFinished(); });
        return;
    }
    passKind_ = PassKind::None;
    Guarded(label, [this] {
        ManualPassFinished();
        if (manualRequested_) {
            manualRequested_ = false;
            StartManualPass();
        }
    });
}

// A change pass leaves the countdown and its status line as they are; what it could not do is told as ever. A
// pass asked for meanwhile runs now.
void Form1::ChangePassFinished() {
    passKind_ = PassKind::None;
    Guarded(procedure::kChangeWatch, [this] {
        TellPassFailures();
        if (manualRequested_) {
            manualRequested_ = false;
            StartManualPass();
        } else if (std::exchange(timedRequested_, false)) {
            StartAutomaticPass();
        }
    });
}

// The completion text stands until the events waiting now have run; then the countdown text comes back. It says
// how much the pass could not do; the failure note keeps saying so.
void Form1::AutomaticPassFinished() {
    const std::string failures = lastFailures_.Summary();
    SetStatus("Auto Sync Complete at " + passEndedAt_ + (failures.empty() ? "" : ", " + failures));
    poster_.Post([this] { Guarded(procedure::kTimer1, [this] { EndAutomaticPass(); }); });
}

void Form1::EndAutomaticPass() {
    SetStatus(savedStatusCaption_);
    elapsedSeconds_ = 0;
    passKind_ = PassKind::None;
    if (manualRequested_) {
        manualRequested_ = false;
        StartManualPass();
    }
}

void Form1::ManualPassFinished() {
    SetBusy(false);
    view_.SetProgressValue(0);
    view_.SetProgressText(std::string(kProgressBar));
    manualHold_.Start(kManualHoldMilliseconds);
    manualHoldRunning_ = true;
}

// An automatic pass that a tick started during the pause keeps "Sync is running in background..." until it
// ends, and then puts back the countdown text it saved itself.
void Form1::ManualHold_Timer() {
    Guarded(procedure::kPushButton12, [this] {
        manualHold_.Stop();
        manualHoldRunning_ = false;
        if (passKind_ != PassKind::Automatic) {
            SetStatus(manualKeptCaption_);
        }
    });
}

// A running pass stops before its next file (no file is left half-written) and is waited for, up to limit; no
// tick or pause outlives the window, and the pass's end is never handled. Without a limit it waits for good.
bool Form1::StopPass(std::optional<std::chrono::milliseconds> limit) {
    timer1_.Stop();
    manualHold_.Stop();
    manualHoldRunning_ = false;
    windowPass_.RequestStop();
    bool stopped = true;
    if (limit) {
        stopped = runner_.WaitFor(*limit);
    } else {
        runner_.Join();
    }
    passKind_ = PassKind::None;
    manualRequested_ = false;
    timedRequested_ = false;
    watch_.reset(); // a pass still running keeps its own
    if (stopped) {
        passWatch_.reset();
    }
    return stopped;
}

// A click, or a change of the selection by keyboard, takes the selected interval and restarts the countdown.
// The list always keeps one interval: a selection taken away (a Ctrl+click on the selected entry) is put back.
// Only a stored index that is no interval leaves none, and the next tick reports it.
void Form1::ListView3_Click(std::optional<int> selected) {
    Guarded(procedure::kListView3Click, [&] {
        if (!selected) {
            if (interval_) {
                view_.SelectEntry(FormList::ListView3, *interval_);
            }
            return;
        }
        interval_ = selected;
        Trap(Form1Step::SaveInterval, [&] { SaveSetting(settings_, "OftenIndex", std::to_string(*selected + 1)); });
        intervalSeconds_ = SelectedIntervalSeconds();
        elapsedSeconds_ = 0;
    });
}

} // namespace quillmere
