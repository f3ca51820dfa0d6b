// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/cSysTray.h"

#include "FakeTrayBackend.h"
#include "tray/TrayMessages.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quillmere::tray {
namespace {

using testing::TrayLog;

class TrayControlTest : public ::testing::Test {
protected:
    std::unique_ptr<cSysTray> MakeTray(bool live) {
        auto owned = std::make_unique<testing::FakeTrayBackend>(log);
        backend = owned.get();
        auto made = std::make_unique<cSysTray>(std::move(owned), live);
        made->PropertyChanged = [this](std::string_view property) { notices.emplace_back(property); };
        return made;
    }

    std::shared_ptr<TrayLog> log = std::make_shared<TrayLog>();
    std::vector<std::string> notices;
    testing::FakeTrayBackend* backend = nullptr;
    std::unique_ptr<cSysTray> tray = MakeTray(true);
};

TEST_F(TrayControlTest, SettingInTrayToItsValueSendsNothingAndNotifiesNothing) {
    tray->setInTray(false);
    EXPECT_TRUE(log->empty());
    EXPECT_TRUE(notices.empty());

    tray->setInTray(true);
    log->clear();
    tray->setInTray(true);
    EXPECT_TRUE(log->empty());
    EXPECT_EQ(notices, std::vector<std::string>{"InTray"});
}

TEST_F(TrayControlTest, LiveControlHooksBeforeAddingAndUnhooksAfterDeleting) {
    tray->setTrayIcon(Picture::TrayIcon);
    tray->setTrayTip("Quillmere");
    EXPECT_TRUE(log->empty()) << "changes before the add are only stored";
    tray->setInTray(true);
    EXPECT_TRUE(tray->IconAdded());
    tray->setInTray(false);
    EXPECT_FALSE(tray->IconAdded());
    EXPECT_EQ(*log, TrayLog({"hook", "add icon=tray tip=Quillmere", "delete", "unhook"}));
}

TEST_F(TrayControlTest, DesignSurfaceStoresInTrayButAddsNoIcon) {
    auto design = MakeTray(false);
    notices.clear();
    design->setInTray(true);
    EXPECT_TRUE(design->InTray());
    EXPECT_FALSE(design->IconAdded());
    design->setInTray(false);
    design.reset();
    EXPECT_EQ(notices, std::vector<std::string>({"InTray", "InTray"}));
    EXPECT_TRUE(log->empty());
}

TEST_F(TrayControlTest, PictureThatIsNoIconIsIgnored) {
    tray->setTrayIcon(Picture::TrayIcon);
    tray->setInTray(true);
    log->clear();
    notices.clear();
    backend->icons.erase(Picture::ProgramIcon); // as a picture of another type, or one without an image
    tray->setTrayIcon(Picture::None);
    tray->setTrayIcon(Picture::ProgramIcon);
    EXPECT_TRUE(log->empty());
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(tray->TrayIcon(), Picture::TrayIcon);

    backend->icons.insert(Picture::ProgramIcon);
    tray->setTrayIcon(Picture::ProgramIcon);
    EXPECT_EQ(*log, TrayLog({"modify icon=program"}));
    EXPECT_EQ(notices, std::vector<std::string>{"TrayIcon"});
}

TEST_F(TrayControlTest, TipIsCutAt127CharactersAndEmptyTipIsSent) {
    const std::string longTip(200, 'x');
    tray->setTrayTip(longTip);
    tray->setInTray(true);
    tray->setTrayTip("");
    EXPECT_EQ(*log, TrayLog({"hook", "add icon=none tip=" + std::string(127, 'x'), "modify tip="}));
    EXPECT_EQ(tray->TrayTip(), "");
}

TEST_F(TrayControlTest, FreshControlShowsItsPlacementTip) {
    tray->setInTray(true);
    EXPECT_EQ(log->at(1), "add icon=none tip=Telnet Server");
}

TEST(FieldTextTest, CountsUtf16UnitsStopsAtNulAndNeverCutsACharacter) {
    const std::string emoji = "\xF0\x9F\x98\x80"; // one character, two UTF-16 units
    const std::string umlaut = "\xC3\xBC";        // one character, one unit
    const struct {
        std::string text;
        int units;
        std::string expected;
    } cases[] = {
        {std::string("ab\0cd", 5), 10, "ab"},
        {"ab" + emoji, 3, "ab"},
        {"ab" + emoji, 4, "ab" + emoji},
        {"abc", 3, "abc"},
        {umlaut + umlaut + "x", 2, umlaut + umlaut},
        {"a\xFF"
         "b",
         2, "a\xFF"}, // a stray byte is one unit
        {"", 5, ""},
    };
    for (const auto& [text, units, expected] : cases) {
        EXPECT_EQ(FieldText(text, units), expected) << text << " in " << units;
    }
}

TEST_F(TrayControlTest, BalloonTextsAreCutAndTimeIsInMilliseconds) {
    tray->ShowBalloon(std::string(300, 't'), std::string(80, 'T'), 5, false);
    EXPECT_EQ(*log,
              TrayLog({"balloon title=" + std::string(63, 'T') + " text=" + std::string(255, 't') + " timeout=5000"}));
    EXPECT_TRUE(tray->BalloonVisible());
    EXPECT_EQ(tray->BalloonShowCount(), 0);
}

TEST_F(TrayControlTest, ShowOnceShowsOnlyTheFirstOnceBalloon) {
    tray->ShowBalloon("first", "T", 0, true);
    tray->ShowBalloon("second", "T", 0, true);
    tray->ShowBalloon("third", "T", 0, false);
    EXPECT_EQ(tray->BalloonShowCount(), 1);
    EXPECT_EQ(*log, TrayLog({"balloon title=T text=first timeout=0", "balloon title=T text=third timeout=0"}));
}

TEST_F(TrayControlTest, ZeroTimerLeavesTheBalloonToTheShell) {
    tray->ShowBalloon("tip", "T", 5, false);
    tray->ShowBalloon("tip", "T", 0, false);
    EXPECT_EQ(backend->balloonTimer, 0) << "the earlier balloon's wait ends with it";
    tray->ShowBalloon("tip", "T", -3, false);
    EXPECT_EQ(log->back(), "balloon title=T text=tip timeout=0");
    EXPECT_EQ(backend->balloonTimer, 0);
}

TEST_F(TrayControlTest, TimerTakesTheBalloonDownWhenItIsStillUp) {
    tray->ShowBalloon("tip", "T", 5, true);
    EXPECT_EQ(backend->balloonTimer, 5000);
    backend->FireBalloonTimer();
    EXPECT_EQ(log->back(), "hide balloon");
    EXPECT_TRUE(tray->BalloonVisible()) << "only the shell's report clears it";
}

TEST_F(TrayControlTest, BalloonClosedEarlyGetsNoSecondChange) {
    for (int report : {messages::kBalloonHide, messages::kBalloonTimeout, messages::kBalloonUserClick}) {
        log->clear();
        tray->ShowBalloon("tip", "T", 5, false);
        tray->HandleTrayMessage(report, 0);
        EXPECT_FALSE(tray->BalloonVisible()) << report;
        EXPECT_EQ(backend->balloonTimer, 0) << report;
        EXPECT_EQ(log->size(), 1u) << report;
    }
}

TEST_F(TrayControlTest, OverlongTimerFailsBeforeAnythingIsSent) {
    EXPECT_THROW(tray->ShowBalloon("tip", "T", cSysTray::kMaxShowTimerSeconds + 1, true), std::overflow_error);
    EXPECT_TRUE(log->empty());
    EXPECT_FALSE(tray->BalloonVisible());
    EXPECT_EQ(tray->BalloonShowCount(), 0);

    tray->ShowBalloon("tip", "T", cSysTray::kMaxShowTimerSeconds, true);
    EXPECT_EQ(log->back(), "balloon title=T text=tip timeout=2147483000");
}

TEST_F(TrayControlTest, DestructorTakesTheIconDown) {
    tray->setInTray(true);
    log->clear();
    notices.clear();
    tray.reset();
    EXPECT_EQ(*log, TrayLog({"delete", "unhook"}));
    EXPECT_TRUE(notices.empty()) << "no notice to a host that is going away";
}

// A wait for a notification area ends once: at once when one is there, else when one comes or the time is up.
TEST_F(TrayControlTest, AWaitForATrayEndsOnceWhicheverComesFirst) {
    int ready = 0;
    const auto count = [&ready] { ++ready; };
    tray->WaitForTray(8000, count);
    EXPECT_EQ(ready, 1) << "a tray is there";
    EXPECT_EQ(backend->areaTimer, 0);

    backend->available = false;
    tray->WaitForTray(8000, count);
    EXPECT_EQ(backend->areaTimer, 8000);
    backend->SetAvailable(true);
    EXPECT_EQ(ready, 2) << "a tray came";
    backend->FireAreaTimer();
    backend->SetAvailable(true);
    EXPECT_EQ(ready, 2) << "the wait was over";

    backend->available = false;
    tray->WaitForTray(8000, count);
    backend->SetAvailable(false); // another area went: still none
    EXPECT_EQ(ready, 2);
    backend->FireAreaTimer();
    EXPECT_EQ(ready, 3) << "the time was up";
}

TEST_F(TrayControlTest, TheHostHearsOfEveryTrayThatComesOrGoesAfterTheWaitItEnded) {
    std::vector<std::string> heard;
    tray->AvailabilityChanged = [&] { heard.push_back(backend->available ? "came" : "went"); };
    backend->available = false;
    tray->WaitForTray(8000, [&] { heard.push_back("ready"); });
    backend->SetAvailable(true);
    backend->SetAvailable(false);
    EXPECT_EQ(heard, std::vector<std::string>({"ready", "came", "went"}));
}

// Every event the control raises, as text, in the order raised.
std::vector<std::string> EventsFor(cSysTray& tray, int message) {
    std::vector<std::string> events;
    const auto button = [](int b, int id) { return std::to_string(b) + " " + std::to_string(id); };
    tray.MouseMove = [&](int id) { events.push_back("move " + std::to_string(id)); };
    tray.MouseDown = [&](int b, int id) { events.push_back("down " + button(b, id)); };
    tray.MouseUp = [&](int b, int id) { events.push_back("up " + button(b, id)); };
    tray.MouseDblClick = [&](int b, int id) { events.push_back("dblclick " + button(b, id)); };
    tray.HandleTrayMessage(message, 7);
    return events;
}

TEST_F(TrayControlTest, MessageTableRaisesOneEventPerMouseMessage) {
    const std::pair<int, std::string> table[] = {
        {0x200, "move 7"},   {0x201, "down 1 7"}, {0x202, "up 1 7"},       {0x203, "dblclick 1 7"},
        {0x204, "down 2 7"}, {0x205, "up 2 7"},   {0x206, "dblclick 2 7"},
    };
    for (const auto& [message, event] : table) {
        auto fresh = MakeTray(true);
        EXPECT_EQ(EventsFor(*fresh, message), std::vector<std::string>{event}) << message;
    }
}

TEST_F(TrayControlTest, OtherMessagesRaiseNothingAndKeepTheBalloon) {
    for (int message : {0x207, 0x208, 0x209, 0x402, 0x406, 0x465, 0}) {
        auto fresh = MakeTray(true);
        fresh->ShowBalloon("tip", "T", 5, false);
        EXPECT_TRUE(EventsFor(*fresh, message).empty()) << message;
        EXPECT_TRUE(fresh->BalloonVisible()) << message;
    }
}

TEST_F(TrayControlTest, EventsWithoutAHandlerAreDropped) {
    tray->HandleTrayMessage(messages::kLeftButtonUp, 0);
    tray->HandleTrayMessage(messages::kMouseMove, 0);
    EXPECT_TRUE(log->empty());
}

} // namespace
} // namespace quillmere::tray
