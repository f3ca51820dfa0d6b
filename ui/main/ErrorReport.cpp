#include "ui/main/ErrorReport.h"

#include "ui/main/MessageBoxes.h"

#include <QString>

namespace quillmere {

void ErrorReport::Report(const TrappedError& error) {
    boxes_.Warn(owner_, QStringLiteral("Application Error"), QString::fromStdString(FormatErrorReport(error)));
}

} // namespace quillmere
