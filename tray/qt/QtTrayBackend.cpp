// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/QtTrayBackend.h"

#include "tray/qt/ProgramIcons.h"
#include "tray/qt/mSysTray.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace quillmere::tray {

namespace {
QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

QtTrayBackend::QtTrayBackend() {
    balloonTimer_.setSingleShot(true);
    QObject::connect(&balloonTimer_, &QTimer::timeout, [this] {
        if (balloonElapsed_) {
            balloonElapsed_();
        }
    });
}

bool QtTrayBackend::IsIcon(Picture picture) const {
    const QIcon icon = PictureIcon(picture);
    return !icon.isNull() && !icon.availableSizes().isEmpty();
}

void QtTrayBackend::InstallHook(cSysTray& control) {
    hook_ = std::make_unique<QObject>();
    mSysTray::Install(icon_, control, *hook_);
}

void QtTrayBackend::RemoveHook(cSysTray& /*control*/) {
    hook_.reset();
}

void QtTrayBackend::AddIcon(Picture icon, const std::string& tip) {
    if (icon != Picture::None) {
        icon_.setIcon(PictureIcon(icon));
    }
    icon_.setToolTip(FromUtf8(tip));
    icon_.show();
}

void QtTrayBackend::ModifyIcon(Picture icon) {
    icon_.setIcon(PictureIcon(icon));
}

void QtTrayBackend::ModifyTip(const std::string& tip) {
    icon_.setToolTip(FromUtf8(tip));
}

void QtTrayBackend::DeleteIcon() {
    icon_.hide();
}

void QtTrayBackend::ShowBalloon(const std::string& title, const std::string& text, int timeoutMilliseconds) {
    icon_.showMessage(FromUtf8(title), FromUtf8(text), QSystemTrayIcon::NoIcon, timeoutMilliseconds);
}

// Qt's own balloon closes when asked to show nothing. A desktop notification service would show an empty notice
// instead, and ends its notices by itself, so the request goes only to a balloon of Qt's that is up.
void QtTrayBackend::HideBalloon() {
    if (QtBalloonShown()) {
        icon_.showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
    }
}

void QtTrayBackend::StartBalloonTimer(int milliseconds, std::function<void()> elapsed) {
    balloonElapsed_ = std::move(elapsed);
    balloonTimer_.start(milliseconds);
}

void QtTrayBackend::StopBalloonTimer() {
    balloonTimer_.stop();
}

bool QtBalloonShown() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](const QWidget* window) { return window->isVisible() && window->inherits("QBalloonTip"); });
}

} // namespace quillmere::tray
