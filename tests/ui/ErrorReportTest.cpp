// SPDX-License-Identifier: GPL-3.0-or-later
// The standard error report: its box, its text, and faults that repeat on every tick shown once.
#include "Form1Fixture.h"

#include "ui/main/ErrorReport.h"
#include "ui/main/RepeatedReportFilter.h"

#include <algorithm>

namespace quillmere::test {
namespace {

class ErrorReportTest : public Form1Fixture {
protected:
    void SetUp() override {
        store_.values["OftenIndex"] = "99"; // nothing selected at start
        StorePair();
        Load();
        boxes_.shown.clear();
    }
};

TEST_F(ErrorReportTest, ATickWithoutAnIntervalShowsTheStandardReport) {
    Tick();
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_TRUE(boxes_.shown[0].warning);
    EXPECT_EQ(boxes_.shown[0].title, "Application Error");
    EXPECT_EQ(boxes_.shown[0].text,
              FormatErrorReport({"in Quillmere2021/08/31.Form1.Timer1 ", 102, "No sync interval is selected"}));
    // The tick went on with the interval it had: never a negative time left.
    EXPECT_EQ(View().status, "Next sync will occur in 00:00:00");
}

TEST(ErrorReportText, AsksForAScreenshotOnlyWhereTheBuildNamesAnAddress) {
    const TrappedError error{"in Quillmere2021/08/31.Form1.Timer1 ", 102, "No sync interval is selected"};
    EXPECT_EQ(FormatErrorReport(error, "help@quillmere.example.org"),
              "No sync interval is selected\r\nin Quillmere2021/08/31.Form1.Timer1 at line 102\r\r"
              "Please email screenshot of this message to help@quillmere.example.org");
    EXPECT_EQ(FormatErrorReport(error, ""),
              "No sync interval is selected\r\nin Quillmere2021/08/31.Form1.Timer1 at line 102");
}

TEST_F(ErrorReportTest, TheSameFaultOnEveryTickIsShownOnceUntilItsCauseChanges) {
    Tick(5);
    EXPECT_EQ(Reports().size(), 1u);

    form_->ListView3_Click(0);
    Tick();
    EXPECT_EQ(form_->IntervalSeconds(), 5);
    EXPECT_EQ(Reports().size(), 1u);
}

// A Ctrl+click on the selected interval takes the selection away; the list puts it back, and no tick misses it.
TEST_F(ErrorReportTest, AnIntervalOnceChosenStaysSelected) {
    form_->ListView3_Click(2);
    Tick();
    boxes_.shown.clear();
    View().selected[FormList::ListView3].reset();
    form_->ListView3_Click(std::nullopt);
    EXPECT_EQ(View().SelectedText(FormList::ListView3), "Sync every 30 seconds");
    Tick(3);
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(form_->ElapsedSeconds(), 4) << "putting the selection back is no new choice";
}

TEST_F(ErrorReportTest, AStoreThatCannotBeWrittenIsReportedAndTheSwitchGoesOn) {
    store_.writesFail = true;
    form_->PushButton13_Click();
    EXPECT_EQ(View().autoSyncCaption, "Turn On Auto Sync");
    EXPECT_FALSE(timer1_.running);
    form_->PushButton13_Click();
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_NE(Reports()[0].find("in Quillmere2021/08/31.Form1.PushButton13_Click at line 116"), std::string::npos);
    EXPECT_NE(Reports()[1].find("in Quillmere2021/08/31.Form1.PushButton13_Click at line 108"), std::string::npos);
}

TEST_F(ErrorReportTest, AnIntervalThatCannotBeStoredStillRestartsTheCount) {
    store_.writesFail = true;
    Tick(2);
    form_->ListView3_Click(2);
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_NE(Reports()[1].find("Form1.ListView3_Click at line 100"), std::string::npos);
    EXPECT_EQ(form_->IntervalSeconds(), 30);
    EXPECT_EQ(form_->ElapsedSeconds(), 0);
}

TEST_F(ErrorReportTest, AFailingPassIsReportedUnderTheHandlerThatStartedIt) {
    duringPass_ = [](const SyncSettings&, SyncObserver&) { throw std::runtime_error("Out of memory"); };
    form_->ListView3_Click(0);
    Tick(5);
    runner_.Finish();
    ui_.ProcessPendingEvents();
    form_->PushButton12_Click();
    runner_.Finish();
    ui_.ProcessPendingEvents();
    ASSERT_EQ(Reports().size(), 2u);
    EXPECT_TRUE(Reports()[0].starts_with("Out of memory\r\nin Quillmere2021/08/31.Form1.Timer1 at line 120"));
    EXPECT_TRUE(
        Reports()[1].starts_with("Out of memory\r\nin Quillmere2021/08/31.Form1.PushButton12_Click at line 106"));
}

TEST_F(ErrorReportTest, ThePassesOwnReportsAreShownOnTheUiThreadUnlessTheWindowClosed) {
    duringPass_ = [](const SyncSettings&, SyncObserver& observer) {
        observer.Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "Access denied"});
    };
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_TRUE(Reports().empty()) << "not from the pass's thread";
    ui_.ProcessPendingEvents();
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(Reports()[0].starts_with("Access denied\r\nin Quillmere2021/08/31.modSync.SyncFolders at line 162"));

    form_->PushButton12_Click();
    runner_.Finish();
    form_->Form_QueryUnload();
    ui_.ProcessPendingEvents();
    EXPECT_EQ(Reports().size(), 1u) << "a report on its way when the window closed is dropped";
}

TEST(RepeatedReportFilterTest, HoldsBackOnlyTheReportAlreadyShown) {
    RecordingBoxes boxes;
    ErrorReport report(boxes);
    RepeatedReportFilter filter(report);
    const TrappedError a{"in Quillmere2021/08/31.Form1.Timer1 ", 102, "a"};
    const TrappedError b{"in Quillmere2021/08/31.Form1.Timer1 ", 102, "b"};
    filter.Report(a);
    filter.Report(a);
    filter.Report(b);
    filter.Report(a);
    EXPECT_EQ(boxes.shown.size(), 2u);
    filter.Succeeded(104);
    filter.Report(a);
    EXPECT_EQ(boxes.shown.size(), 2u);
    filter.Succeeded(102);
    filter.Report(a);
    EXPECT_EQ(boxes.shown.size(), 3u);
}

// A box lets events run, and with them the pass's next report: it waits until the box on screen is closed.
TEST(ErrorReportBoxesTest, AReportArrivingWhileABoxIsUpIsShownAfterIt) {
    class NestingBoxes : public RecordingBoxes {
    public:
        ErrorReport* report = nullptr;
        int open = 0;
        int deepest = 0;
        void Warn(const std::string& title, const std::string& text) override {
            deepest = std::max(deepest, ++open);
            RecordingBoxes::Warn(title, text);
            if (shown.size() == 1) {
                report->Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "second"});
            }
            --open;
        }
    } boxes;
    ErrorReport report(boxes);
    boxes.report = &report;
    report.Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "first"});
    EXPECT_EQ(boxes.deepest, 1);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(boxes.shown[1].text.starts_with("second\r\n"));
}

} // namespace
} // namespace quillmere::test
