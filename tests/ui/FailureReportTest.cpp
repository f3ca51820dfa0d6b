// SPDX-License-Identifier: GPL-3.0-or-later
// The window tells what a pass could not do without a box per file: the status line, a note that opens the
// list, the tray tip and a balloon; and it takes them away after a pass that went well.
#include "Form1Fixture.h"

namespace quillmere::test {
namespace {

const std::string kFirstCause = "f0: No space left on device";

class FailureReportTest : public Form1Fixture {
protected:
    void SetUp() override {
        store_.values["OftenIndex"] = "1"; // every 5 seconds
        Load();
    }
    // The passes from now on fail on that many files and folders.
    void FailOn(int files, int folders) {
        duringPass_ = [=](const SyncSettings&, SyncObserver& observer) {
            platform::CopyOutcome full;
            full.cause = "No space left on device";
            for (int i = 0; i < files; ++i) {
                const std::string name = "f" + std::to_string(i);
                observer.NotCopied(Native("/one/" + name), Native("/two/" + name), full);
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
    std::string LastTip() const {
        std::string tip;
        for (const std::string& entry : Tray()) {
            if (entry.rfind("modify tip=", 0) == 0) {
                tip = entry.substr(11);
            }
        }
        return tip;
    }
};

TEST_F(FailureReportTest, AnAutomaticPassTellsItsFailuresWithoutABox) {
    FailOn(2, 1);
    AutomaticPass();
    const std::string summary = "2 files not copied, 1 folder not read";
    EXPECT_EQ(View().status, "Auto Sync Complete at " + now_ + ", " + summary);
    EXPECT_EQ(View().failureNote, summary + ". Show why...");
    EXPECT_EQ(LastTip(), "Quillmere\n" + summary + "\n" + kFirstCause);
    EXPECT_EQ(Tray().back(), "balloon title=Quillmere text=" + summary + "\n" + kFirstCause + " timeout=10000");
    EXPECT_TRUE(boxes_.shown.empty());
    ui_.ProcessPendingEvents(); // the countdown text comes back; the note stays
    EXPECT_EQ(View().status, "Next sync will occur in 00:00:00");
    EXPECT_EQ(View().failureNote, summary + ". Show why...");
}

TEST_F(FailureReportTest, AManualPassTellsItsFailuresToo) {
    FailOn(0, 1);
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(View().status, "Syncing up files...");
    EXPECT_EQ(View().failureNote, "1 folder not read. Show why...");
    EXPECT_EQ(Balloons(), 1u);
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
    EXPECT_EQ(LastTip(), "Quillmere");
    form_->PushButton14_Click();
    EXPECT_EQ(View().failureListShown, 0) << "no list of an earlier pass";

    ui_.ProcessPendingEvents();
    FailOn(1, 1);
    AutomaticPass();
    EXPECT_EQ(Balloons(), 2u) << "failing again after a good pass is news";
}

TEST_F(FailureReportTest, TheNoteOpensTheListOfTheLastPass) {
    FailOn(1, 1);
    ManualPass();
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
