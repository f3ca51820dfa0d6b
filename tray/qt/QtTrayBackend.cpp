// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/QtTrayBackend.h"

#include "tray/qt/ProgramIcons.h"
#include "tray/qt/mSysTray.h"

namespace quillmere::tray {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

void RunOnce(QTimer& timer, const std::function<void()>& elapsed) {
    QObject::connect(&timer, &QTimer::timeout, [&elapsed] {
        if (elapsed) {
            elapsed();
        }
    });
    timer.setSingleShot(true);
}

} // namespace

// Without a StatusNotifier host now, the X tray is set up at once: Qt then settles on it before a host comes.
QtTrayBackend::QtTrayBackend(QDBusConnection bus) : item_(bus, activity_), notice_(bus, activity_), xembed_(activity_) {
    RunOnce(balloonTimer_, balloonElapsed_);
    RunOnce(areaTimer_, areaElapsed_);
    item_.SetHostHandler([this] {
        PlaceIcon();
        TrayChanged();
    });
    xembed_.WatchAvailability([this] { TrayChanged(); });
    if (XEmbedAllowed()) {
        xembed_.Available();
    }
}

QtTrayBackend::~QtTrayBackend() = default;

bool QtTrayBackend::Available() const {
    return OnStatusNotifierTray() || (XEmbedAllowed() && xembed_.Available());
}

void QtTrayBackend::TrayChanged() {
    if (changed_) {
        changed_();
    }
}

bool QtTrayBackend::IsIcon(Picture picture) const {
    const QIcon icon = PictureIcon(picture);
    return !icon.isNull() && !icon.availableSizes().isEmpty();
}

void QtTrayBackend::InstallHook(cSysTray& control) {
    hook_ = std::make_unique<QObject>();
    mSysTray::Install(activity_, control, *hook_);
}

void QtTrayBackend::RemoveHook(cSysTray& /*control*/) {
    hook_.reset();
}

void QtTrayBackend::PlaceIcon() {
    if (!added_) {
        item_.Hide();
        xembed_.Hide();
        return;
    }
    item_.Show(); // listed by any watcher, shown by the host once there is one
    if (OnStatusNotifierTray()) {
        xembed_.Hide();
    } else if (XEmbedAllowed()) {
        xembed_.Show(icon_, tip_);
    }
}

void QtTrayBackend::AddIcon(Picture icon, const std::string& tip) {
    if (icon != Picture::None) {
        icon_ = PictureIcon(icon);
        item_.SetIcon(icon_);
    }
    tip_ = FromUtf8(tip);
    item_.SetToolTip(tip_);
    added_ = true;
    PlaceIcon();
}

void QtTrayBackend::ModifyIcon(Picture icon) {
    icon_ = PictureIcon(icon);
    item_.SetIcon(icon_);
    if (XEmbedAllowed()) {
        xembed_.SetIcon(icon_);
    }
}

void QtTrayBackend::ModifyTip(const std::string& tip) {
    tip_ = FromUtf8(tip);
    item_.SetToolTip(tip_);
    if (XEmbedAllowed()) {
        xembed_.SetToolTip(tip_);
    }
}

void QtTrayBackend::DeleteIcon() {
    added_ = false;
    PlaceIcon();
}

// A StatusNotifier tray has no balloons: the notice goes out as a desktop notification.
void QtTrayBackend::ShowBalloon(const std::string& title, const std::string& text, int timeoutMilliseconds) {
    if (OnStatusNotifierTray()) {
        notice_.Show(FromUtf8(title), FromUtf8(text), timeoutMilliseconds);
    } else if (XEmbedAllowed()) {
        xembed_.ShowBalloon(FromUtf8(title), FromUtf8(text), timeoutMilliseconds);
    }
}

// A notification service ends its notices by itself too; asking changes nothing where the notice has gone.
void QtTrayBackend::HideBalloon() {
    notice_.Close();
    if (XEmbedAllowed()) {
        xembed_.HideBalloon();
    }
}

void QtTrayBackend::StartBalloonTimer(int milliseconds, std::function<void()> elapsed) {
    balloonElapsed_ = std::move(elapsed);
    balloonTimer_.start(milliseconds);
}

void QtTrayBackend::StopBalloonTimer() {
    balloonTimer_.stop();
}

void QtTrayBackend::StartAreaTimer(int milliseconds, std::function<void()> elapsed) {
    areaElapsed_ = std::move(elapsed);
    areaTimer_.start(milliseconds);
}

} // namespace quillmere::tray
