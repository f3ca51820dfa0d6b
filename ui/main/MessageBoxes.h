// SPDX-License-Identifier: GPL-3.0-or-later
// The window's message boxes, modal over the window; tests put a recorder in their place so that no box blocks
// them. Texts are UTF-8 and break their lines with "\r\n" or "\r".
#pragma once

#include <string>

namespace quillmere {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A notice with an OK button and no icon.
    virtual void Inform(const std::string& title, const std::string& text) = 0;
    // A warning with the exclamation icon and an OK button.
    virtual void Warn(const std::string& title, const std::string& text) = 0;
};

} // namespace quillmere
