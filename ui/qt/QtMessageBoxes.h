// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/MessageBoxes.h"

class QWidget;

namespace quillmere::qt {

// Modal Qt message boxes over owner, shown until the user presses OK.
class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* owner) : owner_(owner) {}
    void Inform(const std::string& title, const std::string& text) override;
    void Warn(const std::string& title, const std::string& text) override;

private:
    QWidget* owner_;
};

} // namespace quillmere::qt
