#include "tray/QtTrayBackend.h"

#include "tray/mSysTray.h"

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

// Qt's own balloon (the X11 tray) closes the shown one and shows nothing when title and text are both empty.
void QtTrayBackend::HideBalloon() {
    icon_.showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
}

} // namespace quillmere::tray
