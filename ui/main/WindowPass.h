// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/modSync.h"
#include "ui/main/PassFailures.h"
#include "ui/main/UiThread.h"

#include <atomic>
#include <string>
#include <utility>

namespace quillmere {

// What a pass started by the window reads and whom it tells, safe to use from the thread running the pass: the
// direction as the option buttons stand at each name, a stop request from closing the window, and trapped errors
// handed to the UI thread to show. What the pass could not do is gathered on the pass's thread and taken by the UI
// thread once the pass has returned.
class WindowPass : public SyncSettings, public SyncObserver {
public:
    // reports is used on the UI thread only.
    WindowPass(UiThread& ui, ErrorSink& reports) : poster_(ui), reports_(reports) {}

    // On the UI thread, before the pass starts.
    void Prepare() { stop_.store(false); }
    void SetDirection(SyncDirection direction) { direction_.store(direction); }
    // Also drops the reports still on their way to the window.
    void RequestStop() { stop_.store(true); }

    SyncDirection Direction() const override { return direction_.load(); }
    bool StopRequested() const override { return stop_.load(); }
    void Report(const TrappedError& error) override;
    void NotCopied(const std::string& source, const std::string& destination,
                   const platform::CopyOutcome& outcome) override;
    void NotRead(const std::string& path, const std::string& cause) override;
    void NotKeptInTrash(const std::string& destination, const std::string& cause) override;
    void NotRun(const std::string& cause) override;

    // On the UI thread, after the pass has returned: what it could not do. Leaves nothing behind.
    PassFailures TakeFailures() { return std::exchange(failures_, PassFailures()); }

private:
    OwnedPoster poster_;
    ErrorSink& reports_;
    std::atomic<SyncDirection> direction_{SyncDirection::BothWays};
    std::atomic<bool> stop_{false};
    PassFailures failures_; // the pass's thread's alone while the pass runs
};

} // namespace quillmere
