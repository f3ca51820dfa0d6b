// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/mSysTray.h"

#include "tray/TrayMessages.h"
#include "tray/cSysTray.h"
#include "tray/qt/TrayActivity.h"

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

void Install(TrayActivity& activity, cSysTray& control, QObject& receiver) {
    // The receiver lives on the UI thread, so the calls run there, queued in order if a signal ever came from
    // another thread.
    QObject::connect(&activity, &TrayActivity::activated, &receiver, [&control](QSystemTrayIcon::ActivationReason why) {
        for (int message : MessagesFor(why)) {
            control.HandleTrayMessage(message, control.IconId());
        }
    });
    // Qt reports a click on its balloon, and a desktop notification its end; a balloon that Qt closes by itself
    // goes unreported.
    QObject::connect(&activity, &TrayActivity::messageClicked, &receiver,
                     [&control] { control.HandleTrayMessage(messages::kBalloonUserClick, control.IconId()); });
    QObject::connect(&activity, &TrayActivity::messageClosed, &receiver,
                     [&control] { control.HandleTrayMessage(messages::kBalloonTimeout, control.IconId()); });
}

} // namespace quillmere::tray::mSysTray
