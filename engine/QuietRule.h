// SPDX-License-Identifier: GPL-3.0-or-later
// When changes a folder watch saw start a pass: once the folders have been quiet for a second, and at the latest
// ten seconds after the first change no pass has seen yet, so that a file written without a pause (a log) is
// synced every ten seconds rather than never or all the time. A change seen while a pass runs starts one more pass
// after it, by the same rule. Any pass counts, however it was started: it sees every change made before it began.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace quillmere {

struct QuietDelays {
    std::chrono::steady_clock::duration quiet = std::chrono::seconds(1);
    std::chrono::steady_clock::duration longest = std::chrono::seconds(10);
};

class QuietRule {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    explicit QuietRule(Now now, QuietDelays delays = {});

    void ChangeSeen();
    // Call PassStarted before the pass reads either tree, PassEnded after its last write.
    void PassStarted();
    void PassEnded();

    // True when a pass is to start now; never while one runs.
    bool PassDue() const;
    // When a pass falls due if no other change comes (the time to wait for); no value while none waits or a pass
    // runs.
    std::optional<Clock::time_point> DueAt() const;

private:
    // The changes no pass has seen yet.
    struct Waiting {
        Clock::time_point first;
        Clock::time_point last;
    };

    Now now_;
    QuietDelays delays_;
    std::optional<Waiting> waiting_;
    bool running_ = false;
};

} // namespace quillmere
