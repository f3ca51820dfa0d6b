// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/ErrorReport.h"

#include "ui/main/MessageBoxes.h"

#include <QScopeGuard>
#include <QString>

namespace quillmere {

void ErrorReport::Report(const TrappedError& error) {
    waiting_.push_back(error);
    if (showing_) {
        return;
    }
    showing_ = true;
    const auto shown = qScopeGuard([this] { showing_ = false; });
    while (!waiting_.empty()) {
        const TrappedError next = std::move(waiting_.front());
        waiting_.pop_front();
        boxes_.Warn(owner_, QStringLiteral("Application Error"), QString::fromStdString(FormatErrorReport(next)));
    }
}

} // namespace quillmere
