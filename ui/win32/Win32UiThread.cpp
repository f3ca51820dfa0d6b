// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/Win32UiThread.h"

#include "ui/win32/WindowClass.h"

namespace quillmere::win32 {

namespace {
constexpr wchar_t kWindowClass[] = L"QuillmerePostedWork";
constexpr UINT kRunPosted = WM_APP + 1;
} // namespace

Win32UiThread::Win32UiThread() {
    static const bool registered = [] {
        const WNDCLASSEXW windowClass = ProgramWindowClass(kWindowClass, &WindowProc);
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    window_ =
        CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

// Work still waiting never runs.
Win32UiThread::~Win32UiThread() {
    DestroyWindow(window_);
}

void Win32UiThread::Post(std::function<void()> work) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(work));
    }
    PostMessageW(window_, kRunPosted, 0, 0);
}

void Win32UiThread::RunNext() {
    std::function<void()> work;
    {
        const std::lock_guard lock(mutex_);
        if (waiting_.empty())
            return;
        work = std::move(waiting_.front());
        waiting_.pop_front();
    }
    work();
}

void Win32UiThread::ProcessPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK Win32UiThread::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunPosted) {
        if (auto* thread = reinterpret_cast<Win32UiThread*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            thread->RunNext();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace quillmere::win32
