// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/PassRunner.h"

#include <cstdint>
#include <thread>

namespace quillmere {

// Runs each pass on a thread of its own and tells the window's thread when it has returned.
class ThreadPassRunner : public PassRunner {
public:
    using PassRunner::PassRunner;
    ~ThreadPassRunner() override;
    bool Running() const override { return thread_.joinable(); }
    void Start(std::function<void()> work) override;
    void Join() override;

private:
    void WorkReturned(std::uint64_t run);

    std::thread thread_;
    // Tells a late "returned" notice of a joined run from the run that follows it.
    std::uint64_t run_ = 0;
};

} // namespace quillmere
