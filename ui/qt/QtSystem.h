// SPDX-License-Identifier: GPL-3.0-or-later
// The services of the desktop the window logic takes as plain functions.
#pragma once

#include <string>

namespace quillmere::qt {

// The current local date and time in the system's short date format, as the status line shows it.
std::string LocalTimeText();

// Hands a web address to the desktop's opener, normally the default browser; nothing waits for it.
void OpenUrl(const std::string& address);

} // namespace quillmere::qt
