// SPDX-License-Identifier: GPL-3.0-or-later
// The tray notice as a desktop notification (org.freedesktop.Notifications), for a StatusNotifier tray, which has
// no balloons of its own. The notification names the program's desktop entry, so the desktop shows the program's
// name and icon with it and lists it in its notification settings.
#pragma once

#include "tray/qt/TrayActivity.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace quillmere::tray {

// The text as a notification shows it: lines broken by "\n" alone, and the characters that a server taking
// markup would read as markup written out, so the text shows as written on every server.
QString NoticeBody(const QString& text);

class DesktopNotice final : public QObject {
    Q_OBJECT

public:
    // The notice's end (closed by its time, the user or Close) is reported to activity.
    DesktopNotice(QDBusConnection bus, TrayActivity& activity);

    // A new notice replaces the one shown before.
    void Show(const QString& title, const QString& text, int timeoutMilliseconds);
    void Close();

private slots:
    void Closed(uint id, uint reason);

private:
    void CloseShown();

    QDBusConnection bus_;
    TrayActivity& activity_;
    uint shown_ = 0;       // the server's number of the notice on screen; 0 for none
    bool waiting_ = false; // a notice was sent and its number has not come back yet
    bool closeWhenNumbered_ = false;
};

} // namespace quillmere::tray
