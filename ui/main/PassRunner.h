// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one synchronization pass at a time away from the UI thread, so the window stays live during it.
#pragma once

#include <chrono>
#include <functional>

namespace quillmere {

class PassRunner {
public:
    virtual ~PassRunner() = default;
    // True from Start until finished has run or Join has returned.
    virtual bool Running() const = 0;
    // Called on the UI thread, only while nothing runs. work must not throw; finished runs on the UI thread
    // after work has returned, and sees all that work did.
    virtual void Start(std::function<void()> work, std::function<void()> finished) = 0;
    // Waits for the running work to return; its finished then never runs.
    virtual void Join() = 0;
    // Waits as Join does, but no longer than limit: false when the work is still running then. Its finished
    // never runs either way.
    virtual bool WaitFor(std::chrono::milliseconds limit) = 0;
};

} // namespace quillmere
