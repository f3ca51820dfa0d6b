// SPDX-License-Identifier: GPL-3.0-or-later
// What happens on the tray icon and its notice, whichever tray shows them (the X tray's QSystemTrayIcon, or a
// StatusNotifier tray and the desktop's notifications), reported in one place for the hook (mSysTray).
#pragma once

#include <QObject>
#include <QSystemTrayIcon>

namespace quillmere::tray {

class TrayActivity final : public QObject {
    Q_OBJECT

signals:
    // A click on the icon, as Qt names clicks on its tray icons.
    void activated(QSystemTrayIcon::ActivationReason reason);
    // The notice was clicked, or closed without a click (it timed out, the user or the program closed it).
    void messageClicked();
    void messageClosed();
};

} // namespace quillmere::tray
