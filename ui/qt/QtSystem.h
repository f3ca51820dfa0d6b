// SPDX-License-Identifier: GPL-3.0-or-later
// The services of the desktop the window logic takes as plain functions.
#pragma once

#include <QString>

#include <string>

class QDateTime;
class QLocale;

namespace quillmere::qt {

// A date and time in the locale's general date format: its short date and its long time, seconds included.
QString GeneralDateText(const QDateTime& when, const QLocale& locale);

// The current local date and time in the system's general date format, as the status line shows it.
std::string LocalTimeText();

// Hands a web address to the desktop's opener, normally the default browser; nothing waits for it.
void OpenUrl(const std::string& address);

} // namespace quillmere::qt
