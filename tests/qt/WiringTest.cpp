// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt window is wiring and drawing only: each control's event reaches its handler in the logic, and each view
// call reaches its widget. The behaviour itself is tested against the logic in tests/ui.
#include "QtForm1Fixture.h"

#include "tray/TrayMessages.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace quillmere::test {
namespace {

const QString kNext = "Next sync will occur in ";

QStringList Selected(const QTreeWidget* list) {
    QStringList texts;
    for (const QTreeWidgetItem* item : list->selectedItems()) {
        texts << item->text(0);
    }
    return texts;
}

// As a desktop delivers it: a click, then the second press as a double-click.
void DoubleClick(QTreeWidget* list, QPoint where) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
}

class WiringTest : public QtForm1Fixture {
protected:
    void SetUp() override {
        Store("OftenIndex", "1"); // every 5 seconds
        Load();
    }
    void Tick() { window_->Timer1().Elapse(); }
};

TEST_F(WiringTest, TheLoadStepFillsTheWidgets) {
    EXPECT_EQ(window_->windowTitle(), "Quillmere");
    EXPECT_FALSE(window_->windowIcon().isNull());
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Quillmere");
    EXPECT_EQ(window_->ListView3->headerItem()->text(0), "How often would you like to sync?");
    EXPECT_EQ(window_->ListView1->headerItem()->text(0), "Folder 1");
    EXPECT_EQ(window_->ListView3->topLevelItemCount(), 15);
    EXPECT_EQ(Selected(window_->ListView3), QStringList{"Sync every 5 seconds"});
    EXPECT_EQ(Stored("OftenIndex"), "1") << "restoring the selection is no click";
    EXPECT_EQ(Shown(window_->PushButton13), "Turn Off Auto Sync");
    EXPECT_EQ(Status(), kNext);
    EXPECT_EQ(window_->ProgressBar1->format(), "Progress Bar");
    EXPECT_TRUE(window_->Timer1().IsActive());
    EXPECT_EQ(window_->Timer1().Interval(), 1000);
    EXPECT_TRUE(window_->Option1->isChecked());
}

TEST_F(WiringTest, TicksReachTheCountdownAndItsViewCallsTheBar) {
    Tick();
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:03");
    EXPECT_EQ(window_->ProgressBar1->maximum(), 5);
    EXPECT_EQ(window_->ProgressBar1->value(), 2);
}

TEST_F(WiringTest, TheButtonsReachTheirHandlers) {
    StorePair();
    Load();
    window_->PushButton13->click();
    EXPECT_EQ(Shown(window_->PushButton13), "Turn On Auto Sync");
    EXPECT_FALSE(window_->Timer1().IsActive());
    EXPECT_EQ(Stored("StartStopState"), "Off");

    window_->PushButton12->click();
    EXPECT_EQ(Status(), "Syncing up files...");
    EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);
    runner_.Finish();
    EXPECT_EQ(passes_, 1);
    EXPECT_EQ(window_->ProgressBar1->value(), 0);
    EXPECT_TRUE(window_->ManualHold().IsActive());
    EXPECT_EQ(window_->ManualHold().Interval(), 5000);
    window_->ManualHold().Elapse();
    EXPECT_FALSE(window_->ManualHold().IsActive());
    EXPECT_EQ(Status(), kNext);
}

TEST_F(WiringTest, ChoosingAndRemovingAFolderGoesThroughItsList) {
    chooser_.answers = {"/srv/data", "/b"};
    window_->PushButton3->click();
    window_->PushButton1->click();
    EXPECT_EQ(Entries(window_->ListView1), QStringList{"/srv/data/"});
    EXPECT_EQ(Entries(window_->ListView2), QStringList{"/b/"});

    QTreeWidget* list = window_->ListView1;
    DoubleClick(list, list->visualItemRect(list->topLevelItem(0)).center());
    EXPECT_TRUE(Entries(window_->ListView1).isEmpty());
    EXPECT_EQ(Entries(window_->ListView2), QStringList{"/b/"});
}

TEST_F(WiringTest, ADoubleClickBesideTheSelectedEntryRemovesItToo) {
    chooser_.answers = {"/b"};
    window_->PushButton1->click();
    QTreeWidget* list = window_->ListView2;
    list->topLevelItem(0)->setSelected(true);
    const QRect entry = list->visualItemRect(list->topLevelItem(0));
    DoubleClick(list, QPoint(entry.center().x(), entry.bottom() + entry.height()));
    EXPECT_TRUE(Entries(list).isEmpty());
}

// The keyboard alone: Tab into a folder list, Space selects its entry, Delete (or BackSpace) removes it as a
// double-click does; no other key does.
TEST_F(WiringTest, DeleteOrBackSpaceInAFolderListRemovesItsSelectedFolder) {
    chooser_.answers = {"/one", "/two"};
    window_->PushButton3->click();
    window_->PushButton1->click();
    form_->ShowAfterLoad();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    const std::pair<QTreeWidget*, Qt::Key> cases[] = {{window_->ListView2, Qt::Key_Delete},
                                                      {window_->ListView1, Qt::Key_Backspace}};
    for (const auto& [list, key] : cases) {
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Space);
        ASSERT_EQ(Selected(list).size(), 1) << list->objectName().toStdString();
        QTest::keyClick(list, Qt::Key_A);
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_EQ(Entries(list).size(), 1) << list->objectName().toStdString();
        QTest::keyClick(list, key);
        EXPECT_TRUE(Entries(list).isEmpty()) << list->objectName().toStdString();
    }
}

TEST_F(WiringTest, ClickingAnIntervalRestartsTheCount) {
    Tick();
    QTreeWidget* list = window_->ListView3;
    QTreeWidgetItem* tenSeconds = list->topLevelItem(1);
    {
        const QSignalBlocker quiet(list); // the selection a mouse press makes, then the click on release
        list->setCurrentItem(tenSeconds);
    }
    emit list->itemClicked(tenSeconds, 0);
    EXPECT_EQ(Stored("OftenIndex"), "2");
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:09");
}

TEST_F(WiringTest, AKeyboardChangeOfTheIntervalActsLikeAClick) {
    Tick();
    window_->ListView3->setFocus();
    QTest::keyClick(window_->ListView3, Qt::Key_Down);
    EXPECT_EQ(Stored("OftenIndex"), "2");
    Tick();
    EXPECT_EQ(Status(), kNext + "00:00:09");
}

// As a Ctrl+click on the selected entry does: the logic puts the selection back, and no tick misses it.
TEST_F(WiringTest, ClearingTheIntervalsSelectionReachesTheLogic) {
    const QTreeWidgetItem* before = window_->ListView3->selectedItems().value(0);
    ASSERT_NE(before, nullptr);
    window_->ListView3->clearSelection();
    EXPECT_EQ(window_->ListView3->selectedItems(), QList<QTreeWidgetItem*>{const_cast<QTreeWidgetItem*>(before)});
    Tick();
    EXPECT_TRUE(Reports().empty());
}

TEST_F(WiringTest, TheChosenOptionIsTheDirectionOfTheNextPass) {
    StorePair();
    Load();
    const std::pair<QRadioButton*, SyncDirection> options[] = {{window_->Option3, SyncDirection::Folder2ToFolder1},
                                                               {window_->Option2, SyncDirection::Folder1ToFolder2},
                                                               {window_->Option1, SyncDirection::BothWays}};
    for (const auto& [option, expected] : options) {
        option->click();
        window_->PushButton12->click();
        runner_.Finish();
        window_->ManualHold().Elapse();
        EXPECT_EQ(lastDirection_, expected) << option->objectName().toStdString();
    }
}

TEST_F(WiringTest, TheStartupBoxesReachTheirHandlersAndTheEntry) {
    window_->Check10->click();
    EXPECT_EQ(Stored("Windows Startup"), "On");
    EXPECT_EQ(AutostartEntries(), QStringList{"system/autostart/qt_view_tests.desktop"});
    window_->Check9->click();
    EXPECT_EQ(Stored("Minimized"), "On");

    window_->Check10->click();
    EXPECT_FALSE(window_->Check9->isChecked());
    EXPECT_TRUE(window_->Check9->isHidden());
    EXPECT_EQ(Stored("Minimized"), "Off");
    EXPECT_TRUE(AutostartEntries().isEmpty());
}

TEST_F(WiringTest, TheKeepReplacedBoxReachesItsHandler) {
    EXPECT_TRUE(window_->Check11->isChecked());
    window_->Check11->click();
    EXPECT_EQ(Stored("Keep Replaced"), "Off");
}

// Ticked, the box has the pair watched by the folder watch and its thread, whose news reaches the logic through the
// UI thread: a file saved in Folder 1 is copied by the pass the change starts.
TEST_F(WiringTest, TheSyncOnChangeBoxHasAChangeStartAPass) {
    QTemporaryDir folder1;
    QTemporaryDir folder2;
    Store("Folder 1", folder1.path() + "/");
    Store("Folder 2", folder2.path() + "/");
    Load();
    EXPECT_FALSE(window_->Check12->isChecked());
    window_->Check12->click();
    EXPECT_EQ(Stored("Sync On Change"), "On");
    QFile saved(folder1.filePath("saved.txt"));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
    saved.write("saved");
    saved.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner_.Running(); }, 15000));
    runner_.Finish();
    EXPECT_TRUE(QFile::exists(folder2.filePath("saved.txt")));
    window_->Check12->click();
    EXPECT_EQ(Stored("Sync On Change"), "Off");
}

TEST_F(WiringTest, TheWatchNoteShowsOnlyWithAText) {
    EXPECT_TRUE(window_->Label1->isHidden());
    window_->SetWatchNote("Changes on Folder 2 are found by the timed pass only: a network folder");
    EXPECT_FALSE(window_->Label1->isHidden());
    EXPECT_EQ(window_->Label1->text(), "Changes on Folder 2 are found by the timed pass only: a network folder");
    window_->SetWatchNote("");
    EXPECT_TRUE(window_->Label1->isHidden());
}

TEST_F(WiringTest, MinimizingHidesTheWindowAndAReleaseOnTheIconBringsItBack) {
    form_->ShowAfterLoad();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form_->MinimizedToTray(); }));
    EXPECT_FALSE(window_->isVisible());
    tray_->Deliver(tray::messages::kLeftButtonUp);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(window_->isMinimized());
}

TEST_F(WiringTest, ClosingTheWindowSavesTheFoldersAndEndsTheProgram) {
    chooser_.answers = {"/two"};
    window_->PushButton1->click();
    form_->ShowAfterLoad();
    QSignalSpy unloaded(window_.get(), &qt::QtForm1::Unloaded);
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(unloaded.size(), 1);
    EXPECT_EQ(Stored("Folder 1"), "");
    EXPECT_EQ(Stored("Folder 2"), "/two/");
    EXPECT_FALSE(IconInTray());
}

// A window on a desktop without a notification area stays minimized where the desktop keeps it.
class NoTrayWiringTest : public QtForm1Fixture {
protected:
    void SetUp() override { trayAvailable_ = false; }
};

TEST_F(NoTrayWiringTest, AStartInTheTrayStartsMinimizedAndStaysSo) {
    Store("Minimized", "On");
    Load();
    form_->ShowAfterLoad();
    tray_->FireAreaTimer(); // no tray came
    QCoreApplication::processEvents();
    EXPECT_TRUE(window_->Check9->isChecked());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->isMinimized());
    EXPECT_FALSE(form_->MinimizedToTray());
}

} // namespace
} // namespace quillmere::test
