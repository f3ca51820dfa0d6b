// SPDX-License-Identifier: GPL-3.0-or-later
// Passes on a real thread of their own, their ends handed back through Qt's event loop: the window stays live,
// closing stops a long pass, and a real pass over real folders runs from a tick. Waits go through the event loop
// (QTest::qWaitFor), with their outcome checked by GoogleTest.
#include "QtForm1Fixture.h"

#include "ui/main/ThreadPassRunner.h"

#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <thread>

namespace quillmere::test {
namespace {

class PassThreadTest : public QtForm1Fixture {
protected:
    PassThreadTest() { passRunner_ = &threads_; }
    ~PassThreadTest() override {
        attachment_.reset();
        form_.reset(); // stops and waits for the pass before threads_ goes
    }

    ThreadPassRunner threads_{ui_};
};

TEST_F(PassThreadTest, ClosingDuringALongPassStopsItAndReturns) {
    std::atomic<bool> started = false;
    std::atomic<bool> sawStop = false;
    pass_ = [&](const SyncJob&, const SyncSettings&, SyncObserver& observer) {
        started = true;
        while (!observer.StopRequested()) {
            std::this_thread::yield(); // a pass with endless files, checking between them
        }
        sawStop = true;
        return SyncCounts{};
    };
    StorePair();
    Load();
    form_->ShowAfterLoad();
    window_->PushButton12->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }));
    EXPECT_TRUE(threads_.Running());
    EXPECT_TRUE(window_->close());
    EXPECT_TRUE(sawStop.load());
    EXPECT_FALSE(threads_.Running());
}

TEST_F(PassThreadTest, AReportOnItsWayWhenTheWindowClosesIsNotShown) {
    std::atomic<bool> reported = false;
    pass_ = [&](const SyncJob&, const SyncSettings&, SyncObserver& observer) {
        observer.Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "Access denied"});
        reported = true;
        while (!observer.StopRequested()) {
            std::this_thread::yield();
        }
        return SyncCounts{};
    };
    StorePair();
    Load();
    form_->ShowAfterLoad();
    window_->PushButton12->click();
    while (!reported.load()) {
        std::this_thread::yield(); // without handling events, so the report is still queued
    }
    window_->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(PassThreadTest, FailuresGatheredOnThePassThreadReachTheNoteAndItsList) {
    pass_ = [](const SyncJob&, const SyncSettings&, SyncObserver& observer) {
        observer.NotRead("/one/locked/", "Permission denied");
        return SyncCounts{};
    };
    StorePair();
    Load();
    window_->PushButton12->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->PushButton14->isHidden(); }));
    EXPECT_EQ(window_->PushButton14->text(), "1 folder not read. Show why...");
    window_->PushButton14->click();
    EXPECT_TRUE(window_->FailureList->isVisible());
    EXPECT_EQ(window_->FailureLines->toPlainText(), "not read /one/locked/: Permission denied");
}

TEST_F(PassThreadTest, ReportsFromThePassAreShownByTheUiThread) {
    pass_ = [](const SyncJob&, const SyncSettings&, SyncObserver& observer) -> SyncCounts {
        observer.Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "Access denied"});
        throw std::runtime_error("Out of memory");
    };
    StorePair();
    Load();
    window_->PushButton12->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes_.shown.size() == 2u; }));
    EXPECT_EQ(boxes_.shown[0].shownOn, std::this_thread::get_id());
    EXPECT_EQ(boxes_.shown[1].shownOn, std::this_thread::get_id());
    EXPECT_TRUE(
        boxes_.shown[0].text.starts_with("Access denied\r\nin Quillmere2021/08/31.modSync.SyncFolders at line 162"));
    EXPECT_TRUE(boxes_.shown[1].text.starts_with(
        "Out of memory\r\nin Quillmere2021/08/31.Form1.PushButton12_Click at line 106"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->ManualHold().IsActive(); }));
}

TEST_F(PassThreadTest, ARealPassRunsFromATickWhileTheWindowStaysLive) {
    QTemporaryDir one;
    QTemporaryDir two;
    QFile file(one.filePath("note.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("kept in step");
    file.close();
    Store("Folder 1", one.path() + "/");
    Store("Folder 2", two.path() + "/");
    Store("OftenIndex", "1");
    std::thread::id passThread;
    pass_ = [&](const SyncJob& job, const SyncSettings& settings, SyncObserver& observer) {
        passThread = std::this_thread::get_id();
        return SyncFolders(job, settings, observer);
    };
    Load();
    form_->ShowAfterLoad();
    for (int tick = 0; tick < 5; ++tick) {
        window_->Timer1().Elapse();
    }
    EXPECT_EQ(Status(), "Sync is running in background...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status() == "Next sync will occur in 00:00:00"; }));
    EXPECT_NE(passThread, std::this_thread::get_id());
    EXPECT_TRUE(QFile::exists(two.filePath("note.txt")));
    EXPECT_TRUE(boxes_.shown.empty());
}

} // namespace
} // namespace quillmere::test
