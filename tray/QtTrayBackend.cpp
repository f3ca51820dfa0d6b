// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/QtTrayBackend.h"

#include "tray/mSysTray.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace quillmere::tray {

void QtTrayBackend::InstallHook(cSysTray& control) {
    mSysTray::Install(icon_, control);
}

void QtTrayBackend::RemoveHook(cSysTray& control) {
    mSysTray::Remove(icon_, control);
}

void QtTrayBackend::AddIcon(const QIcon& icon, const QString& tip) {
    if (!icon.isNull())
        icon_.setIcon(icon);
    icon_.setToolTip(tip);
    icon_.show();
}

void QtTrayBackend::ModifyIcon(const QIcon& icon) {
    icon_.setIcon(icon);
}

void QtTrayBackend::ModifyTip(const QString& tip) {
    icon_.setToolTip(tip);
}

void QtTrayBackend::DeleteIcon() {
    icon_.hide();
}

void QtTrayBackend::ShowBalloon(const QString& title, const QString& text, int timeoutMilliseconds) {
    icon_.showMessage(title, text, QSystemTrayIcon::NoIcon, timeoutMilliseconds);
}

// Qt's own balloon closes when asked to show nothing. A desktop notification service would show an empty notice
// instead, and ends its notices by itself, so the request goes only to a balloon of Qt's that is up.
void QtTrayBackend::HideBalloon() {
    if (QtBalloonShown())
        icon_.showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
}

bool QtBalloonShown() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](const QWidget* window) { return window->isVisible() && window->inherits("QBalloonTip"); });
}

} // namespace quillmere::tray
