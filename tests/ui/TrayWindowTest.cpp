// SPDX-License-Identifier: GPL-3.0-or-later
// Minimizing hides the window to the tray (with the notice once a run), a release on the tray icon brings it
// back, and the two start-up boxes store their choices and govern each other.
#include "Form1Fixture.h"

#include "tray/TrayMessages.h"

namespace quillmere::test {
namespace {

const std::string kNotice = "balloon title=Quillmere text=has been minimized to the system tray.\r\nClick on the blue "
                            "'H' icon (H for Harnvale) to bring the software back. timeout=5000";

class TrayWindowTest : public Form1Fixture {
protected:
    void SetUp() override {
        Load();
        form_->ShowAfterLoad();
    }
    // The user minimizes the window: the desktop minimizes it and tells the window.
    void Minimize() {
        View().minimized = true;
        form_->Form_Resize(true);
    }
    void ExpectShownNormally() {
        EXPECT_TRUE(View().visible);
        EXPECT_FALSE(View().minimized);
        EXPECT_FALSE(form_->MinimizedToTray());
    }
};

TEST_F(TrayWindowTest, MinimizingHidesTheWindowAndTellsWhereItWentOnceARun) {
    EXPECT_TRUE(IconInTray());
    Minimize();
    EXPECT_FALSE(View().visible);
    EXPECT_TRUE(form_->MinimizedToTray());
    EXPECT_TRUE(IconInTray());
    EXPECT_EQ(std::count(Tray().begin(), Tray().end(), kNotice), 1);

    TrayMessage(tray::messages::kLeftButtonUp);
    ExpectShownNormally();
    EXPECT_EQ(View().focused, 1);

    Minimize();
    EXPECT_FALSE(View().visible);
    EXPECT_EQ(TrayCount("balloon"), 1u) << "the second hiding is silent";
    EXPECT_TRUE(Reports().empty());
}

TEST_F(TrayWindowTest, TheNoticeGoesDownAfterFiveSecondsIfTheShellHasNotClosedIt) {
    Minimize();
    tray_->FireBalloonTimer();
    EXPECT_EQ(Tray().back(), "hide balloon");
}

TEST_F(TrayWindowTest, OtherResizesDoNothing) {
    form_->Form_Resize(false);
    EXPECT_TRUE(View().visible);
    EXPECT_FALSE(form_->MinimizedToTray());
    EXPECT_EQ(TrayCount("balloon"), 0u);
}

TEST_F(TrayWindowTest, EitherButtonsReleaseBringsTheWindowBackButNoOtherMessage) {
    Minimize();
    for (int other : {tray::messages::kMouseMove, tray::messages::kLeftButtonDown, tray::messages::kRightButtonDown,
                      tray::messages::kLeftButtonDoubleClick, tray::messages::kMiddleButtonUp}) {
        TrayMessage(other);
        EXPECT_FALSE(View().visible) << other;
    }
    TrayMessage(tray::messages::kRightButtonUp);
    ExpectShownNormally();
    TrayMessage(tray::messages::kLeftButtonUp); // a release while shown gives the focus again
    ExpectShownNormally();
    EXPECT_EQ(View().focused, 2);
}

TEST_F(TrayWindowTest, StartInTheTrayStoresItsChoice) {
    form_->Check9_Click(true);
    EXPECT_EQ(store_.Stored("Minimized"), "On");
    form_->Check9_Click(false);
    EXPECT_EQ(store_.Stored("Minimized"), "Off");
}

TEST_F(TrayWindowTest, StartingWithTheSystemWritesTheEntryAndUntickingItClearsTheTrayChoice) {
    form_->Check10_Click(true);
    EXPECT_EQ(store_.Stored("Windows Startup"), "On");
    EXPECT_EQ(startup_.calls, std::vector<std::string>{"add"});
    EXPECT_TRUE(View().BoxVisible(FormCheckBox::Check9));
    form_->Check9_Click(true);

    form_->Check10_Click(false);
    EXPECT_FALSE(View().Checked(FormCheckBox::Check9));
    EXPECT_FALSE(View().BoxVisible(FormCheckBox::Check9));
    EXPECT_EQ(store_.Stored("Minimized"), "Off");
    EXPECT_EQ(store_.Stored("Windows Startup"), "Off");
    EXPECT_EQ(startup_.calls, (std::vector<std::string>{"add", "remove"}));

    form_->Check10_Click(true);
    EXPECT_TRUE(View().BoxVisible(FormCheckBox::Check9));
    EXPECT_FALSE(View().Checked(FormCheckBox::Check9));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(TrayWindowTest, UntickingStartWithTheSystemLeavesAnUntickedTrayChoiceAlone) {
    store_.values["Minimized"] = "unchanged";
    form_->Check10_Click(false);
    EXPECT_EQ(store_.Stored("Minimized"), "unchanged") << "no change of the box, no click";
    EXPECT_FALSE(View().BoxVisible(FormCheckBox::Check9));
}

TEST_F(TrayWindowTest, AStoreThatCannotBeWrittenIsReportedAndTheBoxesGoOn) {
    store_.writesFail = true;
    form_->Check10_Click(true);
    form_->Check9_Click(true);
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_NE(Reports()[0].find("in Quillmere2021/08/31.Form1.Check10_Click at line 106"), std::string::npos);
    EXPECT_NE(Reports()[1].find("in Quillmere2021/08/31.Form1.Check9_Click at line 0"), std::string::npos);
    EXPECT_EQ(startup_.calls, std::vector<std::string>{"add"}) << "the entry is written all the same";
}

// A window on a desktop without a notification area: no icon could bring a hidden window back, so it stays
// minimized where the desktop keeps it.
class NoTrayWindowTest : public Form1Fixture {
protected:
    void SetUp() override { trayAvailable_ = false; }
};

TEST_F(NoTrayWindowTest, MinimizingLeavesTheWindowWithTheDesktop) {
    Load().ShowAfterLoad();
    View().minimized = true;
    form_->Form_Resize(true);
    EXPECT_TRUE(View().visible);
    EXPECT_FALSE(form_->MinimizedToTray());
    EXPECT_EQ(TrayCount("balloon"), 0u);
}

TEST_F(NoTrayWindowTest, AStartInTheTrayStartsMinimized) {
    store_.values["Minimized"] = "On";
    Load().ShowAfterLoad();
    tray_->FireAreaTimer(); // no tray came
    EXPECT_TRUE(View().Checked(FormCheckBox::Check9));
    EXPECT_TRUE(View().visible);
    EXPECT_TRUE(View().minimized);
    EXPECT_FALSE(form_->MinimizedToTray());
}

// At login a panel often starts after the programs: a start in the tray waits a while for one.
TEST_F(NoTrayWindowTest, AStartInTheTrayHidesInATrayThatComesLate) {
    store_.values["Minimized"] = "On";
    Load().ShowAfterLoad();
    EXPECT_FALSE(View().visible) << "nothing is shown while the start waits for a tray";
    EXPECT_EQ(tray_->areaTimer, 10'000);
    EXPECT_TRUE(IconInTray()) << "the icon is there to move into the tray when it comes";

    tray_->SetAvailable(true);
    EXPECT_FALSE(View().visible);
    EXPECT_TRUE(form_->MinimizedToTray());
    EXPECT_EQ(std::count(Tray().begin(), Tray().end(), kNotice), 1);
    TrayMessage(tray::messages::kLeftButtonUp);
    EXPECT_TRUE(View().visible);
    EXPECT_FALSE(View().minimized);
}

TEST_F(NoTrayWindowTest, AWaitThatEndsAfterTheCloseShowsNothing) {
    store_.values["Minimized"] = "On";
    Load().ShowAfterLoad();
    form_->Form_QueryUnload();
    tray_->FireAreaTimer();
    EXPECT_FALSE(View().visible);
    EXPECT_TRUE(Reports().empty());
}

// Were the window left hidden when its tray goes, nothing could bring it back.
TEST_F(TrayWindowTest, ATrayThatGoesGivesTheHiddenWindowBackMinimized) {
    Minimize();
    tray_->SetAvailable(false);
    EXPECT_TRUE(View().visible);
    EXPECT_TRUE(View().minimized);
    EXPECT_FALSE(form_->MinimizedToTray());

    tray_->SetAvailable(true);
    tray_->SetAvailable(false); // a tray that goes while the window is shown changes nothing
    EXPECT_TRUE(View().visible);
    EXPECT_TRUE(Reports().empty());
}

} // namespace
} // namespace quillmere::test
