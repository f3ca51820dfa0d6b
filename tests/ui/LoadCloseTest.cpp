// SPDX-License-Identifier: GPL-3.0-or-later
// The load step restores the last run's state; the close request saves the folders and ends the program.
#include "Form1Fixture.h"

#include "tray/TrayMessages.h"

namespace quillmere::test {
namespace {

using LoadCloseTest = Form1Fixture;
using Texts = std::vector<std::string>;

TEST_F(LoadCloseTest, AFirstRunStartsCountingEveryMinuteWithNoFolders) {
    Load();
    ScriptedView& view = View();
    EXPECT_EQ(view.caption, "Quillmere");
    EXPECT_TRUE(view.programIcon);
    EXPECT_EQ(view.applicationTitle, "Quillmere");
    EXPECT_TRUE(view.entries[FormList::ListView1].empty());
    EXPECT_TRUE(view.entries[FormList::ListView2].empty());
    const Texts& intervals = View().entries[FormList::ListView3];
    ASSERT_EQ(intervals.size(), 15u);
    EXPECT_EQ(intervals.front(), "Sync every 5 seconds");
    EXPECT_EQ(intervals.back(), "Sync every 24 hours");
    EXPECT_EQ(View().headers[FormList::ListView1], "Folder 1");
    EXPECT_EQ(View().headers[FormList::ListView2], "Folder 2");
    EXPECT_EQ(View().headers[FormList::ListView3], "How often would you like to sync?");
    EXPECT_EQ(view.SelectedText(FormList::ListView3), "Sync every minute");
    EXPECT_EQ(view.autoSyncCaption, "Turn Off Auto Sync");
    EXPECT_TRUE(timer1_.running);
    EXPECT_EQ(timer1_.interval, 1000);
    EXPECT_EQ(view.status, "Next sync will occur in ");
    EXPECT_EQ(view.progressText, "Progress Bar");
    EXPECT_FALSE(view.Checked(FormCheckBox::Check9));
    EXPECT_FALSE(view.Checked(FormCheckBox::Check10));
    EXPECT_TRUE(view.Checked(FormCheckBox::Check11)) << "replaced files are kept unless told otherwise";
    EXPECT_FALSE(form_->FormLoading());
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_TRUE(store_.values.empty()) << "a first run stores nothing";
    EXPECT_EQ(view.lookLoads, Texts({"skin from /opt/quillmere", "cursor from /opt/quillmere"}));
    EXPECT_EQ(Tray(), Texts({"hook", "add icon=tray tip=Quillmere"}));
    form_->ShowAfterLoad();
    EXPECT_TRUE(view.visible);
    EXPECT_FALSE(view.minimized);
    EXPECT_TRUE(opened_.empty());
}

TEST_F(LoadCloseTest, StoredValuesComeBackAsStored) {
    store_.values = {{"Folder 1", "C:\\Data\\"}, {"OftenIndex", "15"}, {"StartStopState", "Off"}};
    Load();
    EXPECT_EQ(View().entries[FormList::ListView1], Texts{"C:\\Data\\"});
    EXPECT_TRUE(View().entries[FormList::ListView2].empty());
    EXPECT_EQ(View().SelectedText(FormList::ListView3), "Sync every 24 hours");
    EXPECT_EQ(View().autoSyncCaption, "Turn On Auto Sync");
    EXPECT_EQ(View().status, "Auto Sync is Turned Off.");
    EXPECT_FALSE(timer1_.running);
}

TEST_F(LoadCloseTest, AnUnknownAutoSyncStateLeavesTheDesignAndAClickTurnsItOn) {
    store_.values["StartStopState"] = "off";
    Load();
    EXPECT_EQ(View().autoSyncCaption, "Turn On Auto Sync");
    EXPECT_EQ(View().status, "Next sync will occur in ");
    EXPECT_FALSE(timer1_.running);
    form_->PushButton13_Click();
    EXPECT_EQ(View().autoSyncCaption, "Turn Off Auto Sync");
    EXPECT_TRUE(timer1_.running);
    EXPECT_EQ(store_.Stored("StartStopState"), "On");
}

TEST_F(LoadCloseTest, AStoredIndexMayCarryBlanksAndASign) {
    for (const char* stored : {" 2 ", "+2", "\t2\n"}) {
        store_.values["OftenIndex"] = stored;
        Load();
        EXPECT_EQ(View().SelectedText(FormList::ListView3), "Sync every 10 seconds") << stored;
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(LoadCloseTest, OnlyAnExactOnTicksTheStartupBoxes) {
    store_.values = {{"Windows Startup", "on"}, {"Minimized", "ON"}};
    Load();
    EXPECT_FALSE(View().Checked(FormCheckBox::Check10));
    EXPECT_FALSE(View().Checked(FormCheckBox::Check9));
    EXPECT_EQ(store_.Stored("Minimized"), "ON") << "a box left as it was stores nothing";
}

TEST_F(LoadCloseTest, StartingWithTheSystemLeavesTheStartupEntryAlone) {
    store_.values["Windows Startup"] = "On";
    Load();
    EXPECT_TRUE(View().Checked(FormCheckBox::Check10));
    EXPECT_TRUE(View().BoxVisible(FormCheckBox::Check9));
    EXPECT_TRUE(startup_.calls.empty());
    EXPECT_EQ(store_.Stored("Windows Startup"), "On");
}

TEST_F(LoadCloseTest, StartingInTheTrayLeavesOnlyTheIconAndTheNotice) {
    store_.values["Minimized"] = "On";
    Load();
    form_->ShowAfterLoad();
    EXPECT_TRUE(View().Checked(FormCheckBox::Check9));
    EXPECT_EQ(store_.Stored("Minimized"), "On");
    EXPECT_FALSE(View().visible);
    EXPECT_TRUE(form_->MinimizedToTray());
    EXPECT_TRUE(IconInTray());
    EXPECT_EQ(TrayCount("balloon title=Quillmere text=has been minimized"), 1u);
    EXPECT_FALSE(form_->FormLoading());
    EXPECT_TRUE(boxes_.shown.empty());

    TrayMessage(tray::messages::kLeftButtonUp);
    EXPECT_TRUE(View().visible);
    EXPECT_FALSE(View().minimized);
}

TEST_F(LoadCloseTest, AnIndexOutsideTheListIsReportedOnceAndSelectsNothing) {
    for (const char* stored : {"0", "16", "-1"}) {
        boxes_.shown.clear();
        store_.values["OftenIndex"] = stored;
        Load();
        EXPECT_EQ(View().SelectedText(FormList::ListView3), "") << stored;
        ASSERT_EQ(Reports().size(), 1u) << stored;
        EXPECT_TRUE(
            Reports()[0].starts_with("Index out of bounds\r\nin Quillmere2021/08/31.Form1.Form_Load at line 120"));
        EXPECT_TRUE(timer1_.running) << "the load went on";
    }
}

TEST_F(LoadCloseTest, AnIndexThatIsNoNumberIsReportedTwice) {
    for (const char* stored : {"abc", "", "2x", "99999999999"}) {
        boxes_.shown.clear();
        store_.values["OftenIndex"] = stored;
        Load();
        EXPECT_EQ(View().SelectedText(FormList::ListView3), "") << stored;
        ASSERT_EQ(Reports().size(), 2u) << stored;
        EXPECT_TRUE(Reports()[0].starts_with("Type mismatch\r\nin Quillmere2021/08/31.Form1.Form_Load at line 118"));
        EXPECT_TRUE(
            Reports()[1].starts_with("Index out of bounds\r\nin Quillmere2021/08/31.Form1.Form_Load at line 120"));
    }
}

TEST_F(LoadCloseTest, AnIndexBeyondSixteenBitsOverflows) {
    store_.values["OftenIndex"] = "40000";
    Load();
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_TRUE(Reports()[0].starts_with("Overflow\r\nin Quillmere2021/08/31.Form1.Form_Load at line 118"));
}

TEST_F(LoadCloseTest, ASkinOrCursorThatCannotBeUsedIsReportedAndTheLoadGoesOn) {
    Make();
    View().skinFailure = "Cannot read the skin file";
    View().cursorFailure = "Invalid picture";
    form_->Form_Load();
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_TRUE(
        Reports()[0].starts_with("Cannot read the skin file\r\nin Quillmere2021/08/31.Form1.Form_Load at line 102"));
    EXPECT_TRUE(Reports()[1].starts_with("Invalid picture\r\nin Quillmere2021/08/31.Form1.Form_Load at line 104"));
    EXPECT_EQ(View().entries[FormList::ListView3].size(), 15u);
    EXPECT_TRUE(IconInTray());
}

TEST_F(LoadCloseTest, ClosingSavesBothFoldersAndAnEmptiedListAsEmpty) {
    store_.values["Folder 1"] = "/old/";
    Load();
    chooser_.answers = {Native("/two")};
    form_->PushButton1_Click();
    form_->ListView1_DblClick(0);
    form_->Form_QueryUnload();
    EXPECT_EQ(store_.Stored("Folder 1"), "");
    EXPECT_EQ(store_.Stored("Folder 2"), Native("/two/"));

    Load();
    EXPECT_TRUE(View().entries[FormList::ListView1].empty());
    EXPECT_EQ(View().entries[FormList::ListView2], Texts{Native("/two/")});
}

TEST_F(LoadCloseTest, ClosingTakesTheIconDownOnceAndEndsTheProgram) {
    Load();
    form_->ShowAfterLoad();
    form_->Form_QueryUnload();
    EXPECT_FALSE(IconInTray());
    EXPECT_TRUE(View().ended);
    const std::size_t traffic = Tray().size();
    View().ended = false;
    form_->Form_QueryUnload(); // the end of a session may ask again
    EXPECT_FALSE(View().ended);
    EXPECT_EQ(Tray().size(), traffic);
}

TEST_F(LoadCloseTest, ClosingLetsWaitingEventsRunAfterTheIconIsDown) {
    Load();
    bool iconInTrayThen = true;
    ui_.Post([&] { iconInTrayThen = IconInTray(); });
    form_->Form_QueryUnload();
    EXPECT_FALSE(iconInTrayThen);
    EXPECT_EQ(ui_.Waiting(), 0u);
}

TEST_F(LoadCloseTest, AFailedSaveOnClosingStillTakesTheIconDown) {
    Load();
    store_.writesFail = true;
    form_->Form_QueryUnload();
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_NE(Reports()[0].find("Form1.Form_QueryUnload at line 100"), std::string::npos);
    EXPECT_NE(Reports()[1].find("Form1.Form_QueryUnload at line 102"), std::string::npos);
    EXPECT_FALSE(IconInTray());
    EXPECT_TRUE(View().ended);
}

TEST_F(LoadCloseTest, ClosingWhileHiddenInTheTraySavesTheFolders) {
    store_.values = {{"Minimized", "On"}, {"Folder 1", "/one/"}};
    Load();
    chooser_.answers = {Native("/two")};
    form_->PushButton1_Click();
    form_->Form_QueryUnload();
    EXPECT_EQ(store_.Stored("Folder 1"), "/one/");
    EXPECT_EQ(store_.Stored("Folder 2"), Native("/two/"));
    EXPECT_FALSE(IconInTray());
}

TEST_F(LoadCloseTest, ClosingStopsTheCountdownAndEveryLaterPass) {
    Load();
    form_->PushButton12_Click();
    form_->Form_QueryUnload();
    EXPECT_FALSE(timer1_.running);
    EXPECT_FALSE(manualHold_.running);
    EXPECT_FALSE(runner_.Running()) << "the pass was stopped and waited for";
    form_->PushButton12_Click(); // as a handler waiting in a message box during the close would
    EXPECT_EQ(runner_.starts, 1);
}

// A copy of a large file may take minutes: the close waits a moment for the pass to stop between two files, then
// saves, takes the icon down and ends the process, as a desktop would otherwise offer to kill a frozen window.
TEST_F(LoadCloseTest, ClosingDuringACopyThatCannotFinishInTimeEndsAtOnceAfterSaving) {
    std::vector<std::string> whenEnded;
    endAtOnce_ = [&] {
        whenEnded = {store_.Stored("Folder 1"), store_.Stored("Folder 2"), IconInTray() ? "icon" : ""};
    };
    Load();
    chooser_.answers = {Native("/one"), Native("/two")};
    form_->PushButton3_Click();
    form_->PushButton1_Click();
    form_->PushButton12_Click();
    runner_.stuck = true;
    form_->Form_QueryUnload();
    EXPECT_EQ(whenEnded, (std::vector<std::string>{Native("/one/"), Native("/two/"), ""}));
    EXPECT_GT(runner_.waitedFor.count(), 0);
    EXPECT_LE(runner_.waitedFor, std::chrono::seconds(1));
}

TEST_F(LoadCloseTest, ClosingWaitsForAPassThatStopsBetweenTwoFiles) {
    Load();
    form_->PushButton12_Click();
    form_->Form_QueryUnload(); // the fixture's endAtOnce fails the test if called
    EXPECT_FALSE(runner_.Running());
    EXPECT_TRUE(View().ended);
}

} // namespace
} // namespace quillmere::test
