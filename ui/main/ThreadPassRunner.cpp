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
    thread_ = std::thread([this, run, work = std::move(work)] {
        work();
        poster_.Post([this, run] { WorkReturned(run); });
    });
}

void ThreadPassRunner::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
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
