// SPDX-License-Identifier: GPL-3.0-or-later
// The icon in an X tray (the system tray of XEmbed: trayer, xfce4-panel, MATE, LXDE), as Qt's QSystemTrayIcon
// shows it, with Qt's own balloon beside it. The icon is made only when first needed: the first QSystemTrayIcon
// of a program decides for good whether Qt shows its icons through a StatusNotifier tray instead, which the
// program does itself (StatusNotifierItem).
#pragma once

#include "tray/qt/TrayActivity.h"

#include <QDeadlineTimer>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

namespace quillmere::tray {

class XEmbedTray final {
public:
    // Clicks on the icon and on its balloon go to activity.
    explicit XEmbedTray(TrayActivity& activity);

    // Whether an X tray is there now. Like every call here, it makes the icon first.
    bool Available();
    // Calls changed each time an X tray comes or goes, from the first call on that makes the icon.
    void WatchAvailability(std::function<void()> changed) { changed_ = std::move(changed); }

    void Show(const QIcon& icon, const QString& tip);
    void Hide();
    void SetIcon(const QIcon& icon);
    void SetToolTip(const QString& tip);
    // Qt places its balloon beside the icon, and in the corner of the screen while the tray has not given the
    // icon its place yet: a balloon asked for before then waits for it, a few seconds at most.
    void ShowBalloon(const QString& title, const QString& text, int timeoutMilliseconds);
    void HideBalloon();

    // The icon, made if need be: tests emit its signals.
    QSystemTrayIcon& Icon();

private:
    void ShowWaitingBalloon();
    void CheckPresence();

    TrayActivity& activity_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::function<void()> changed_;
    QTimer presenceWatch_; // an X tray tells of no coming or going that Qt passes on: it is looked for
    bool present_ = false;
    QTimer placeWait_;
    QString waitingTitle_;
    QString waitingText_;
    QDeadlineTimer waitingUntil_; // the end of the waiting balloon's own time
    QDeadlineTimer placeDeadline_;
};

// Whether Qt's own balloon is on screen.
bool QtBalloonShown();

} // namespace quillmere::tray
