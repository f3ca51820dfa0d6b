// SPDX-License-Identifier: GPL-3.0-or-later
// What the window logic asks of the system besides the window: the local time as text and the web browser.
#pragma once

#include <windows.h>

#include <string>

namespace quillmere::win32 {

// A local date and time in the user's short date format and long time format: the system's general date.
std::string GeneralDateText(const SYSTEMTIME& when);

// Now, as GeneralDateText shows it.
std::string LocalTimeText();

// Opens the address with the shell's handler for it (the web browser), minimized; nothing waits for it.
void OpenUrl(const std::string& address);

} // namespace quillmere::win32
