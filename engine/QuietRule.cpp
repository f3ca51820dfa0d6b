// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/QuietRule.h"

#include <algorithm>
#include <utility>

namespace quillmere {

QuietRule::QuietRule(Now now, QuietDelays delays) : now_(std::move(now)), delays_(delays) {}

void QuietRule::ChangeSeen() {
    const auto at = now_();
    if (waiting_) {
        waiting_->last = at;
    } else {
        waiting_ = Waiting{at, at};
    }
}

void QuietRule::PassStarted() {
    running_ = true;
    waiting_.reset();
}

// What changed during the pass is still waiting, with the times it was seen.
void QuietRule::PassEnded() {
    running_ = false;
}

bool QuietRule::PassDue() const {
    const auto due = DueAt();
    return due && now_() >= *due;
}

std::optional<QuietRule::Clock::time_point> QuietRule::DueAt() const {
    if (running_ || !waiting_) {
        return std::nullopt;
    }
    return std::min(waiting_->last + delays_.quiet, waiting_->first + delays_.longest);
}

} // namespace quillmere
