// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the terminal what a pass does: each copy, and each replaced file kept in the Trash, on standard output;
// each copy not made, each folder not read, each replaced file not kept, a pass not run and each trapped error on
// standard error. Names are printed with their control characters escaped. Each line is flushed as it is
// written, so that a log of a run killed halfway holds every copy it made but the one in hand.
#pragma once

#include "engine/modSync.h"

#include <atomic>
#include <cstdio>

namespace quillmere::cli {

class ConsoleObserver final : public SyncObserver {
public:
    // The pass stops between files once stopSignal holds a signal's number (set by a signal handler).
    ConsoleObserver(const std::atomic<int>& stopSignal, std::FILE* out, std::FILE* err)
        : stopSignal_(stopSignal), out_(out), err_(err) {}

    bool StopRequested() const override { return stopSignal_.load(std::memory_order_relaxed) != 0; }
    void Copied(const std::string& source, const std::string& destination) override;
    void KeptInTrash(const std::string& destination) override;
    void NotKeptInTrash(const std::string& destination, const std::string& cause) override;
    void NotCopied(const std::string& source, const std::string& destination,
                   const platform::CopyOutcome& outcome) override;
    void NotRead(const std::string& path, const std::string& cause) override;
    void NotRun(const std::string& cause) override;
    void Report(const TrappedError& error) override;

    // Everything printed on standard error so far, over all passes: what makes the exit status 1.
    int ProblemCount() const { return problemCount_; }

private:
    static void Print(std::FILE* stream, const std::string& line);

    const std::atomic<int>& stopSignal_;
    std::FILE* out_;
    std::FILE* err_;
    int problemCount_ = 0;
};

} // namespace quillmere::cli
