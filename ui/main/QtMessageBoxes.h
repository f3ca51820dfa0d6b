// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/MessageBoxes.h"

namespace quillmere {

// Modal Qt message boxes, shown until the user presses OK.
class QtMessageBoxes : public MessageBoxes {
public:
    void Inform(QWidget* owner, const QString& title, const QString& text) override;
    void Warn(QWidget* owner, const QString& title, const QString& text) override;
};

} // namespace quillmere
