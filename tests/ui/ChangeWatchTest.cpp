// SPDX-License-Identifier: GPL-3.0-or-later
// "Sync as soon as files change": the box watches the pair, a change starts a pass by the quiet rule, the
// countdown goes on as before, two passes never run at once, and a doubt shows in the status frame. The watch is
// scripted and the quiet rule's clock is the test's: nothing waits for time to pass.
#include "Form1Fixture.h"

namespace quillmere::test {
namespace {

using std::chrono::milliseconds;
using Listed = std::optional<std::vector<std::string>>;

class ChangeWatchTest : public Form1Fixture {
protected:
    void SetUp() override {
        store_.values["OftenIndex"] = "1"; // every 5 seconds
        StorePair();
    }
    // Loads the window with the box ticked and lets its watch settle.
    void LoadWatching() {
        store_.values["Sync On Change"] = "On";
        Load();
        ASSERT_EQ(watchesLive_, 1);
        watch_->Settle();
    }
    // Lets the watching thread take what it was told, then runs what it handed to the UI thread.
    void Settle() {
        watch_->Settle();
        ui_.ProcessPendingEvents();
    }
    // A change on a side, then the quiet second: the pass it starts, still running.
    void ChangeAndWaitAQuietSecond(std::size_t side, const std::string& folder) {
        watch_->Change(side, folder);
        Settle();
        Advance(milliseconds(1000));
        watch_->TimeOut();
        Settle();
    }
    // The first pass of a watch reads both sides in full; the ones after it read what changed.
    void RunFirstPass() {
        ChangeAndWaitAQuietSecond(0, Native("/one/"));
        ASSERT_TRUE(runner_.Running());
        runner_.Finish();
        Settle();
    }
};

TEST_F(ChangeWatchTest, TheBoxIsOffAtFirstAndWatchesNothing) {
    Load();
    EXPECT_FALSE(View().Checked(FormCheckBox::Check12));
    EXPECT_EQ(watchesMade_, 0);
    EXPECT_EQ(store_.Stored("Sync On Change"), "<absent>") << "restoring the box is no click";
}

TEST_F(ChangeWatchTest, TickingWatchesThePairAndUntickingStopsIt) {
    Load();
    form_->Check12_Click(true);
    EXPECT_EQ(store_.Stored("Sync On Change"), "On");
    EXPECT_EQ(watchesLive_, 1);
    EXPECT_EQ(watchedFolders_, (std::vector<std::string>{Native("/one/"), Native("/two/")}));
    form_->Check12_Click(false);
    EXPECT_EQ(store_.Stored("Sync On Change"), "Off");
    EXPECT_EQ(watchesLive_, 0);
}

TEST_F(ChangeWatchTest, TheSettingIsRestoredAtTheNextStart) {
    Load();
    form_->Check12_Click(true);
    Load();
    EXPECT_TRUE(View().Checked(FormCheckBox::Check12));
    EXPECT_EQ(watchesLive_, 1);
    store_.values["Sync On Change"] = "Off";
    Load();
    EXPECT_FALSE(View().Checked(FormCheckBox::Check12));
    EXPECT_EQ(watchesLive_, 0);
}

// Without a pair, or with Auto Sync off, no pass can run and nothing is watched; a new folder makes the watch anew.
TEST_F(ChangeWatchTest, OnlyAPairThatCanRunIsWatched) {
    LoadWatching();
    form_->ListView1_DblClick(0);
    EXPECT_EQ(watchesLive_, 0);
    chooser_.answers = {Native("/three/")};
    form_->PushButton3_Click();
    EXPECT_EQ(watchesLive_, 1);
    EXPECT_EQ(watchesMade_, 2);
    EXPECT_EQ(watchedFolders_, (std::vector<std::string>{Native("/three/"), Native("/two/")}));
    form_->PushButton13_Click(); // Auto Sync off
    EXPECT_EQ(watchesLive_, 0);
    form_->PushButton13_Click();
    EXPECT_EQ(watchesLive_, 1);
}

// A change on either side starts a pass once the folders have been quiet for a second; that pass re-reads only the
// folders named, on the side they lie on.
TEST_F(ChangeWatchTest, AChangeOnEitherSideStartsAPassAfterAQuietSecond) {
    for (const std::size_t side : {0u, 1u}) {
        SCOPED_TRACE(side);
        LoadWatching();
        RunFirstPass();
        ASSERT_EQ(changesSeen_.size(), 1u);
        EXPECT_EQ(changesSeen_[0], WatchedPasses::Changes{});

        const std::string folder = Native(side == 0 ? "/one/sub/" : "/two/sub/");
        watch_->Change(side, folder);
        Settle();
        EXPECT_EQ(watch_->LastTimeout(), milliseconds(1000)) << "the wait lasts until the quiet second is over";
        Advance(milliseconds(999));
        watch_->TimeOut();
        Settle();
        EXPECT_FALSE(runner_.Running());
        Advance(milliseconds(1));
        watch_->TimeOut();
        Settle();
        ASSERT_TRUE(runner_.Running());
        runner_.Finish();
        ASSERT_EQ(changesSeen_.size(), 2u);
        WatchedPasses::Changes named;
        named[side] = std::vector<std::string>{folder};
        named[1 - side] = std::vector<std::string>{};
        EXPECT_EQ(changesSeen_[1], named);
        changesSeen_.clear();
    }
}

// Files that keep changing still start a pass ten seconds after the first change.
TEST_F(ChangeWatchTest, ChangesWithoutAPauseStartAPassAfterTenSeconds) {
    LoadWatching();
    for (int change = 0; change <= 10; ++change) { // one every 999 ms, from 0 to 9.99 s
        EXPECT_FALSE(runner_.Running()) << change;
        watch_->Change(0, Native("/one/log/"));
        Settle();
        Advance(milliseconds(999));
    }
    EXPECT_EQ(watch_->LastTimeout(), milliseconds(10)) << "the wait after the change at 9.99 s ends at 10 s";
    watch_->TimeOut();
    Settle();
    EXPECT_TRUE(runner_.Running());
}

TEST_F(ChangeWatchTest, TheCountdownGoesOnAndItsPassReadsBothSidesInFull) {
    LoadWatching();
    RunFirstPass();
    watch_->Change(1, Native("/two/sub/"));
    Settle();
    Tick(5);
    ASSERT_TRUE(runner_.Running());
    EXPECT_EQ(View().status, "Sync is running in background...");
    runner_.Finish();
    ui_.ProcessPendingEvents();
    EXPECT_EQ(changesSeen_.back(), WatchedPasses::Changes{}) << "the timed pass reads both sides in full";
    EXPECT_EQ(form_->ElapsedSeconds(), 0);
    Settle();
    Advance(milliseconds(5000));
    watch_->TimeOut();
    Settle();
    EXPECT_FALSE(runner_.Running()) << "the timed pass saw the change";
    EXPECT_EQ(changesSeen_.size(), 2u);
}

// The countdown is not held up by a change pass; its pass, due meanwhile, runs once the change pass has ended.
TEST_F(ChangeWatchTest, ACountdownPassDueDuringAChangePassRunsAfterIt) {
    LoadWatching();
    Tick(3);
    ChangeAndWaitAQuietSecond(0, Native("/one/"));
    ASSERT_TRUE(runner_.Running());
    Tick(2);
    EXPECT_EQ(View().status, "Next sync will occur in 00:00:00");
    EXPECT_EQ(runner_.starts, 1);
    runner_.Finish();
    ASSERT_EQ(runner_.starts, 2);
    EXPECT_EQ(View().status, "Sync is running in background...");
    runner_.Finish();
    EXPECT_EQ(changesSeen_.back(), WatchedPasses::Changes{});
}

TEST_F(ChangeWatchTest, AChangeDuringAPassStartsOneMorePassAfterIt) {
    LoadWatching();
    RunFirstPass();
    ChangeAndWaitAQuietSecond(0, Native("/one/a/"));
    ASSERT_EQ(runner_.starts, 2);
    watch_->Change(1, Native("/two/b/"));
    Settle();
    Advance(milliseconds(5000));
    watch_->TimeOut();
    Settle();
    EXPECT_EQ(runner_.starts, 2) << "two passes never run at once";
    runner_.Finish();
    Settle();
    ASSERT_EQ(runner_.starts, 3);
    runner_.Finish();
    EXPECT_EQ(changesSeen_.back()[1], Listed(std::vector<std::string>{Native("/two/b/")}));
    Settle();
    Advance(milliseconds(20000));
    watch_->TimeOut();
    Settle();
    EXPECT_EQ(runner_.starts, 3) << "one more pass, not a chain";
}

TEST_F(ChangeWatchTest, ADoubtShowsInTheStatusFrameUntilUnticked) {
    LoadWatching();
    EXPECT_EQ(View().watchNote, "");
    watch_->Doubt(1, {platform::DoubtKind::ChangesFromElsewhere, "a network folder"});
    Settle();
    EXPECT_EQ(View().watchNote, "Changes on Folder 2 are found by the timed pass only: a network folder");
    EXPECT_FALSE(runner_.Running()) << "a network folder is a state, not a change";
    form_->Check12_Click(false);
    EXPECT_EQ(View().watchNote, "");
}

// The watch's set-up walks both trees, long for large ones: the window goes on meanwhile. The countdown's pass and
// Sync Now run during it as without the watch. A change in a folder the walk had not reached yet is told by no
// watch, so its end starts a pass after the quiet second, which reads both sides in full; the doubts found
// meanwhile show then.
TEST_F(ChangeWatchTest, TheWindowGoesOnWhileTheWatchIsSetUpAndNothingChangedMeanwhileIsLost) {
    holdSetUp_ = true;
    Load();
    form_->Check12_Click(true);
    watch_->WaitForSetUp();
    Tick(5);
    ASSERT_TRUE(runner_.Running()) << "the countdown's pass";
    runner_.Finish();
    ui_.ProcessPendingEvents();
    form_->PushButton12_Click();
    ASSERT_TRUE(runner_.Running()) << "Sync Now";
    runner_.Finish();
    EXPECT_EQ(passes_, 2);
    EXPECT_TRUE(changesSeen_.empty()) << "a pass during the set-up does not go through the watch";
    watch_->Doubt(0, {platform::DoubtKind::ChangesFromElsewhere, "a FUSE folder"});
    watch_->ReleaseSetUp();
    Settle();
    EXPECT_EQ(View().watchNote, "Changes on Folder 1 are found by the timed pass only: a FUSE folder");
    EXPECT_FALSE(runner_.Running());
    Advance(milliseconds(1000));
    watch_->TimeOut();
    Settle();
    ASSERT_TRUE(runner_.Running()) << "the set-up's end starts a pass";
    runner_.Finish();
    EXPECT_EQ(changesSeen_, std::vector<WatchedPasses::Changes>{{}});
}

// A pass that reads a side in full watches it afresh first, a walk as long as the set-up's: the pass does it, on
// its own thread, not the window as it starts the pass.
TEST_F(ChangeWatchTest, AFullPassWatchesTheTreesAfreshItselfNotTheWindow) {
    LoadWatching();
    Tick(5);
    ASSERT_TRUE(runner_.Running());
    EXPECT_EQ(watch_->StartedAfresh(), 0);
    runner_.Finish();
    EXPECT_EQ(watch_->StartedAfresh(), 2);
}

// Unticking, Auto Sync off, another folder or closing the window during the set-up waits for none of it, and leaves
// no watch of the pair behind (its thread ends before it).
TEST_F(ChangeWatchTest, EndingTheWatchDuringItsSetUpWaitsForNothing) {
    const struct {
        const char* ending;
        std::function<void()> end;
        int live; // watches left alive
    } cases[] = {
        {"unticked", [this] { form_->Check12_Click(false); }, 0},
        {"Auto Sync off", [this] { form_->PushButton13_Click(); }, 0},
        {"another folder",
         [this] {
             form_->ListView1_DblClick(0);
             chooser_.answers = {Native("/three/")};
             form_->PushButton3_Click();
         },
         1},
        {"window closed", [this] { form_->Form_QueryUnload(); }, 0},
    };
    holdSetUp_ = true;
    store_.values["Sync On Change"] = "On";
    const auto stored = store_.values;
    for (const auto& test : cases) {
        SCOPED_TRACE(test.ending);
        store_.values = stored;
        Load();
        const int made = watchesMade_;
        ASSERT_EQ(watchesLive_, 1);
        watch_->WaitForSetUp();
        test.end();
        EXPECT_EQ(watchesLive_, test.live);
        EXPECT_EQ(watchesMade_, made + test.live);
    }
}

} // namespace
} // namespace quillmere::test
