// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/cSysTray.h"

#include "fs/Utf8.h"
#include "tray/TrayMessages.h"

#include <stdexcept>
#include <utility>

namespace quillmere::tray {

namespace {
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr char32_t kFirstBeyondBasicPlane = 0x10000;

template <class Event, class... Arguments> void Raise(const Event& event, Arguments... arguments) {
    if (event) {
        event(arguments...);
    }
}
} // namespace

std::string FieldText(std::string_view text, int maxUnits) {
    text = text.substr(0, text.find('\0'));
    std::size_t pos = 0;
    int units = 0;
    while (pos < text.size()) {
        std::size_t next = pos;
        const auto codePoint = NextCodePoint(text, next);
        const int width = codePoint && *codePoint >= kFirstBeyondBasicPlane ? 2 : 1;
        if (units + width > maxUnits) {
            break;
        }
        units += width;
        pos = codePoint ? next : pos + 1;
    }
    return std::string(text.substr(0, pos));
}

cSysTray::cSysTray(std::unique_ptr<TrayBackend> backend, bool live) : backend_(std::move(backend)), live_(live) {
    backend_->WatchAvailability([this] { TrayCameOrWent(); });
}

cSysTray::~cSysTray() {
    TakeIconDown();
}

void cSysTray::setInTray(bool show) {
    if (show == inTray_) {
        return;
    }
    if (show && live_) {
        backend_->InstallHook(*this);
        AddTrayIcon();
        iconAdded_ = true;
    } else if (!show) {
        TakeIconDown();
    }
    inTray_ = show;
    NotifyChanged("InTray");
}

void cSysTray::setTrayIcon(Picture icon) {
    if (!backend_->IsIcon(icon)) {
        return;
    }
    if (iconAdded_) {
        backend_->ModifyIcon(icon);
    }
    trayIcon_ = icon;
    NotifyChanged("TrayIcon");
}

void cSysTray::setTrayTip(const std::string& tip) {
    if (iconAdded_) {
        backend_->ModifyTip(FieldText(tip, kTipChars));
    }
    trayTip_ = tip;
    NotifyChanged("TrayTip");
}

void cSysTray::AddTrayIcon() {
    backend_->AddIcon(trayIcon_, FieldText(trayTip_, kTipChars));
}

void cSysTray::TakeIconDown() {
    if (!iconAdded_) {
        return;
    }
    backend_->DeleteIcon();
    backend_->RemoveHook(*this);
    iconAdded_ = false;
}

void cSysTray::NotifyChanged(std::string_view property) const {
    Raise(PropertyChanged, property);
}

void cSysTray::WaitForTray(int milliseconds, std::function<void()> ready) {
    trayReady_ = std::move(ready);
    if (backend_->Available()) {
        EndWait();
    } else {
        backend_->StartAreaTimer(milliseconds, [this] { EndWait(); });
    }
}

// The wait ends before the host hears of the change, so that it finds the wait over.
void cSysTray::TrayCameOrWent() {
    if (trayReady_ && backend_->Available()) {
        EndWait();
    }
    Raise(AvailabilityChanged);
}

void cSysTray::EndWait() {
    if (const std::function<void()> ready = std::exchange(trayReady_, nullptr)) {
        ready();
    }
}

void cSysTray::ShowBalloon(const std::string& tip, const std::string& sTitle, int showTimer, bool showOnce) {
    if (showOnce && balloonShowCount_ >= 1) {
        return;
    }
    if (showTimer > kMaxShowTimerSeconds) {
        throw std::overflow_error("Overflow: a balloon cannot stay up for " + std::to_string(showTimer) +
                                  " seconds (at most " + std::to_string(kMaxShowTimerSeconds) + ")");
    }
    const int milliseconds = showTimer > 0 ? showTimer * 1000 : 0;
    backend_->ShowBalloon(FieldText(sTitle, kBalloonTitleChars), FieldText(tip, kBalloonTextChars), milliseconds);
    balloonVisible_ = true;
    if (showOnce) {
        ++balloonShowCount_;
    }
    // The wait for the balloon's end runs on a timer, so the window stays responsive meanwhile; a new balloon
    // replaces the old one and with it the old one's timer.
    if (milliseconds > 0) {
        backend_->StartBalloonTimer(milliseconds, [this] { TakeBalloonDown(); });
    } else {
        backend_->StopBalloonTimer();
    }
}

// The balloon stays "visible" until the shell reports it closed, as the take-down itself is not a report.
void cSysTray::TakeBalloonDown() {
    if (balloonVisible_) {
        backend_->HideBalloon();
    }
}

void cSysTray::HandleTrayMessage(int message, int id) {
    switch (message) {
    case messages::kMouseMove:
        Raise(MouseMove, id);
        break;
    case messages::kLeftButtonDown:
        Raise(MouseDown, kLeftButton, id);
        break;
    case messages::kLeftButtonUp:
        Raise(MouseUp, kLeftButton, id);
        break;
    case messages::kLeftButtonDoubleClick:
        Raise(MouseDblClick, kLeftButton, id);
        break;
    case messages::kRightButtonDown:
        Raise(MouseDown, kRightButton, id);
        break;
    case messages::kRightButtonUp:
        Raise(MouseUp, kRightButton, id);
        break;
    case messages::kRightButtonDoubleClick:
        Raise(MouseDblClick, kRightButton, id);
        break;
    case messages::kBalloonHide:
    case messages::kBalloonTimeout:
    case messages::kBalloonUserClick:
        balloonVisible_ = false;
        backend_->StopBalloonTimer();
        break;
    default:
        break; // middle button, balloon shown and everything else
    }
}

} // namespace quillmere::tray
