// SPDX-License-Identifier: GPL-3.0-or-later
// The hook between the tray icon and its control: the backend reports activity on the icon and its notice as
// signals (TrayActivity), whichever tray shows them; this module turns each into the shell notifications the
// control's message table expects and hands them to HandleTrayMessage, on the UI thread, in the order they arrived.
#pragma once

#include <QSystemTrayIcon>

#include <vector>

namespace quillmere::tray {
class cSysTray;
class TrayActivity;
} // namespace quillmere::tray

namespace quillmere::tray::mSysTray {

// The notifications one activation stands for, in order: a click is a press and a release, a double click is
// the double-click notice and the release that follows it, a middle click the middle press and release.
std::vector<int> MessagesFor(QSystemTrayIcon::ActivationReason reason);

// Connects activity to control with receiver as the connections' context: deleting receiver removes the hook.
// The control installs it only while its icon is added.
void Install(TrayActivity& activity, cSysTray& control, QObject& receiver);

} // namespace quillmere::tray::mSysTray
