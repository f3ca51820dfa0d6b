// SPDX-License-Identifier: GPL-3.0-or-later
// The standard error report as the window shows it: a box with the exclamation icon, an OK button and the title
// "Application Error" around the report text of FormatErrorReport.
#pragma once

#include "base/ErrorTrap.h"

#include <deque>

namespace quillmere {

class MessageBoxes;

class ErrorReport : public ErrorSink {
public:
    explicit ErrorReport(MessageBoxes& boxes) : boxes_(boxes) {}
    // A box lets further events run, among them the reports a pass keeps sending from its own thread: a report
    // that comes while a box is up is shown when that box has closed. Boxes follow one another instead of
    // opening inside each other, which a pass failing on every file would take deeper than the stack goes.
    void Report(const TrappedError& error) override;

private:
    MessageBoxes& boxes_;
    std::deque<TrappedError> waiting_;
    bool showing_ = false;
};

} // namespace quillmere
