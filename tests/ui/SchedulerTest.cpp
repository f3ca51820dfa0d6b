// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1Fixture.h"

#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTest>
#include <QTreeWidget>

namespace quillmere::test {
namespace {

const QString kNext = "Next sync will occur in ";

class SchedulerTest : public Form1Fixture {
protected:
    void SetUp() override {
        Store("OftenIndex", "1"); // every 5 seconds
        Load();
    }
};

TEST_F(SchedulerTest, FiveSecondsCountDownAndPassOnTheFifthTick) {
    for (const char* left : {"00:00:04", "00:00:03", "00:00:02", "00:00:01"}) {
        Tick();
        EXPECT_EQ(Status(), kNext + left);
        EXPECT_FALSE(runner_.Running());
    }
    Tick();
    EXPECT_EQ(form_->SavedStatusCaption, kNext + "00:00:00");
    EXPECT_EQ(Status(), "Sync is running in background...");
    EXPECT_EQ(form_->ProgressBar1->maximum(), 5);
    EXPECT_EQ(form_->ProgressBar1->value(), 5);
    ASSERT_TRUE(runner_.Running());

    Tick(3); // the pass's tick has not ended: the status line stays
    EXPECT_EQ(Status(), "Sync is running in background...");

    runner_.Finish();
    EXPECT_EQ(passes_, 1);
    EXPECT_TRUE(Status().startsWith("Auto Sync Complete at ")) << Status().toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(Status(), kNext + "00:00:00");
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:04");
    EXPECT_EQ(form_->ProgressBar1->value(), 1);
}

TEST_F(SchedulerTest, ClickingAnIntervalRestartsTheCountAndSavesItsIndex) {
    Tick(3);
    QTreeWidget* list = form_->ListView3;
    QTreeWidgetItem* tenSeconds = list->topLevelItem(1);
    {
        const QSignalBlocker quiet(list); // the selection a mouse press makes, then the click on release
        list->setCurrentItem(tenSeconds);
    }
    emit list->itemClicked(tenSeconds, 0);
    EXPECT_EQ(Stored("OftenIndex"), "2");
    EXPECT_EQ(form_->IntervalSeconds, 10);
    EXPECT_EQ(form_->ElapsedSeconds, 0);
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:09");
}

TEST_F(SchedulerTest, AKeyboardChangeOfTheIntervalActsLikeAClick) {
    Tick(2);
    form_->ListView3->setFocus();
    QTest::keyClick(form_->ListView3, Qt::Key_Down);
    EXPECT_EQ(Stored("OftenIndex"), "2");
    EXPECT_EQ(form_->ElapsedSeconds, 0);
}

TEST_F(SchedulerTest, AClickWithNoIntervalSelectedIsIgnored) {
    Tick(2);
    form_->ListView3->clearSelection();
    form_->ListView3_Click();
    EXPECT_EQ(form_->ElapsedSeconds, 2);
    EXPECT_EQ(Stored("OftenIndex"), "1");
}

TEST_F(SchedulerTest, TurningOffFreezesTheCountAndTurningOnResumesIt) {
    ASSERT_EQ(form_->PushButton13->text(), "Turn Off Auto Sync");
    Tick(2);
    form_->PushButton13_Click();
    EXPECT_EQ(form_->PushButton13->text(), "Turn On Auto Sync");
    EXPECT_EQ(form_->Timer1.Interval(), 0);
    EXPECT_EQ(Stored("StartStopState"), "Off");
    EXPECT_EQ(Status(), kNext + "00:00:03");
    EXPECT_EQ(form_->ProgressBar1->value(), 2);

    form_->PushButton13_Click();
    EXPECT_EQ(form_->PushButton13->text(), "Turn Off Auto Sync");
    EXPECT_EQ(form_->Timer1.Interval(), 1000);
    EXPECT_EQ(Stored("StartStopState"), "On");
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:02");
}

TEST_F(SchedulerTest, ATickWhileOffSaysSo) {
    form_->PushButton13_Click();
    Tick();
    EXPECT_EQ(Status(), "Auto Sync is Off.");
    EXPECT_EQ(form_->ElapsedSeconds, 0);
}

TEST_F(SchedulerTest, AButtonCaptionThatIsNeitherTextChangesNothing) {
    form_->PushButton13->setText("Auto Sync");
    form_->PushButton13_Click();
    EXPECT_EQ(form_->PushButton13->text(), "Auto Sync");
    EXPECT_EQ(form_->Timer1.Interval(), 1000);
    EXPECT_EQ(Stored("StartStopState"), "<absent>");
}

TEST_F(SchedulerTest, AManualPassShowsItsCaptionUntilFiveSecondsAfterItsEnd) {
    form_->PushButton13_Click(); // off
    const QString before = Status();
    form_->PushButton12_Click();
    EXPECT_EQ(Status(), "Syncing up files...");
    EXPECT_EQ(form_->Pointer().MousePointer(), look::WindowPointer::kHourglass);
    EXPECT_EQ(form_->cursor().shape(), Qt::WaitCursor);
    form_->ProgressBar1->setFormat("something else");

    runner_.Finish();
    EXPECT_EQ(passes_, 1);
    EXPECT_EQ(form_->Pointer().MousePointer(), look::WindowPointer::kDefault);
    EXPECT_EQ(form_->ProgressBar1->value(), 0);
    EXPECT_EQ(form_->ProgressBar1->format(), "Progress Bar");
    EXPECT_EQ(Status(), "Syncing up files...");
    EXPECT_TRUE(form_->ManualHoldRunning());

    form_->ManualHold_Timer();
    EXPECT_EQ(Status(), before);
    EXPECT_EQ(form_->ElapsedSeconds, 0);
}

TEST_F(SchedulerTest, ASyncNowClickDuringAPassRunsOnceThatPassHasEnded) {
    Tick(5);
    ASSERT_EQ(runner_.starts, 1);
    form_->PushButton12_Click();
    form_->PushButton12_Click();
    EXPECT_EQ(runner_.starts, 1);

    runner_.Finish();
    QCoreApplication::processEvents();
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
    EXPECT_EQ(form_->ElapsedSeconds, 0);
    runner_.Finish();
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:04");
}

TEST_F(SchedulerTest, ASecondClickDuringThePauseKeepsTheFirstCaption) {
    form_->PushButton13_Click();
    const QString before = Status();
    form_->PushButton12_Click();
    runner_.Finish();
    form_->PushButton12_Click();
    EXPECT_FALSE(form_->ManualHoldRunning());
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
    form_->ListView1->addTopLevelItem(new QTreeWidgetItem({"/one/"}));
    form_->Option2->setChecked(true);
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(lastDirection_, SyncDirection::Folder1ToFolder2);
    EXPECT_EQ(lastFolder1_, std::vector<std::string>{"/one/"});
    form_->Option3->setChecked(true);
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(lastDirection_, SyncDirection::Folder2ToFolder1);
}

} // namespace
} // namespace quillmere::test
