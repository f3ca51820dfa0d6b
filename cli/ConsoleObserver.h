// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the terminal what a pass does: each copy on standard output, each trapped error on standard error.
#pragma once

#include "engine/modSync.h"

#include <atomic>
#include <cstdio>

namespace quillmere::cli {

class ConsoleObserver final : public SyncObserver {
public:
    // The pass stops between files once stopFlag is set (by a signal handler).
    ConsoleObserver(const std::atomic<bool>& stopFlag, std::FILE* out, std::FILE* err)
        : stopFlag_(stopFlag), out_(out), err_(err) {}

    bool StopRequested() const override { return stopFlag_.load(std::memory_order_relaxed); }
    void Copied(const std::string& source, const std::string& destination) override;
    void Report(const TrappedError& error) override;

    int ErrorCount() const { return errorCount_; }

private:
    const std::atomic<bool>& stopFlag_;
    std::FILE* out_;
    std::FILE* err_;
    int errorCount_ = 0;
};

} // namespace quillmere::cli
