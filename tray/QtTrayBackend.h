// SPDX-License-Identifier: GPL-3.0-or-later
// The notification area as Qt offers it: one QSystemTrayIcon, hooked to the control through mSysTray.
#pragma once

#include "tray/TrayBackend.h"

#include <QSystemTrayIcon>

namespace quillmere::tray {

class QtTrayBackend final : public TrayBackend {
public:
    bool Available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    void InstallHook(cSysTray& control) override;
    void RemoveHook(cSysTray& control) override;
    void AddIcon(const QIcon& icon, const QString& tip) override;
    void ModifyIcon(const QIcon& icon) override;
    void ModifyTip(const QString& tip) override;
    void DeleteIcon() override;
    void ShowBalloon(const QString& title, const QString& text, int timeoutMilliseconds) override;
    void HideBalloon() override;

    // Where the icon's signals come from: tests emit activated() on it.
    QSystemTrayIcon& Icon() { return icon_; }

private:
    QSystemTrayIcon icon_;
};

// Whether Qt's own balloon (drawn by Qt beside an icon in the X tray) is on screen.
bool QtBalloonShown();

} // namespace quillmere::tray
