// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/cSysTray.h"

#include "tray/TrayMessages.h"

#include <stdexcept>

namespace quillmere::tray {

namespace {
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

bool IsIconPicture(const QIcon& icon) {
    return !icon.isNull() && !icon.availableSizes().isEmpty();
}
} // namespace

QString FieldText(const QString& text, int maxChars) {
    QString cut = text.left(text.indexOf(QChar(u'\0')));
    if (cut.size() > maxChars)
        cut.truncate(cut.at(maxChars - 1).isHighSurrogate() ? maxChars - 1 : maxChars);
    return cut;
}

cSysTray::cSysTray(std::unique_ptr<TrayBackend> backend, bool live, QObject* parent)
    : QObject(parent), backend_(std::move(backend)), live_(live), balloonTimer_(new QTimer(this)) {
    balloonTimer_->setSingleShot(true);
    connect(balloonTimer_, &QTimer::timeout, this, &cSysTray::TakeBalloonDown);
}

// The host is going away too, so the icon is taken down without a change notice.
cSysTray::~cSysTray() {
    TakeIconDown();
}

void cSysTray::setInTray(bool show) {
    if (show == inTray_)
        return;
    if (show && live_) {
        backend_->InstallHook(*this);
        AddTrayIcon();
        iconAdded_ = true;
    } else if (!show) {
        TakeIconDown();
    }
    inTray_ = show;
    emit InTrayChanged();
}

void cSysTray::setTrayIcon(const QIcon& icon) {
    if (!IsIconPicture(icon))
        return;
    if (iconAdded_)
        backend_->ModifyIcon(icon);
    trayIcon_ = icon;
    emit TrayIconChanged();
}

void cSysTray::setTrayTip(const QString& tip) {
    if (iconAdded_)
        backend_->ModifyTip(FieldText(tip, kTipChars));
    trayTip_ = tip;
    emit TrayTipChanged();
}

void cSysTray::AddTrayIcon() {
    backend_->AddIcon(trayIcon_, FieldText(trayTip_, kTipChars));
}

void cSysTray::TakeIconDown() {
    if (!iconAdded_)
        return;
    backend_->DeleteIcon();
    backend_->RemoveHook(*this);
    iconAdded_ = false;
}

void cSysTray::ShowBalloon(const QString& tip, const QString& sTitle, int showTimer, bool showOnce) {
    if (showOnce && balloonShowCount_ >= 1)
        return;
    if (showTimer > kMaxShowTimerSeconds)
        throw std::overflow_error("Overflow: a balloon cannot stay up for " + std::to_string(showTimer) +
                                  " seconds (at most " + std::to_string(kMaxShowTimerSeconds) + ")");
    const int seconds = showTimer > 0 ? showTimer : 0;
    backend_->ShowBalloon(FieldText(sTitle, kBalloonTitleChars), FieldText(tip, kBalloonTextChars), seconds * 1000);
    balloonVisible_ = true;
    if (showOnce)
        ++balloonShowCount_;
    // The wait for the balloon's end runs on a timer, so the window stays responsive meanwhile; a new balloon
    // replaces the old one and with it the old one's timer.
    if (seconds > 0)
        balloonTimer_->start(seconds * 1000);
    else
        balloonTimer_->stop();
}

void cSysTray::TakeBalloonDown() {
    // The balloon stays "visible" until the shell reports it closed, as the take-down itself is not a report.
    if (balloonVisible_)
        backend_->HideBalloon();
}

void cSysTray::HandleTrayMessage(int message, int id) {
    switch (message) {
    case messages::kMouseMove:
        emit MouseMove(id);
        break;
    case messages::kLeftButtonDown:
        emit MouseDown(kLeftButton, id);
        break;
    case messages::kLeftButtonUp:
        emit MouseUp(kLeftButton, id);
        break;
    case messages::kLeftButtonDoubleClick:
        emit MouseDblClick(kLeftButton, id);
        break;
    case messages::kRightButtonDown:
        emit MouseDown(kRightButton, id);
        break;
    case messages::kRightButtonUp:
        emit MouseUp(kRightButton, id);
        break;
    case messages::kRightButtonDoubleClick:
        emit MouseDblClick(kRightButton, id);
        break;
    case messages::kBalloonHide:
    case messages::kBalloonTimeout:
    case messages::kBalloonUserClick:
        balloonVisible_ = false;
        balloonTimer_->stop();
        break;
    default:
        break; // middle button, balloon shown and everything else
    }
}

} // namespace quillmere::tray
