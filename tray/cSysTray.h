// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon in the notification area: adds, changes and removes it, shows a balloon notice on it, and
// raises the four mouse events for its host. All shell traffic goes through a TrayBackend.
#pragma once

#include "tray/TrayBackend.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quillmere::tray {

class cSysTray final {
public:
    // How much of each text reaches the shell, in UTF-16 units (its fixed fields, less the terminating NUL).
    static constexpr int kTipChars = 127;
    static constexpr int kBalloonTextChars = 255;
    static constexpr int kBalloonTitleChars = 63;
    // The longest balloon time whose milliseconds fit a 32-bit value.
    static constexpr int kMaxShowTimerSeconds = 2'147'483;

    // live: the host runs as the program, not as a design surface; only then does the icon reach the shell.
    cSysTray(std::unique_ptr<TrayBackend> backend, bool live);
    // Takes the icon down, without a change notice to a host that is going away too.
    ~cSysTray();
    cSysTray(const cSysTray&) = delete;
    cSysTray& operator=(const cSysTray&) = delete;

    bool InTray() const { return inTray_; }
    void setInTray(bool show);
    Picture TrayIcon() const { return trayIcon_; }
    // A picture that is no icon (Picture::None included) changes nothing.
    void setTrayIcon(Picture icon);
    const std::string& TrayTip() const { return trayTip_; }
    void setTrayTip(const std::string& tip);

    bool IconAdded() const { return iconAdded_; }
    bool BalloonVisible() const { return balloonVisible_; }
    int BalloonShowCount() const { return balloonShowCount_; }
    int IconId() const { return 0; }
    // Whether the icon can be seen: a desktop without a notification area shows none.
    bool TrayAvailable() const { return backend_->Available(); }
    // Calls ready once: at once when a notification area is there, else as soon as one appears or when
    // milliseconds have passed, whichever comes first. A new wait replaces the one before.
    void WaitForTray(int milliseconds, std::function<void()> ready);

    // Shows a balloon and returns at once. With showTimer > 0 the backend's timer takes the balloon down after
    // that many seconds unless it closed first. With showOnce, only the first such balloon of this control is
    // shown. Throws std::overflow_error, before anything is sent, when showTimer exceeds kMaxShowTimerSeconds.
    void ShowBalloon(const std::string& tip, const std::string& sTitle, int showTimer, bool showOnce);

    // The one place the icon's notifications are acted on and the events raised; numbers as in TrayMessages.h.
    void HandleTrayMessage(int message, int id);

    // The events, for the host to set; Button is 1 for the left button, 2 for the right one.
    std::function<void(int Id)> MouseMove;
    std::function<void(int Button, int Id)> MouseDown;
    std::function<void(int Button, int Id)> MouseUp;
    std::function<void(int Button, int Id)> MouseDblClick;
    // The change notice for a property ("InTray", "TrayIcon", "TrayTip").
    std::function<void(std::string_view property)> PropertyChanged;
    // A notification area came or went (after a wait that it ended).
    std::function<void()> AvailabilityChanged;

private:
    void AddTrayIcon();
    void TakeIconDown();
    void TakeBalloonDown();
    void NotifyChanged(std::string_view property) const;
    void TrayCameOrWent();
    void EndWait();

    std::unique_ptr<TrayBackend> backend_;
    const bool live_;
    bool inTray_ = false;
    bool iconAdded_ = false;
    Picture trayIcon_ = Picture::None;
    std::string trayTip_ = "Telnet Server"; // what a freshly placed control shows until told
    bool balloonVisible_ = false;
    int balloonShowCount_ = 0;
    std::function<void()> trayReady_; // the wait for a notification area, while one runs
};

// The part of UTF-8 text the shell receives from a field of maxUnits UTF-16 units: up to the first NUL, and
// never a character cut in two. A byte that is not well-formed UTF-8 counts as one unit.
std::string FieldText(std::string_view text, int maxUnits);

} // namespace quillmere::tray
