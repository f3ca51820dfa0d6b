// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/PassRunner.h"
#include "ui/main/UiThread.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>

namespace quillmere {

// Runs each pass on a thread of its own and hands its end back to the UI thread.
class ThreadPassRunner final : public PassRunner {
public:
    explicit ThreadPassRunner(UiThread& ui) : poster_(ui) {}
    ~ThreadPassRunner() override;
    bool Running() const override { return thread_.joinable(); }
    void Start(std::function<void()> work, std::function<void()> finished) override;
    void Join() override;
    bool WaitFor(std::chrono::milliseconds limit) override;

private:
    void WorkReturned(std::uint64_t run);

    OwnedPoster poster_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable returned_;
    bool workReturned_ = true; // the running work has returned, or none runs
    std::function<void()> finished_;
    // Tells a late "returned" notice of a joined run from the run that follows it.
    std::uint64_t run_ = 0;
};

} // namespace quillmere
