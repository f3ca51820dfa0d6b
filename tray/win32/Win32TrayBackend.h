// SPDX-License-Identifier: GPL-3.0-or-later
// The notification area as the Windows shell offers it: Shell_NotifyIconW on behalf of a hidden window of the
// backend's own, which mSysTray hooks for the control. When Explorer starts again (after a crash or a restart)
// it announces "TaskbarCreated" and the icon is put back: without it a window hidden in the tray could never be
// brought back. The same announcement tells a start in the tray that the notification area has come.
#pragma once

#include "tray/TrayBackend.h"

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>

namespace quillmere::tray {

class Win32TrayBackend final : public TrayBackend {
public:
    // The shell's call; tests record the records instead.
    using ShellNotify = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& record)>;

    explicit Win32TrayBackend(ShellNotify notify = &CallShell);
    ~Win32TrayBackend() override;
    Win32TrayBackend(const Win32TrayBackend&) = delete;
    Win32TrayBackend& operator=(const Win32TrayBackend&) = delete;

    // The window every record names as the icon's owner, and where the shell's notifications arrive.
    HWND ControlWindow() const { return window_; }

    bool Available() const override;
    void WatchAvailability(std::function<void()> changed) override;
    bool IsIcon(Picture picture) const override;
    void InstallHook(cSysTray& control) override;
    void RemoveHook(cSysTray& control) override;
    void AddIcon(Picture icon, const std::string& tip) override;
    void ModifyIcon(Picture icon) override;
    void ModifyTip(const std::string& tip) override;
    void DeleteIcon() override;
    void ShowBalloon(const std::string& title, const std::string& text, int timeoutMilliseconds) override;
    void HideBalloon() override;
    void StartBalloonTimer(int milliseconds, std::function<void()> elapsed) override;
    void StopBalloonTimer() override;
    void StartAreaTimer(int milliseconds, std::function<void()> elapsed) override;

    static BOOL CallShell(DWORD message, const NOTIFYICONDATAW& record);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Fields not named by flags stay zero.
    NOTIFYICONDATAW Record(UINT flags) const;
    UINT AddFlags() const;
    void Send(DWORD message, UINT flags);
    void TaskbarCreated();
    void TimerElapsed(UINT_PTR timer);

    ShellNotify notify_;
    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    // What the last add and changes gave, for the add that puts the icon back.
    bool added_ = false;
    Picture icon_ = Picture::None;
    std::wstring tip_;
    std::wstring balloonTitle_;
    std::wstring balloonText_;
    UINT balloonTimeout_ = 0;
    std::function<void()> balloonElapsed_;
    std::function<void()> areaElapsed_;
    std::function<void()> availabilityChanged_;
};

} // namespace quillmere::tray
