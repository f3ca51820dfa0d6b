// SPDX-License-Identifier: GPL-3.0-or-later
// What the tray control needs from the notification area: the shell's add / modify / delete calls and the hook
// that routes the icon's notifications back to the control. The program uses QtTrayBackend; tests record calls.
#pragma once

#include <QIcon>
#include <QString>

namespace quillmere::tray {

class cSysTray;

class TrayBackend {
public:
    virtual ~TrayBackend() = default;

    // Whether the desktop has a notification area now to show the icon in.
    virtual bool Available() const = 0;

    // Starts / stops delivering the icon's notifications to control.HandleTrayMessage.
    virtual void InstallHook(cSysTray& control) = 0;
    virtual void RemoveHook(cSysTray& control) = 0;

    // A null icon or an empty tip means the field is left out of the add.
    virtual void AddIcon(const QIcon& icon, const QString& tip) = 0;
    virtual void ModifyIcon(const QIcon& icon) = 0;
    virtual void ModifyTip(const QString& tip) = 0;
    virtual void DeleteIcon() = 0;

    virtual void ShowBalloon(const QString& title, const QString& text, int timeoutMilliseconds) = 0;
    // A balloon change with empty title and text, which takes a shown balloon down.
    virtual void HideBalloon() = 0;
};

} // namespace quillmere::tray
