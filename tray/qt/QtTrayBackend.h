// SPDX-License-Identifier: GPL-3.0-or-later
// The notification area as a Qt program on Linux meets it: a StatusNotifier tray where the desktop has one (its
// notice a desktop notification), else an X tray (Qt's QSystemTrayIcon, its notice Qt's balloon). Trays come and
// go while the program runs (a panel that starts after the program, or starts again): the icon moves into the one
// that is there, and the control hears of each change. Activity on either goes through one TrayActivity, which
// mSysTray hooks to the control.
#pragma once

#include "tray/TrayBackend.h"
#include "tray/qt/DesktopNotice.h"
#include "tray/qt/StatusNotifierItem.h"
#include "tray/qt/TrayActivity.h"
#include "tray/qt/XEmbedTray.h"

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace quillmere::tray {

class QtTrayBackend final : public TrayBackend {
public:
    // The StatusNotifier tray and the notifications are looked for on bus.
    explicit QtTrayBackend(QDBusConnection bus = QDBusConnection::sessionBus());
    ~QtTrayBackend() override;
    QtTrayBackend(const QtTrayBackend&) = delete;
    QtTrayBackend& operator=(const QtTrayBackend&) = delete;

    bool Available() const override;
    void WatchAvailability(std::function<void()> changed) override { changed_ = std::move(changed); }
    bool IsIcon(Picture picture) const override;
    void InstallHook(cSysTray& control) override;
    void RemoveHook(cSysTray& control) override;
    void AddIcon(Picture icon, const std::string& tip) override;
    void ModifyIcon(Picture icon) override;
    void ModifyTip(const std::string& tip) override;
    void DeleteIcon() override;
    void ShowBalloon(const std::string& title, const std::string& text, int timeoutMilliseconds) override;
    void HideBalloon() override;
    void StartBalloonTimer(int milliseconds, std::function<void()> elapsed) override;
    void StopBalloonTimer() override;
    void StartAreaTimer(int milliseconds, std::function<void()> elapsed) override;

    // Where the activity on the icon is reported: tests emit its signals.
    TrayActivity& Activity() { return activity_; }
    // The icon on a StatusNotifier tray and in an X tray (the latter made when first asked for).
    const StatusNotifierItem& Item() const { return item_; }
    QSystemTrayIcon& XEmbedIcon() { return xembed_.Icon(); }
    // The wait for a balloon's end: a test fires it early instead of waiting its seconds out.
    QTimer& BalloonTimer() { return balloonTimer_; }

private:
    bool OnStatusNotifierTray() const { return item_.HostState() == StatusNotifierItem::Host::Present; }
    // Whether the X tray may be used: only once no StatusNotifier host is there, for the reason in XEmbedTray.h.
    bool XEmbedAllowed() const { return item_.HostState() == StatusNotifierItem::Host::Absent; }
    // Puts an added icon into the tray there is now, and takes it out of the other.
    void PlaceIcon();
    void TrayChanged();

    TrayActivity activity_;
    StatusNotifierItem item_;
    DesktopNotice notice_;
    mutable XEmbedTray xembed_;
    bool added_ = false;
    QIcon icon_;
    QString tip_;
    QTimer balloonTimer_;
    QTimer areaTimer_;
    std::function<void()> balloonElapsed_;
    std::function<void()> areaElapsed_;
    std::function<void()> changed_;
    // The receiver of the hook's connections while it is installed: deleting it takes exactly those down.
    std::unique_ptr<QObject> hook_;
};

} // namespace quillmere::tray
