// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/DesktopNotice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QIcon>
#include <QVariantMap>

namespace quillmere::tray {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage Call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

// The installed program's icon, by its name in the icon theme; none where it is not installed, rather than a name
// the desktop shows as a missing picture.
QString ProgramIconName() {
    const QString name = QStringLiteral("quillmere");
    return QIcon::hasThemeIcon(name) ? name : QString();
}
} // namespace

QString NoticeBody(const QString& text) {
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return body.toHtmlEscaped();
}

DesktopNotice::DesktopNotice(QDBusConnection bus, TrayActivity& activity) : bus_(std::move(bus)), activity_(activity) {
    bus_.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this, SLOT(Closed(uint, uint)));
}

void DesktopNotice::Show(const QString& title, const QString& text, int timeoutMilliseconds) {
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName());
    QDBusMessage notify = Call(QStringLiteral("Notify"));
    notify << QGuiApplication::applicationDisplayName() << shown_ << ProgramIconName() << title << NoticeBody(text)
           << QStringList() << hints << timeoutMilliseconds;
    waiting_ = true;
    closeWhenNumbered_ = false;
    auto* answer = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<uint> reply = *call;
        call->deleteLater();
        waiting_ = false;
        shown_ = reply.isValid() ? reply.value() : 0;
        if (closeWhenNumbered_) {
            CloseShown();
        }
    });
}

// A notice whose number has not come back yet is closed as soon as it comes.
void DesktopNotice::Close() {
    if (waiting_) {
        closeWhenNumbered_ = true;
    } else {
        CloseShown();
    }
}

void DesktopNotice::CloseShown() {
    if (shown_ != 0) {
        QDBusMessage close = Call(QStringLiteral("CloseNotification"));
        close << shown_;
        bus_.asyncCall(close);
    }
}

void DesktopNotice::Closed(uint id, uint /*reason*/) {
    if (id != 0 && id == shown_) {
        shown_ = 0;
        emit activity_.messageClosed();
    }
}

} // namespace quillmere::tray
