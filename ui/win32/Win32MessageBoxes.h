// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/MessageBoxes.h"

#include <windows.h>

namespace quillmere::win32 {

// The system's message box, modal over the window.
class Win32MessageBoxes final : public MessageBoxes {
public:
    explicit Win32MessageBoxes(HWND owner) : owner_(owner) {}
    void Inform(const std::string& title, const std::string& text) override;
    void Warn(const std::string& title, const std::string& text) override;

private:
    HWND owner_;
};

} // namespace quillmere::win32
