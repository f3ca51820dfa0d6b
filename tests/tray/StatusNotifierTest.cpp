// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt backend against a StatusNotifier tray and a notification service of the test's own, on a session bus of
// the test's own: a tray that comes after the program gets the icon and sends its clicks, the notice is a desktop
// notification whose end ends the balloon, and a tray that goes is told to the control.
#include "tray/TrayMessages.h"
#include "tray/cSysTray.h"
#include "tray/qt/QtTrayBackend.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace quillmere::tray {
namespace {

const QString kWatcher = "org.kde.StatusNotifierWatcher";
const QString kNotifications = "org.freedesktop.Notifications";
const QString kNotificationsPath = "/org/freedesktop/Notifications";

// A session bus of the test's own, for as long as it lives.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000)) {
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        }
    }
    ~PrivateBus() {
        daemon_.terminate();
        daemon_.waitForFinished(5000);
    }
    bool Up() const { return !address_.isEmpty(); }
    QDBusConnection Connect(const QString& name) const { return QDBusConnection::connectToBus(address_, name); }

private:
    QProcess daemon_;
    QString address_;
};

// What a panel and a notification service answer, and what they were asked.
class FakeDesktop final : public QDBusVirtualObject {
public:
    explicit FakeDesktop(QDBusConnection bus) : bus_(std::move(bus)) {}
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QString member = message.member();
        asked << member;
        QDBusMessage reply = message.createReply();
        if (member == "RegisterStatusNotifierItem") {
            registered << message.arguments().front().toString();
        } else if (member == "Get") {
            reply << QVariant::fromValue(QDBusVariant(true)); // IsStatusNotifierHostRegistered
        } else if (member == "Notify") {
            notice = message.arguments();
            reply << 7u;
        } else if (member == "CloseNotification") {
            closed << message.arguments().front().toUInt();
        }
        connection.send(reply);
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

    void StartPanel() {
        bus_.registerVirtualObject("/StatusNotifierWatcher", this);
        bus_.registerService(kWatcher);
    }
    void StopPanel() { bus_.unregisterService(kWatcher); }
    void StartNotifications() {
        bus_.registerVirtualObject(kNotificationsPath, this);
        bus_.registerService(kNotifications);
    }
    // The service's report that notice 7 has closed.
    void CloseNotice(uint reason) {
        QDBusMessage closing = QDBusMessage::createSignal(kNotificationsPath, kNotifications, "NotificationClosed");
        closing << 7u << reason;
        bus_.send(closing);
    }
    // The panel's click on the icon, by the name the item registered.
    void Click(const QString& method) {
        QDBusMessage click = QDBusMessage::createMethodCall(registered.last(), "/StatusNotifierItem",
                                                            "org.kde.StatusNotifierItem", method);
        click << 0 << 0;
        bus_.asyncCall(click);
    }

    QStringList asked;
    QStringList registered;
    QList<QVariant> notice;
    QList<uint> closed;

private:
    QDBusConnection bus_;
};

// Runs the events until the condition holds, for a few seconds at most.
bool Eventually(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

class StatusNotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus_.Up()) {
            GTEST_SKIP() << "dbus-daemon is not installed (scripts/install-deps.sh test)";
        }
        desktop_ = std::make_unique<FakeDesktop>(bus_.Connect("desktop"));
        auto owned = std::make_unique<QtTrayBackend>(bus_.Connect("program"));
        backend_ = owned.get();
        tray_ = std::make_unique<cSysTray>(std::move(owned), true);
        tray_->MouseUp = [this](int button, int) { released_ << button; };
        tray_->AvailabilityChanged = [this] { ++changes_; };
        tray_->setTrayIcon(Picture::TrayIcon);
        tray_->setTrayTip("Quillmere");
        tray_->setInTray(true);
    }
    void TearDown() override {
        tray_.reset();
        desktop_.reset();
        QDBusConnection::disconnectFromBus("program");
        QDBusConnection::disconnectFromBus("desktop");
    }

    PrivateBus bus_;
    std::unique_ptr<FakeDesktop> desktop_;
    QtTrayBackend* backend_ = nullptr;
    std::unique_ptr<cSysTray> tray_;
    QList<int> released_;
    int changes_ = 0;
};

TEST_F(StatusNotifierTest, ATrayThatComesAfterTheProgramGetsTheIconAndSendsItsClicks) {
    EXPECT_FALSE(tray_->TrayAvailable()) << "no tray yet";
    desktop_->StartPanel();
    ASSERT_TRUE(Eventually([&] { return tray_->TrayAvailable(); }));
    EXPECT_GE(changes_, 1);
    ASSERT_TRUE(Eventually([&] { return desktop_->registered == QStringList{backend_->Item().ServiceName()}; }));

    desktop_->Click("Activate");
    ASSERT_TRUE(Eventually([&] { return released_ == QList<int>{1}; }));
    desktop_->Click("ContextMenu");
    ASSERT_TRUE(Eventually([&] { return released_ == (QList<int>{1, 2}); }));
}

TEST_F(StatusNotifierTest, ATrayThatGoesIsToldAndOneThatComesBackGetsTheIconAgain) {
    desktop_->StartPanel();
    ASSERT_TRUE(Eventually([&] { return tray_->TrayAvailable(); }));
    const int before = changes_;
    desktop_->StopPanel();
    ASSERT_TRUE(Eventually([&] { return !tray_->TrayAvailable(); }));
    EXPECT_GT(changes_, before);
    desktop_->registered.clear();
    desktop_->StartPanel();
    ASSERT_TRUE(Eventually([&] { return desktop_->registered == QStringList{backend_->Item().ServiceName()}; }));
}

TEST_F(StatusNotifierTest, TheNoticeIsADesktopNotificationWhoseEndEndsTheBalloon) {
    desktop_->StartNotifications();
    desktop_->StartPanel();
    ASSERT_TRUE(Eventually([&] { return tray_->TrayAvailable(); }));
    tray_->ShowBalloon("first line\r\nsecond <line>", "Quillmere", 5, false);
    ASSERT_TRUE(Eventually([&] { return !desktop_->notice.isEmpty(); }));
    const QList<QVariant>& notice = desktop_->notice;
    EXPECT_EQ(notice.at(3).toString(), "Quillmere");
    EXPECT_EQ(notice.at(4).toString(), "first line\nsecond &lt;line&gt;");
    EXPECT_EQ(notice.at(7).toInt(), 5000);
    EXPECT_TRUE(tray_->BalloonVisible());

    backend_->HideBalloon();
    ASSERT_TRUE(Eventually([&] { return desktop_->closed == QList<uint>{7}; }));
    desktop_->CloseNotice(3); // closed at the program's request
    ASSERT_TRUE(Eventually([&] { return !tray_->BalloonVisible(); }));
    EXPECT_FALSE(backend_->BalloonTimer().isActive());
}

} // namespace
} // namespace quillmere::tray
