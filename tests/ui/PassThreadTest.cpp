// SPDX-License-Identifier: GPL-3.0-or-later
// Passes on a real thread of their own: the window stays live, closing stops a long pass, and a real pass over
// real folders runs from a tick. Waits go through the event loop (QTest::qWaitFor, QSignalSpy::wait), with their
// outcome checked by GoogleTest.
#include "Form1Fixture.h"

#include "ui/main/ThreadPassRunner.h"

#include <QFile>
#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <atomic>
#include <thread>

namespace quillmere::test {
namespace {

class PassThreadTest : public SettingsFixture {
protected:
    Form1& Load(PassFunction pass) {
        form_ = std::make_unique<Form1>(ServicesForTest(chooser_, boxes_, runner_, std::move(pass)));
        form_->Form_Load();
        form_->Timer1.blockSignals(true); // the tests tick it themselves
        return *form_;
    }

    ScriptedChooser chooser_;
    RecordingBoxes boxes_;
    ThreadPassRunner runner_;
    std::unique_ptr<Form1> form_;
};

TEST_F(PassThreadTest, ClosingDuringALongPassStopsItAndReturns) {
    std::atomic<bool> started = false;
    std::atomic<bool> sawStop = false;
    Form1& form = Load([&](const SyncSettings&, SyncObserver& observer) {
        started = true;
        while (!observer.StopRequested()) {
            std::this_thread::yield(); // a pass with endless files, checking between them
        }
        sawStop = true;
        return SyncCounts{};
    });
    form.show();
    form.PushButton12_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }));
    EXPECT_TRUE(runner_.Running());
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(sawStop.load());
    EXPECT_FALSE(runner_.Running());
}

TEST_F(PassThreadTest, AReportOnItsWayWhenTheWindowClosesIsNotShown) {
    std::atomic<bool> reported = false;
    Form1& form = Load([&](const SyncSettings&, SyncObserver& observer) {
        observer.Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "Access denied"});
        reported = true;
        while (!observer.StopRequested()) {
            std::this_thread::yield();
        }
        return SyncCounts{};
    });
    form.show();
    form.PushButton12_Click();
    while (!reported.load()) {
        std::this_thread::yield(); // without handling events, so the report is still queued
    }
    form.close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(PassThreadTest, ReportsFromThePassAreShownByTheWindowThread) {
    std::thread::id shownOn;
    class ThreadNotingBoxes : public RecordingBoxes {
    public:
        std::thread::id* shownOn = nullptr;
        void Warn(QWidget* owner, const QString& title, const QString& text) override {
            *shownOn = std::this_thread::get_id();
            RecordingBoxes::Warn(owner, title, text);
        }
    } boxes;
    boxes.shownOn = &shownOn;
    Form1 form(ServicesForTest(chooser_, boxes, runner_, [](const SyncSettings&, SyncObserver& observer) {
        observer.Report({"in Quillmere2021/08/31.modSync.SyncFolders ", 162, "Access denied"});
        throw std::runtime_error("Out of memory");
        return SyncCounts{};
    }));
    form.Form_Load();
    form.PushButton12_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.shown.size() == 2u; }));
    EXPECT_EQ(shownOn, std::this_thread::get_id());
    EXPECT_TRUE(
        boxes.shown[0].text.startsWith("Access denied\r\nin Quillmere2021/08/31.modSync.SyncFolders at line 162"));
    EXPECT_TRUE(
        boxes.shown[1].text.startsWith("Out of memory\r\nin Quillmere2021/08/31.Form1.PushButton12_Click at line 106"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.ManualHoldRunning(); }));
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
    Form1& form = Load([&](const SyncSettings& settings, SyncObserver& observer) {
        passThread = std::this_thread::get_id();
        return SyncFolders(settings, observer);
    });
    form.show();
    QSignalSpy finished(&runner_, &PassRunner::Finished);
    for (int tick = 0; tick < 5; ++tick) {
        form.Timer1_Timer();
    }
    EXPECT_EQ(form.Frame2->title(), "Sync is running in background...");
    ASSERT_TRUE(finished.wait());
    EXPECT_NE(passThread, std::this_thread::get_id());
    EXPECT_TRUE(QFile::exists(two.filePath("note.txt")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Frame2->title() == "Next sync will occur in 00:00:00"; }));
    EXPECT_TRUE(boxes_.shown.empty());
}

} // namespace
} // namespace quillmere::test
