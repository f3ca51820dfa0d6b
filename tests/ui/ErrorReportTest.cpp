// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1Fixture.h"

#include "BuildValues.h"
#include "ui/main/ErrorReport.h"
#include "ui/main/RepeatedReportFilter.h"

#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace quillmere::test {
namespace {

class ErrorReportTest : public Form1Fixture {
protected:
    void SetUp() override {
        Store("OftenIndex", "99"); // nothing selected at start
        Load();
        boxes_.shown.clear();
    }
};

TEST_F(ErrorReportTest, ATickWithoutAnIntervalShowsTheStandardReport) {
    Tick();
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_TRUE(boxes_.shown[0].warning);
    EXPECT_EQ(boxes_.shown[0].title, "Application Error");
    EXPECT_EQ(boxes_.shown[0].text.toStdString(), std::string("No sync interval is selected\r\n"
                                                              "in Quillmere2021/08/31.Form1.Timer1 at line 102\r\r"
                                                              "Please email screenshot of this message to ") +
                                                      build::kSupportAddress);
    // The tick went on with the interval it had: never a negative time left.
    EXPECT_EQ(Status(), "Next sync will occur in 00:00:00");
}

TEST_F(ErrorReportTest, TheSameFaultOnEveryTickIsShownOnceUntilItsCauseChanges) {
    Tick(5);
    EXPECT_EQ(Reports().size(), 1);

    form_->ListView3->topLevelItem(0)->setSelected(true);
    Tick();
    form_->ListView3->clearSelection();
    Tick(3);
    EXPECT_EQ(Reports().size(), 2);
    EXPECT_EQ(form_->IntervalSeconds, 5); // the last interval that could be read
}

TEST_F(ErrorReportTest, AStoreThatCannotBeWrittenIsReportedAndTheSwitchGoesOn) {
    ASSERT_TRUE(QFile::remove(StoreFile()));
    ASSERT_TRUE(QDir().mkpath(StoreFile())); // a folder where the file should be
    form_->PushButton13_Click();
    EXPECT_EQ(form_->PushButton13->text(), "Turn On Auto Sync");
    EXPECT_EQ(form_->Timer1.Interval(), 0);
    form_->PushButton13_Click();
    ASSERT_EQ(Reports().size(), 2);
    EXPECT_TRUE(Reports()[0].contains("in Quillmere2021/08/31.Form1.PushButton13_Click at line 116\r\r"));
    EXPECT_TRUE(Reports()[1].contains("in Quillmere2021/08/31.Form1.PushButton13_Click at line 108\r\r"));
}

TEST(RepeatedReportFilterTest, HoldsBackOnlyTheReportAlreadyShown) {
    RecordingBoxes boxes;
    ErrorReport report(boxes, nullptr);
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
        void Warn(QWidget* owner, const QString& title, const QString& text) override {
            deepest = std::max(deepest, ++open);
            RecordingBoxes::Warn(owner, title, text);
            if (shown.size() == 1) {
                report->Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "second"});
            }
            --open;
        }
    } boxes;
    ErrorReport report(boxes, nullptr);
    boxes.report = &report;
    report.Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "first"});
    EXPECT_EQ(boxes.deepest, 1);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(boxes.shown[1].text.startsWith("second\r\n"));
}

} // namespace
} // namespace quillmere::test
