// SPDX-License-Identifier: GPL-3.0-or-later
// The countdown, the Auto Sync switch, the manual pass and its pause, the choice of interval, the direction and
// whether replaced files are kept.
#include "Form1Fixture.h"

namespace quillmere::test {
namespace {

const std::string kNext = "Next sync will occur in ";

class SchedulerTest : public Form1Fixture {
protected:
    void SetUp() override {
        store_.values["OftenIndex"] = "1"; // every 5 seconds
        StorePair();
        Load();
    }
    const std::string& Status() { return View().status; }
};

TEST_F(SchedulerTest, FiveSecondsCountDownAndPassOnTheFifthTick) {
    for (const char* left : {"00:00:04", "00:00:03", "00:00:02", "00:00:01"}) {
        Tick();
        EXPECT_EQ(Status(), kNext + left);
        EXPECT_FALSE(runner_.Running());
    }
    Tick();
    EXPECT_EQ(form_->SavedStatusCaption(), kNext + "00:00:00");
    EXPECT_EQ(Status(), "Sync is running in background...");
    EXPECT_EQ(View().progressMaximum, 5);
    EXPECT_EQ(View().progressValue, 5);
    ASSERT_TRUE(runner_.Running());

    Tick(3); // the pass's tick has not ended: the status line stays
    EXPECT_EQ(Status(), "Sync is running in background...");

    runner_.Finish();
    EXPECT_EQ(passes_, 1);
    EXPECT_EQ(Status(), "Auto Sync Complete at 31/08/2021 10:00");
    ui_.ProcessPendingEvents();
    EXPECT_EQ(Status(), kNext + "00:00:00");
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:04");
    EXPECT_EQ(View().progressValue, 1);
}

TEST_F(SchedulerTest, ClickingAnIntervalRestartsTheCountAndSavesItsIndex) {
    Tick(3);
    form_->ListView3_Click(1); // "Sync every 10 seconds"
    EXPECT_EQ(store_.Stored("OftenIndex"), "2");
    EXPECT_EQ(form_->IntervalSeconds(), 10);
    EXPECT_EQ(form_->ElapsedSeconds(), 0);
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:09");
}

TEST_F(SchedulerTest, AClickWithNoIntervalSelectedIsIgnored) {
    Tick(2);
    form_->ListView3_Click(std::nullopt);
    EXPECT_EQ(form_->ElapsedSeconds(), 2);
    EXPECT_EQ(store_.Stored("OftenIndex"), "1");
}

TEST_F(SchedulerTest, TurningOffFreezesTheCountAndTurningOnResumesIt) {
    ASSERT_EQ(View().autoSyncCaption, "Turn Off Auto Sync");
    ASSERT_TRUE(timer1_.running);
    Tick(2);
    form_->PushButton13_Click();
    EXPECT_EQ(View().autoSyncCaption, "Turn On Auto Sync");
    EXPECT_FALSE(timer1_.running);
    EXPECT_EQ(store_.Stored("StartStopState"), "Off");
    EXPECT_EQ(Status(), kNext + "00:00:03");
    EXPECT_EQ(View().progressValue, 2);

    form_->PushButton13_Click();
    EXPECT_EQ(View().autoSyncCaption, "Turn Off Auto Sync");
    EXPECT_TRUE(timer1_.running);
    EXPECT_EQ(timer1_.interval, 1000);
    EXPECT_EQ(store_.Stored("StartStopState"), "On");
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:02");
}

TEST_F(SchedulerTest, ATickWhileOffSaysSo) {
    form_->PushButton13_Click();
    Tick();
    EXPECT_EQ(Status(), "Auto Sync is Off.");
    EXPECT_EQ(form_->ElapsedSeconds(), 0);
}

TEST_F(SchedulerTest, AManualPassShowsItsCaptionUntilFiveSecondsAfterItsEnd) {
    form_->PushButton13_Click(); // off
    const std::string before = Status();
    form_->PushButton12_Click();
    EXPECT_EQ(Status(), "Syncing up files...");
    EXPECT_EQ(View().pointer, MousePointer::Hourglass);
    View().progressText = "something else";

    runner_.Finish();
    EXPECT_EQ(passes_, 1);
    EXPECT_EQ(View().pointer, MousePointer::Default);
    EXPECT_EQ(View().progressValue, 0);
    EXPECT_EQ(View().progressText, "Progress Bar");
    EXPECT_EQ(Status(), "Syncing up files...");
    EXPECT_TRUE(manualHold_.running);
    EXPECT_EQ(manualHold_.interval, 5000);

    form_->ManualHold_Timer();
    EXPECT_FALSE(manualHold_.running) << "the pause ends once";
    EXPECT_EQ(Status(), before);
    EXPECT_EQ(form_->ElapsedSeconds(), 0);
}

TEST_F(SchedulerTest, ASyncNowClickDuringAPassRunsOnceThatPassHasEnded) {
    Tick(5);
    ASSERT_EQ(runner_.starts, 1);
    form_->PushButton12_Click();
    form_->PushButton12_Click();
    EXPECT_EQ(runner_.starts, 1);

    runner_.Finish();
    ui_.ProcessPendingEvents();
    EXPECT_EQ(runner_.starts, 2);
    EXPECT_EQ(Status(), "Syncing up files...");
    runner_.Finish();
    EXPECT_EQ(passes_, 2);
    EXPECT_FALSE(runner_.Running());
    form_->ManualHold_Timer();
    EXPECT_EQ(Status(), kNext + "00:00:00");
}

TEST_F(SchedulerTest, ADueTickDuringAManualPassSkipsItsPassAndCountsAgain) {
    Tick(3);
    form_->PushButton12_Click();
    Tick(2);
    EXPECT_EQ(runner_.starts, 1);
    EXPECT_EQ(form_->ElapsedSeconds(), 0);
    runner_.Finish();
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:04");
}

TEST_F(SchedulerTest, ASecondClickDuringThePauseKeepsTheFirstCaption) {
    form_->PushButton13_Click();
    const std::string before = Status();
    form_->PushButton12_Click();
    runner_.Finish();
    form_->PushButton12_Click();
    EXPECT_FALSE(manualHold_.running);
    runner_.Finish();
    form_->ManualHold_Timer();
    EXPECT_EQ(Status(), before);
}

TEST_F(SchedulerTest, ThePauseEndingDuringAnAutomaticPassLeavesThatPassItsStatus) {
    form_->PushButton12_Click();
    runner_.Finish();
    Tick(5); // the count reaches the interval during the pause
    ASSERT_EQ(Status(), "Sync is running in background...");
    form_->ManualHold_Timer();
    EXPECT_EQ(Status(), "Sync is running in background...");
}

TEST_F(SchedulerTest, ThePassReadsTheDirectionAndTheFoldersOfTheWindow) {
    form_->ListView1_DblClick(0);
    chooser_.answers = {Native("/one")};
    form_->PushButton3_Click();
    form_->Options_Click(SyncDirection::Folder1ToFolder2);
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(lastDirection_, SyncDirection::Folder1ToFolder2);
    EXPECT_EQ(lastFolder1_, Native("/one/"));
    form_->Options_Click(SyncDirection::Folder2ToFolder1);
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(lastDirection_, SyncDirection::Folder2ToFolder1);
}

TEST_F(SchedulerTest, TheDirectionChosenDuringAPassAppliesToTheRestOfIt) {
    SyncDirection later = SyncDirection::None;
    duringPass_ = [&](const SyncSettings& settings, SyncObserver&) {
        form_->Options_Click(SyncDirection::Folder2ToFolder1);
        later = settings.Direction();
    };
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(lastDirection_, SyncDirection::BothWays);
    EXPECT_EQ(later, SyncDirection::Folder2ToFolder1);
}

// "Keep replaced files in the Trash": the box shows the stored choice, a click stores it, and every pass reads
// it afresh as it starts.
class KeepReplacedTest : public Form1Fixture {
protected:
    void SetUp() override { StorePair(); }
};

// Losing a replaced file is worse than keeping one: only an exact "Off" replaces outright.
TEST_F(KeepReplacedTest, TheStoredChoiceSetsTheBoxAndThePass) {
    const std::pair<const char*, bool> cases[] = {{"On", true}, {"Off", false}, {"off", true}, {"", true}};
    for (const auto& [stored, kept] : cases) {
        store_.values["Keep Replaced"] = stored;
        Load();
        EXPECT_EQ(View().Checked(FormCheckBox::Check11), kept) << stored;
        form_->PushButton12_Click();
        runner_.Finish();
        EXPECT_EQ(lastOptions_.keepReplaced, kept) << stored;
        EXPECT_FALSE(lastOptions_.dryRun);
    }
}

TEST_F(KeepReplacedTest, AClickIsStoredAndEachPassReadsTheStoreAfresh) {
    Load();
    form_->Check11_Click(false);
    EXPECT_EQ(store_.Stored("Keep Replaced"), "Off");
    store_.values["Keep Replaced"] = "On"; // as a second copy of the program stores it
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_TRUE(lastOptions_.keepReplaced);
}

} // namespace
} // namespace quillmere::test
