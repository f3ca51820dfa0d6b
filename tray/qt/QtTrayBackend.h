// SPDX-License-Identifier: GPL-3.0-or-later
// The notification area as Qt offers it: one QSystemTrayIcon, hooked to the control through mSysTray.
#pragma once

#include "tray/TrayBackend.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

namespace quillmere::tray {

class QtTrayBackend final : public TrayBackend {
public:
    QtTrayBackend();

    bool Available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
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

    // Where the icon's signals come from: tests emit activated() on it.
    QSystemTrayIcon& Icon() { return icon_; }
    // The wait for a balloon's end: a test fires it early instead of waiting its seconds out.
    QTimer& BalloonTimer() { return balloonTimer_; }

private:
    QSystemTrayIcon icon_;
    QTimer balloonTimer_;
    std::function<void()> balloonElapsed_;
    // The receiver of the hook's connections while it is installed: deleting it takes exactly those down.
    std::unique_ptr<QObject> hook_;
};

// Whether Qt's own balloon (drawn by Qt beside an icon in the X tray) is on screen.
bool QtBalloonShown();

} // namespace quillmere::tray
