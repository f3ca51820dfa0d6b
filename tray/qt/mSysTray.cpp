// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/mSysTray.h"

#include "tray/TrayMessages.h"
#include "tray/cSysTray.h"

namespace quillmere::tray::mSysTray {

std::vector<int> MessagesFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return {messages::kLeftButtonDown, messages::kLeftButtonUp};
    case QSystemTrayIcon::Context:
        return {messages::kRightButtonDown, messages::kRightButtonUp};
    case QSystemTrayIcon::DoubleClick:
        // Qt reports the first click of a double click as Trigger already, so the window came back on that
        // release; the double click itself ends with the second release.
        return {messages::kLeftButtonDoubleClick, messages::kLeftButtonUp};
    case QSystemTrayIcon::MiddleClick:
        return {messages::kMiddleButtonDown, messages::kMiddleButtonUp};
    case QSystemTrayIcon::Unknown:
        break;
    }
    return {};
}

void Install(QSystemTrayIcon& icon, cSysTray& control, QObject& receiver) {
    // The receiver lives on the UI thread, so the calls run there, queued in order if a signal ever came from
    // another thread.
    QObject::connect(&icon, &QSystemTrayIcon::activated, &receiver, [&control](QSystemTrayIcon::ActivationReason why) {
        for (int message : MessagesFor(why)) {
            control.HandleTrayMessage(message, control.IconId());
        }
    });
    // Qt reports a click on its balloon; a balloon that Qt closes by itself goes unreported.
    QObject::connect(&icon, &QSystemTrayIcon::messageClicked, &receiver,
                     [&control] { control.HandleTrayMessage(messages::kBalloonUserClick, control.IconId()); });
}

} // namespace quillmere::tray::mSysTray
