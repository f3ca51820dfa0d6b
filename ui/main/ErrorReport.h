// The standard error report as the window shows it: a box with the exclamation icon, an OK button and the title
// "Application Error" around the report text of FormatErrorReport.
#pragma once

#include "engine/ErrorTrap.h"

class QWidget;

namespace quillmere {

class MessageBoxes;

class ErrorReport : public ErrorSink {
public:
    ErrorReport(MessageBoxes& boxes, QWidget* owner) : boxes_(boxes), owner_(owner) {}
    void Report(const TrappedError& error) override;

private:
    MessageBoxes& boxes_;
    QWidget* owner_;
};

} // namespace quillmere
