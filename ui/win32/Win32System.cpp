// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/Win32System.h"

#include "platform/windows/WideText.h"
#include "ui/win32/WindowText.h"

#include <windows.h>

#include <shellapi.h>

namespace quillmere::win32 {

namespace {

template <class Format> std::wstring Formatted(Format format) {
    const int length = format(nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    format(text.data(), length);
    text.resize(static_cast<std::size_t>(length - 1)); // without the NUL
    return text;
}

} // namespace

// The time without flags is the user's long time format, seconds included.
std::string GeneralDateText(const SYSTEMTIME& when) {
    const std::wstring date = Formatted([&](wchar_t* text, int size) {
        return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, text, size, nullptr);
    });
    const std::wstring time = Formatted([&](wchar_t* text, int size) {
        return GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, nullptr, text, size);
    });
    return platform::windows::ToUtf8(date + L" " + time).value_or(std::string());
}

std::string LocalTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return GeneralDateText(now);
}

void OpenUrl(const std::string& address) {
    ShellExecuteW(nullptr, L"open", WindowText(address).c_str(), nullptr, nullptr, SW_SHOWMINIMIZED);
}

} // namespace quillmere::win32
