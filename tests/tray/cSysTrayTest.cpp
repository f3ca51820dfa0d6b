// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/cSysTray.h"

#include "FakeTrayBackend.h"
#include "tray/ProgramIcons.h"
#include "tray/TrayMessages.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace quillmere::tray {
namespace {

class TrayControlTest : public ::testing::Test {
protected:
    std::unique_ptr<cSysTray> MakeTray(bool live) {
        return std::make_unique<cSysTray>(std::make_unique<testing::FakeTrayBackend>(log), live);
    }
    // The control's balloon timer; firing it early stands in for waiting out its seconds.
    static QTimer* BalloonTimer(cSysTray& tray) { return tray.findChild<QTimer*>(); }

    std::shared_ptr<QStringList> log = std::make_shared<QStringList>();
    std::unique_ptr<cSysTray> tray = MakeTray(true);
};

TEST_F(TrayControlTest, SettingInTrayToItsValueSendsNothingAndNotifiesNothing) {
    QSignalSpy changed(tray.get(), &cSysTray::InTrayChanged);
    tray->setInTray(false);
    EXPECT_TRUE(log->isEmpty());
    EXPECT_EQ(changed.count(), 0);

    tray->setInTray(true);
    log->clear();
    tray->setInTray(true);
    EXPECT_TRUE(log->isEmpty());
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(TrayControlTest, LiveControlHooksBeforeAddingAndUnhooksAfterDeleting) {
    tray->setTrayIcon(TrayPicture());
    tray->setTrayTip("Quillmere");
    EXPECT_TRUE(log->isEmpty()) << "changes before the add are only stored";
    tray->setInTray(true);
    EXPECT_TRUE(tray->IconAdded());
    tray->setInTray(false);
    EXPECT_FALSE(tray->IconAdded());
    EXPECT_EQ(*log, QStringList({"hook", "add icon=set tip=Quillmere", "delete", "unhook"}));
}

TEST_F(TrayControlTest, DesignSurfaceStoresInTrayButAddsNoIcon) {
    auto design = MakeTray(false);
    QSignalSpy changed(design.get(), &cSysTray::InTrayChanged);
    design->setInTray(true);
    EXPECT_TRUE(design->InTray());
    EXPECT_FALSE(design->IconAdded());
    design->setInTray(false);
    design.reset();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(log->isEmpty());
}

TEST_F(TrayControlTest, PictureWithoutImageIsIgnored) {
    const QIcon picture = TrayPicture();
    tray->setTrayIcon(picture);
    tray->setInTray(true);
    log->clear();
    QSignalSpy changed(tray.get(), &cSysTray::TrayIconChanged);
    tray->setTrayIcon(QIcon());
    tray->setTrayIcon(QIcon("/nonexistent/picture.png"));
    EXPECT_TRUE(log->isEmpty());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(tray->TrayIcon().cacheKey(), picture.cacheKey());

    tray->setTrayIcon(ProgramIcon());
    EXPECT_EQ(*log, QStringList({"modify icon"}));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(TrayControlTest, TipIsCutAt127CharactersAndEmptyTipIsSent) {
    const QString longTip(200, u'x');
    tray->setTrayTip(longTip);
    tray->setInTray(true);
    tray->setTrayTip("");
    EXPECT_EQ(*log, QStringList({"hook", "add icon=none tip=" + QString(127, u'x'), "modify tip="}));
    EXPECT_EQ(tray->TrayTip(), "");
}

TEST_F(TrayControlTest, FreshControlShowsItsPlacementTip) {
    tray->setInTray(true);
    EXPECT_EQ(log->at(1), "add icon=none tip=Telnet Server");
}

TEST(FieldTextTest, StopsAtNulAndNeverSplitsASurrogatePair) {
    EXPECT_EQ(FieldText(QString("ab") + QChar(u'\0') + "cd", 10), "ab");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    EXPECT_EQ(FieldText("ab" + emoji, 3), "ab");
    EXPECT_EQ(FieldText("ab" + emoji, 4), "ab" + emoji);
    EXPECT_EQ(FieldText("abc", 3), "abc");
}

TEST_F(TrayControlTest, BalloonTextsAreCutAndTimeIsInMilliseconds) {
    tray->ShowBalloon(QString(300, u't'), QString(80, u'T'), 5, false);
    EXPECT_EQ(
        *log,
        QStringList(
            {QStringLiteral("balloon title=%1 text=%2 timeout=5000").arg(QString(63, u'T'), QString(255, u't'))}));
    EXPECT_TRUE(tray->BalloonVisible());
    EXPECT_EQ(tray->BalloonShowCount(), 0);
}

TEST_F(TrayControlTest, ShowOnceShowsOnlyTheFirstOnceBalloon) {
    tray->ShowBalloon("first", "T", 0, true);
    tray->ShowBalloon("second", "T", 0, true);
    tray->ShowBalloon("third", "T", 0, false);
    EXPECT_EQ(tray->BalloonShowCount(), 1);
    EXPECT_EQ(*log, QStringList({"balloon title=T text=first timeout=0", "balloon title=T text=third timeout=0"}));
}

TEST_F(TrayControlTest, ZeroTimerLeavesTheBalloonToTheShell) {
    tray->ShowBalloon("tip", "T", 0, false);
    EXPECT_FALSE(BalloonTimer(*tray)->isActive());
    tray->ShowBalloon("tip", "T", -3, false);
    EXPECT_EQ(log->last(), "balloon title=T text=tip timeout=0");
    EXPECT_FALSE(BalloonTimer(*tray)->isActive());
}

TEST_F(TrayControlTest, TimerTakesTheBalloonDownWhenItIsStillUp) {
    tray->ShowBalloon("tip", "T", 5, true);
    QTimer* timer = BalloonTimer(*tray);
    ASSERT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    timer->start(0);
    QTRY_COMPARE(log->size(), 2);
    EXPECT_EQ(log->last(), "hide balloon");
    EXPECT_TRUE(tray->BalloonVisible()) << "only the shell's report clears it";
}

TEST_F(TrayControlTest, BalloonClosedEarlyGetsNoSecondChange) {
    for (int report : {messages::kBalloonHide, messages::kBalloonTimeout, messages::kBalloonUserClick}) {
        log->clear();
        tray->ShowBalloon("tip", "T", 5, false);
        tray->HandleTrayMessage(report, 0);
        EXPECT_FALSE(tray->BalloonVisible()) << report;
        EXPECT_FALSE(BalloonTimer(*tray)->isActive()) << report;
        EXPECT_EQ(log->size(), 1) << report;
    }
}

TEST_F(TrayControlTest, OverlongTimerFailsBeforeAnythingIsSent) {
    EXPECT_THROW(tray->ShowBalloon("tip", "T", cSysTray::kMaxShowTimerSeconds + 1, true), std::overflow_error);
    EXPECT_TRUE(log->isEmpty());
    EXPECT_FALSE(tray->BalloonVisible());
    EXPECT_EQ(tray->BalloonShowCount(), 0);

    tray->ShowBalloon("tip", "T", cSysTray::kMaxShowTimerSeconds, true);
    EXPECT_EQ(log->last(), "balloon title=T text=tip timeout=2147483000");
}

TEST_F(TrayControlTest, DestructorTakesTheIconDown) {
    tray->setInTray(true);
    log->clear();
    QSignalSpy changed(tray.get(), &cSysTray::InTrayChanged);
    tray.reset();
    EXPECT_EQ(*log, QStringList({"delete", "unhook"}));
    EXPECT_EQ(changed.count(), 0) << "no notice to a host that is going away";
}

// Every event the control raises, as text, in the order raised.
QStringList EventsFor(cSysTray& tray, int message) {
    QStringList events;
    QObject::connect(&tray, &cSysTray::MouseMove, [&](int id) { events << QString("move %1").arg(id); });
    QObject::connect(&tray, &cSysTray::MouseDown,
                     [&](int b, int id) { events << QString("down %1 %2").arg(b).arg(id); });
    QObject::connect(&tray, &cSysTray::MouseUp, [&](int b, int id) { events << QString("up %1 %2").arg(b).arg(id); });
    QObject::connect(&tray, &cSysTray::MouseDblClick,
                     [&](int b, int id) { events << QString("dblclick %1 %2").arg(b).arg(id); });
    tray.HandleTrayMessage(message, 7);
    return events;
}

TEST_F(TrayControlTest, MessageTableRaisesOneEventPerMouseMessage) {
    const std::pair<int, QString> table[] = {
        {0x200, "move 7"},   {0x201, "down 1 7"}, {0x202, "up 1 7"},       {0x203, "dblclick 1 7"},
        {0x204, "down 2 7"}, {0x205, "up 2 7"},   {0x206, "dblclick 2 7"},
    };
    for (const auto& [message, event] : table) {
        auto fresh = MakeTray(true);
        EXPECT_EQ(EventsFor(*fresh, message), QStringList{event}) << message;
    }
}

TEST_F(TrayControlTest, OtherMessagesRaiseNothingAndKeepTheBalloon) {
    for (int message : {0x207, 0x208, 0x209, 0x402, 0x406, 0x465, 0}) {
        auto fresh = MakeTray(true);
        fresh->ShowBalloon("tip", "T", 5, false);
        EXPECT_TRUE(EventsFor(*fresh, message).isEmpty()) << message;
        EXPECT_TRUE(fresh->BalloonVisible()) << message;
    }
}

} // namespace
} // namespace quillmere::tray
