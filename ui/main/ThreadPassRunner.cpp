// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ThreadPassRunner.h"

namespace quillmere {

ThreadPassRunner::~ThreadPassRunner() {
    Join();
}

void ThreadPassRunner::Start(std::function<void()> work) {
    Join(); // a thread object still holding a finished run must not be overwritten
    const std::uint64_t run = ++run_;
    thread_ = std::thread([this, run, work = std::move(work)] {
        work();
        // Queued to this object's thread; dropped by Qt if the runner is gone by then.
        QMetaObject::invokeMethod(
            this, [this, run] { WorkReturned(run); }, Qt::QueuedConnection);
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
    emit Finished();
}

} // namespace quillmere
