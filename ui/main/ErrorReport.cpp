// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ErrorReport.h"

#include "ui/main/MessageBoxes.h"

namespace quillmere {

void ErrorReport::Report(const TrappedError& error) {
    waiting_.push_back(error);
    if (showing_) {
        return;
    }
    showing_ = true;
    struct ShownAll {
        bool& showing;
        ~ShownAll() { showing = false; }
    } shownAll{showing_};
    while (!waiting_.empty()) {
        const TrappedError next = std::move(waiting_.front());
        waiting_.pop_front();
        boxes_.Warn("Application Error", FormatErrorReport(next));
    }
}

} // namespace quillmere
