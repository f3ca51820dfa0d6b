// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/FailureListWindow.h"

#include "ui/win32/WindowClass.h"
#include "ui/win32/WindowText.h"

namespace quillmere::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"QuillmereFailureList";
constexpr DWORD kLinesStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                              ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL;
// About a hundred characters by twenty lines, at 96 dots per inch.
constexpr int kWidth = 720;
constexpr int kHeight = 360;

} // namespace

FailureListWindow::FailureListWindow(HWND owner) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass = ProgramWindowClass(kWindowClass, &WindowProc);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    const UINT dpi = GetDpiForWindow(owner);
    window_ = CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              MulDiv(kWidth, static_cast<int>(dpi), 96), MulDiv(kHeight, static_cast<int>(dpi), 96),
                              owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    lines_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", kLinesStyle, 0, 0, 0, 0, window_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    RECT client;
    GetClientRect(window_, &client);
    MoveWindow(lines_, 0, 0, client.right, client.bottom, FALSE);
}

void FailureListWindow::Show(const std::string& title, const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i > 0 ? "\r\n" : "") + lines[i];
    SetWindowTextW(window_, WindowText(title).c_str());
    SetWindowTextW(lines_, WindowText(text).c_str());
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
}

void FailureListWindow::SetFont(HFONT font) {
    SendMessageW(lines_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

// The lines fill the window; closing hides it, to be shown again.
LRESULT CALLBACK FailureListWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        MoveWindow(GetWindow(window, GW_CHILD), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace quillmere::win32
