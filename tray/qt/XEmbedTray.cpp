// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/XEmbedTray.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace quillmere::tray {

namespace {
constexpr int kPresenceCheckMilliseconds = 1000;
constexpr int kPlaceCheckMilliseconds = 100;
// How long a balloon waits for the icon's place at most: a tray that really sits in the corner shows it then.
constexpr int kLongestPlaceWaitMilliseconds = 3000;

// The tray gives the icon its place by taking its window in, which moves it from the corner where it was made.
bool Placed(const QRect& icon) {
    return !icon.isEmpty() && icon.topLeft() != QPoint(0, 0);
}
} // namespace

XEmbedTray::XEmbedTray(TrayActivity& activity) : activity_(activity) {
    QObject::connect(&presenceWatch_, &QTimer::timeout, [this] { CheckPresence(); });
    QObject::connect(&placeWait_, &QTimer::timeout, [this] { ShowWaitingBalloon(); });
}

QSystemTrayIcon& XEmbedTray::Icon() {
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated, &activity_, &TrayActivity::activated);
        QObject::connect(icon_.get(), &QSystemTrayIcon::messageClicked, &activity_, &TrayActivity::messageClicked);
        present_ = QSystemTrayIcon::isSystemTrayAvailable();
        presenceWatch_.start(kPresenceCheckMilliseconds);
    }
    return *icon_;
}

bool XEmbedTray::Available() {
    Icon();
    return present_;
}

void XEmbedTray::CheckPresence() {
    const bool present = QSystemTrayIcon::isSystemTrayAvailable();
    if (present != present_) {
        present_ = present;
        if (changed_) {
            changed_();
        }
    }
}

void XEmbedTray::Show(const QIcon& icon, const QString& tip) {
    if (!icon.isNull()) {
        Icon().setIcon(icon);
    }
    Icon().setToolTip(tip);
    Icon().show();
}

void XEmbedTray::Hide() {
    if (icon_) {
        placeWait_.stop();
        icon_->hide();
    }
}

void XEmbedTray::SetIcon(const QIcon& icon) {
    Icon().setIcon(icon);
}

void XEmbedTray::SetToolTip(const QString& tip) {
    Icon().setToolTip(tip);
}

void XEmbedTray::ShowBalloon(const QString& title, const QString& text, int timeoutMilliseconds) {
    waitingTitle_ = title;
    waitingText_ = text;
    waitingUntil_ =
        timeoutMilliseconds > 0 ? QDeadlineTimer(timeoutMilliseconds) : QDeadlineTimer(QDeadlineTimer::Forever);
    placeDeadline_ = QDeadlineTimer(kLongestPlaceWaitMilliseconds);
    ShowWaitingBalloon();
}

// A balloon whose time runs out while it waits is not shown at all.
void XEmbedTray::ShowWaitingBalloon() {
    if (waitingUntil_.hasExpired()) {
        placeWait_.stop();
        return;
    }
    if (!Placed(Icon().geometry()) && !placeDeadline_.hasExpired()) {
        placeWait_.start(kPlaceCheckMilliseconds);
        return;
    }
    placeWait_.stop();
    const qint64 left = waitingUntil_.isForever() ? 0 : std::max<qint64>(1, waitingUntil_.remainingTime());
    Icon().showMessage(waitingTitle_, waitingText_, QSystemTrayIcon::NoIcon, static_cast<int>(left));
}

// Qt's own balloon closes when asked to show nothing; a balloon still waiting for the icon's place is dropped.
void XEmbedTray::HideBalloon() {
    placeWait_.stop();
    if (icon_ && QtBalloonShown()) {
        icon_->showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
    }
}

bool QtBalloonShown() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](const QWidget* window) { return window->isVisible() && window->inherits("QBalloonTip"); });
}

} // namespace quillmere::tray
