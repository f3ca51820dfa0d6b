// SPDX-License-Identifier: GPL-3.0-or-later
// The list of what the last pass could not do, in a window of its own beside the main one: plain lines to read and
// copy from, never to edit. It holds nothing up; closing it only hides it, and showing it again shows new lines.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quillmere::win32 {

class FailureListWindow {
public:
    // Owned by owner, so it stays above it, goes with it to the tray and is destroyed with it.
    explicit FailureListWindow(HWND owner);
    FailureListWindow(const FailureListWindow&) = delete;
    FailureListWindow& operator=(const FailureListWindow&) = delete;

    // Texts are UTF-8; one line each, never wrapped, so one line is one record.
    void Show(const std::string& title, const std::vector<std::string>& lines);
    void SetFont(HFONT font);

    HWND Handle() const { return window_; }
    HWND Lines() const { return lines_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_;
    HWND lines_;
};

} // namespace quillmere::win32
