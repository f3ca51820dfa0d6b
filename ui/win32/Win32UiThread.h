// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/UiThread.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace quillmere::win32 {

// The thread that made this object and runs its message loop: posted work waits in a queue, and a message to a
// message-only window of its own runs it there, in the order it was posted and among the other messages.
class Win32UiThread final : public UiThread {
public:
    Win32UiThread();
    ~Win32UiThread() override;
    Win32UiThread(const Win32UiThread&) = delete;
    Win32UiThread& operator=(const Win32UiThread&) = delete;

    void Post(std::function<void()> work) override;
    // Dispatches the messages waiting now; a request to quit is left for the message loop.
    void ProcessPendingEvents() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunNext();

    HWND window_ = nullptr;
    std::mutex mutex_;
    std::deque<std::function<void()>> waiting_;
};

} // namespace quillmere::win32
