// SPDX-License-Identifier: GPL-3.0-or-later
// The window's message boxes; tests put a recorder in their place so that no modal box blocks them.
#pragma once

#include <QString>

class QWidget;

namespace quillmere {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A notice with an OK button and no icon.
    virtual void Inform(QWidget* owner, const QString& title, const QString& text) = 0;
    // A warning with the exclamation icon and an OK button.
    virtual void Warn(QWidget* owner, const QString& title, const QString& text) = 0;
};

} // namespace quillmere
