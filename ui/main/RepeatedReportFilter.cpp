// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/RepeatedReportFilter.h"

#include <algorithm>

namespace quillmere {

void RepeatedReportFilter::Report(const TrappedError& error) {
    if (std::ranges::find(holding_, error) != holding_.end()) {
        return;
    }
    holding_.push_back(error);
    next_.Report(error);
}

void RepeatedReportFilter::Succeeded(int line) {
    std::erase_if(holding_, [line](const TrappedError& held) { return held.line == line; });
}

} // namespace quillmere
