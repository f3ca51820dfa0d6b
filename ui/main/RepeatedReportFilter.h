// SPDX-License-Identifier: GPL-3.0-or-later
// Lets a report through once and holds back the same report until its statement has succeeded again, so that a
// fault met on every timer tick shows one box, not one a second.
#pragma once

#include "base/ErrorTrap.h"

#include <vector>

namespace quillmere {

class RepeatedReportFilter : public ErrorSink {
public:
    explicit RepeatedReportFilter(ErrorSink& next) : next_(next) {}
    void Report(const TrappedError& error) override;
    // The statement at line ran without error: its next failure is news again.
    void Succeeded(int line);

private:
    ErrorSink& next_;
    std::vector<TrappedError> holding_;
};

} // namespace quillmere
