// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/Timer.h"

#include <windows.h>

#include <functional>

namespace quillmere::win32 {

// A timer of a window (SetTimer), as the window logic starts and stops it: the window's procedure calls Elapse
// for each WM_TIMER of this id.
class Win32Timer final : public Timer {
public:
    Win32Timer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
    ~Win32Timer() override { Stop(); }
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    void Start(int milliseconds) override {
        interval_ = milliseconds;
        active_ = SetTimer(window_, id_, static_cast<UINT>(milliseconds), nullptr) != 0;
    }
    void Stop() override {
        KillTimer(window_, id_);
        active_ = false;
    }
    bool IsActive() const { return active_; }
    int Interval() const { return interval_; }
    UINT_PTR Id() const { return id_; }

    void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
    // What the timer does when it elapses; tests call it to tick without waiting.
    void Elapse() {
        if (handler_)
            handler_();
    }

private:
    HWND window_;
    UINT_PTR id_;
    bool active_ = false;
    int interval_ = 0;
    std::function<void()> handler_;
};

} // namespace quillmere::win32
