// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ThreadPassRunner.h"

namespace quillmere {

ThreadPassRunner::~ThreadPassRunner() {
    Join();
}

void ThreadPassRunner::Start(std::function<void()> work, std::function<void()> finished) {
    Join(); // a thread object still holding a finished run must not be overwritten
    const std::uint64_t run = ++run_;
    finished_ = std::move(finished);
    workReturned_ = false;
    thread_ = std::thread([this, run, work = std::move(work)] {
        work();
        {
            const std::lock_guard lock(mutex_);
            workReturned_ = true;
        }
        returned_.notify_all();
        poster_.Post([this, run] { WorkReturned(run); });
    });
}

void ThreadPassRunner::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

// The thread of work that has not returned in time stays running; finished_ goes, so that its end is never
// handled, and WorkReturned finds nothing to do.
bool ThreadPassRunner::WaitFor(std::chrono::milliseconds limit) {
    finished_ = nullptr;
    {
        std::unique_lock lock(mutex_);
        if (!returned_.wait_for(lock, limit, [this] { return workReturned_; })) {
            return false;
        }
    }
    Join();
    return true;
}

void ThreadPassRunner::WorkReturned(std::uint64_t run) {
    if (run != run_ || !thread_.joinable()) {
        return; // already joined by Join
    }
    thread_.join();
    // The handler may start the next run, which sets finished_ anew.
    const std::function<void()> finished = std::exchange(finished_, nullptr);
    if (finished) {
        finished();
    }
}

} // namespace quillmere
