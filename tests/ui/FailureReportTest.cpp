// SPDX-License-Identifier: GPL-3.0-or-later
// The window tells what a pass could not do without a box per file: the status line, a note that opens the
// list, the tray tip and a balloon; and it takes them away after a pass that went well. The list is counted in
// full, one record a line, and bounded.
#include "Form1Fixture.h"
#include "ui/main/PassFailures.h"

namespace quillmere::test {
namespace {

TEST(PassFailuresTest, TheSummaryCountsEachKindInWords) {
    const std::tuple<int, int, int, std::string> cases[] = {
        {0, 0, 0, ""},
        {1, 0, 0, "1 file not copied"},
        {2, 0, 0, "2 files not copied"},
        {0, 1, 0, "1 folder not read"},
        {0, 0, 1, "1 replaced file not kept"},
        {3, 2, 2, "3 files not copied, 2 folders not read, 2 replaced files not kept"}};
    for (const auto& [files, folders, replaced, summary] : cases) {
        PassFailures failures;
        for (int i = 0; i < files; ++i) {
            failures.NotCopied(Native("/a/f"), Native("/b/f"), "Permission denied");
        }
        for (int i = 0; i < folders; ++i) {
            failures.NotRead(Native("/a/sub/"), "Permission denied");
        }
        for (int i = 0; i < replaced; ++i) {
            failures.NotKept(Native("/b/f"), "The drive has no Recycle Bin");
        }
        EXPECT_EQ(failures.Summary(), summary);
        EXPECT_EQ(failures.Empty(), summary.empty());
    }
}

TEST(PassFailuresTest, AFailingPassKeepsTheFirstLinesAndCountsTheRest) {
    PassFailures failures(2);
    for (const char* name : {"/a/1", "/a/2", "/a/3", "/a/4", "/a/5"}) {
        failures.NotCopied(Native(name), Native("/b/x"), "No space left on device");
    }
    const std::vector<std::string> lines = failures.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "failed " + Native("/a/1") + " -> " + Native("/b/x") + ": No space left on device");
    EXPECT_EQ(lines[2], "... and 3 more, not listed");
    EXPECT_EQ(failures.Summary(), "5 files not copied");
}

// The first failure in a few words, and one line per record, whatever a name holds.
TEST(PassFailuresTest, TheFirstCauseNamesTheFileAndNoNameBreaksALine) {
    PassFailures failures;
    failures.NotRead(Native("/a/two\nlines/"), "Permission denied");
    failures.NotCopied(Native("/a/deep/notes.txt"), Native("/b/notes.txt"), "File too large");
    EXPECT_EQ(failures.FirstCause(), "two\\nlines: Permission denied");
    EXPECT_EQ(failures.Lines().front(), "not read " + Native("/a/two\\nlines/") + ": Permission denied");
}

const std::string kFirstCause = "f0: No space left on device";

class FailureReportTest : public Form1Fixture {
protected:
    void SetUp() override {
        store_.values["OftenIndex"] = "1"; // every 5 seconds
        StorePair();
        Load();
    }
    // The passes from now on fail on that many files and folders.
    void FailOn(int files, int folders) {
        duringPass_ = [=](const SyncSettings&, SyncObserver& observer) {
            platform::CopyOutcome full;
            full.cause = "No space left on device";
            for (int i = 0; i < files; ++i) {
                observer.NotCopied(Native("/one/f" + std::to_string(i)), Native("/two/f" + std::to_string(i)), full);
            }
            for (int i = 0; i < folders; ++i) {
                observer.NotRead(Native("/one/locked" + std::to_string(i) + "/"), "Permission denied");
            }
        };
    }
    void AutomaticPass() {
        Tick(5);
        runner_.Finish();
    }
    void ManualPass() {
        form_->PushButton12_Click();
        runner_.Finish();
        form_->ManualHold_Timer();
    }
    std::size_t Balloons() const { return TrayCount("balloon title=Quillmere text="); }
};

TEST_F(FailureReportTest, AnAutomaticPassTellsItsFailuresWithoutABox) {
    FailOn(2, 1);
    AutomaticPass();
    const std::string summary = "2 files not copied, 1 folder not read";
    EXPECT_EQ(View().status, "Auto Sync Complete at " + now_ + ", " + summary);
    EXPECT_EQ(View().failureNote, summary + ". Show why...");
    EXPECT_EQ(TrayCount("modify tip=Quillmere\n" + summary + "\n" + kFirstCause), 1u);
    EXPECT_EQ(Tray().back(), "balloon title=Quillmere text=" + summary + "\n" + kFirstCause + " timeout=10000");
    EXPECT_TRUE(boxes_.shown.empty());
    ui_.ProcessPendingEvents(); // the countdown text comes back; the note stays
    EXPECT_EQ(View().status, "Next sync will occur in 00:00:00");
    EXPECT_EQ(View().failureNote, summary + ". Show why...");
}

// A file that fails at every pass of a five-second timer must not bring a balloon every five seconds.
TEST_F(FailureReportTest, FailuresLikeThoseOfThePassBeforeBringNoNewBalloon) {
    FailOn(1, 0);
    ManualPass();
    ManualPass();
    EXPECT_EQ(Balloons(), 1u);
    EXPECT_EQ(TrayCount("modify tip="), 1u);
    FailOn(2, 0);
    ManualPass();
    EXPECT_EQ(Balloons(), 2u);
}

TEST_F(FailureReportTest, APassThatGoesWellTakesTheFailuresAway) {
    FailOn(1, 1);
    AutomaticPass();
    ui_.ProcessPendingEvents();
    duringPass_ = nullptr;
    AutomaticPass();
    EXPECT_EQ(View().status, "Auto Sync Complete at " + now_);
    EXPECT_EQ(View().failureNote, "");
    EXPECT_EQ(Tray().back(), "modify tip=Quillmere");
    form_->PushButton14_Click();
    EXPECT_EQ(View().failureListShown, 0) << "no list of an earlier pass";
}

// Another pass (a second window, the command line) holds the folders: the pass ran none, and the window says so
// where it tells the failures.
TEST_F(FailureReportTest, APassThatDidNotRunSaysWhyInTheStatusLineAndTheNote) {
    duringPass_ = [](const SyncSettings&, SyncObserver& observer) {
        observer.NotRun("another pass is running on these folders");
    };
    AutomaticPass();
    EXPECT_EQ(View().status, "Auto Sync Complete at " + now_ + ", another pass is running on these folders");
    EXPECT_EQ(View().failureNote, "another pass is running on these folders. Show why...");
    form_->PushButton14_Click();
    EXPECT_EQ(View().failureList, std::vector<std::string>{"another pass is running on these folders"});
}

TEST_F(FailureReportTest, TheNoteOfAManualPassOpensItsList) {
    FailOn(1, 1);
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(View().status, "Syncing up files...");
    now_ = "later";
    form_->PushButton14_Click();
    EXPECT_EQ(View().failureListTitle, "Not copied or not read in the pass that ended at 31/08/2021 10:00");
    EXPECT_EQ(View().failureList,
              std::vector<std::string>(
                  {"failed " + Native("/one/f0") + " -> " + Native("/two/f0") + ": No space left on device",
                   "not read " + Native("/one/locked0/") + ": Permission denied"}));
}

} // namespace
} // namespace quillmere::test
