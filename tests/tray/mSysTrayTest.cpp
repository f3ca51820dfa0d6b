// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/mSysTray.h"

#include "tray/TrayMessages.h"
#include "tray/cSysTray.h"
#include "tray/qt/QtTrayBackend.h"

#include <gtest/gtest.h>

namespace quillmere::tray {
namespace {

class TrayHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto owned = std::make_unique<QtTrayBackend>();
        backend = owned.get();
        tray = std::make_unique<cSysTray>(std::move(owned), true);
        tray->MouseDown = [this](int b, int) { events << QString("down %1").arg(b); };
        tray->MouseUp = [this](int b, int) { events << QString("up %1").arg(b); };
        tray->MouseDblClick = [this](int b, int) { events << QString("dblclick %1").arg(b); };
        tray->setInTray(true);
    }
    void Activate(QSystemTrayIcon::ActivationReason reason) { emit backend->XEmbedIcon().activated(reason); }

    QtTrayBackend* backend = nullptr;
    std::unique_ptr<cSysTray> tray;
    QStringList events;
};

TEST_F(TrayHookTest, ClicksArriveAsPressThenRelease) {
    Activate(QSystemTrayIcon::Trigger);
    Activate(QSystemTrayIcon::Context);
    EXPECT_EQ(events, QStringList({"down 1", "up 1", "down 2", "up 2"}));
}

TEST_F(TrayHookTest, DoubleClickReleasesOnItsFirstClick) {
    // What Qt reports for a double click: the first click as Trigger, then DoubleClick.
    Activate(QSystemTrayIcon::Trigger);
    Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(events, QStringList({"down 1", "up 1", "dblclick 1", "up 1"}));
}

TEST_F(TrayHookTest, MiddleClickRaisesNothing) {
    EXPECT_EQ(mSysTray::MessagesFor(QSystemTrayIcon::MiddleClick),
              std::vector<int>({messages::kMiddleButtonDown, messages::kMiddleButtonUp}));
    Activate(QSystemTrayIcon::MiddleClick);
    Activate(QSystemTrayIcon::Unknown);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(TrayHookTest, BalloonClickEndsTheBalloon) {
    tray->ShowBalloon("tip", "T", 5, false);
    emit backend->XEmbedIcon().messageClicked();
    EXPECT_FALSE(tray->BalloonVisible());
    EXPECT_FALSE(backend->BalloonTimer().isActive());
}

TEST_F(TrayHookTest, TheBalloonsWaitIsOneRunOfItsTimer) {
    tray->ShowBalloon("tip", "T", 5, false);
    ASSERT_TRUE(backend->BalloonTimer().isActive());
    EXPECT_EQ(backend->BalloonTimer().interval(), 5000);
    EXPECT_TRUE(backend->BalloonTimer().isSingleShot());
}

TEST_F(TrayHookTest, PicturesAreTheProgramsIcons) {
    EXPECT_TRUE(backend->IsIcon(Picture::TrayIcon));
    EXPECT_TRUE(backend->IsIcon(Picture::ProgramIcon));
    EXPECT_FALSE(backend->IsIcon(Picture::None));
}

TEST_F(TrayHookTest, RemovedHookDeliversNothing) {
    tray->setInTray(false);
    Activate(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(events.isEmpty());
    tray->setInTray(true);
    Activate(QSystemTrayIcon::Trigger);
    EXPECT_EQ(events, QStringList({"down 1", "up 1"})) << "a second install must not double the delivery";
}

} // namespace
} // namespace quillmere::tray
