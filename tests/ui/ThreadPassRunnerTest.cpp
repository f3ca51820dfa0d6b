// SPDX-License-Identifier: GPL-3.0-or-later
// A pass on a thread of its own, its end handed back to the UI thread; the test plays that thread.
#include "ScriptedWorld.h"

#include "ui/main/ThreadPassRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace quillmere::test {
namespace {

TEST(ThreadPassRunnerTest, TheWorkRunsAwayFromTheUiThreadAndItsEndComesBackToIt) {
    ScriptedUiThread ui;
    ThreadPassRunner runner(ui);
    std::thread::id workedOn;
    std::thread::id finishedOn;
    runner.Start([&] { workedOn = std::this_thread::get_id(); }, [&] { finishedOn = std::this_thread::get_id(); });
    ui.WaitUntilWaiting(1);
    EXPECT_TRUE(runner.Running()) << "until its end has come back";
    ui.ProcessPendingEvents();
    EXPECT_NE(workedOn, std::this_thread::get_id());
    EXPECT_EQ(finishedOn, std::this_thread::get_id());
    EXPECT_FALSE(runner.Running());
}

TEST(ThreadPassRunnerTest, AJoinedRunNeverReportsItsEnd) {
    ScriptedUiThread ui;
    ThreadPassRunner runner(ui);
    int finished = 0;
    runner.Start([] {}, [&] { ++finished; });
    runner.Join();
    EXPECT_FALSE(runner.Running());
    ui.ProcessPendingEvents();
    EXPECT_EQ(finished, 0);
}

TEST(ThreadPassRunnerTest, TheEndOfAJoinedRunIsNotTakenForTheNextOne) {
    ScriptedUiThread ui;
    ThreadPassRunner runner(ui);
    std::vector<int> finished;
    runner.Start([] {}, [&] { finished.push_back(1); });
    runner.Join();
    runner.Start([] {}, [&] { finished.push_back(2); });
    ui.WaitUntilWaiting(2);
    ui.ProcessPendingEvents();
    EXPECT_EQ(finished, std::vector<int>{2});
}

TEST(ThreadPassRunnerTest, AnEndArrivingAfterTheRunnerIsGoneIsDropped) {
    ScriptedUiThread ui;
    int finished = 0;
    {
        ThreadPassRunner runner(ui);
        runner.Start([] {}, [&] { ++finished; });
        ui.WaitUntilWaiting(1);
    }
    ui.ProcessPendingEvents();
    EXPECT_EQ(finished, 0);
}

// A close does not wait for a copy that cannot finish in time; the run that returns later is never handled.
TEST(ThreadPassRunnerTest, AWaitEndsAtItsLimitWhileTheWorkGoesOn) {
    ScriptedUiThread ui;
    ThreadPassRunner runner(ui);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    int finished = 0;
    runner.Start([released] { released.wait(); }, [&] { ++finished; });
    EXPECT_FALSE(runner.WaitFor(std::chrono::milliseconds(50)));
    EXPECT_TRUE(runner.Running());
    release.set_value();
    ui.WaitUntilWaiting(1);
    ui.ProcessPendingEvents();
    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(runner.WaitFor(std::chrono::milliseconds(0))) << "returned by now";
    EXPECT_FALSE(runner.Running());
}

TEST(ThreadPassRunnerTest, AWaitForWorkThatReturnsInTimeJoinsIt) {
    ScriptedUiThread ui;
    ThreadPassRunner runner(ui);
    int finished = 0;
    runner.Start([] {}, [&] { ++finished; });
    EXPECT_TRUE(runner.WaitFor(std::chrono::seconds(10)));
    EXPECT_FALSE(runner.Running());
    ui.ProcessPendingEvents();
    EXPECT_EQ(finished, 0);
}

} // namespace
} // namespace quillmere::test
