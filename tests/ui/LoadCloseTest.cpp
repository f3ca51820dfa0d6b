// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1Fixture.h"

#include "tray/TrayMessages.h"
#include "tray/cSysTray.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>

namespace quillmere::test {
namespace {

using LoadCloseTest = Form1Fixture;

QStringList Selected(const QTreeWidget* list) {
    QStringList texts;
    for (const QTreeWidgetItem* item : list->selectedItems()) {
        texts << item->text(0);
    }
    return texts;
}

TEST_F(LoadCloseTest, AFirstRunStartsCountingEveryMinuteWithNoFolders) {
    Load();
    EXPECT_EQ(form_->windowTitle(), "Quillmere");
    EXPECT_TRUE(Entries(form_->ListView1).isEmpty());
    EXPECT_TRUE(Entries(form_->ListView2).isEmpty());
    EXPECT_EQ(form_->ListView3->topLevelItemCount(), 15);
    EXPECT_EQ(form_->ListView3->topLevelItem(0)->text(0), "Sync every 5 seconds");
    EXPECT_EQ(form_->ListView3->topLevelItem(14)->text(0), "Sync every 24 hours");
    EXPECT_EQ(form_->ListView3->headerItem()->text(0), "How often would you like to sync?");
    EXPECT_EQ(form_->ListView1->headerItem()->text(0), "Folder 1");
    EXPECT_EQ(form_->ListView2->headerItem()->text(0), "Folder 2");
    EXPECT_EQ(Selected(form_->ListView3), QStringList{"Sync every minute"});
    EXPECT_EQ(form_->PushButton13->text(), "Turn Off Auto Sync");
    EXPECT_EQ(form_->Timer1.Interval(), 1000);
    EXPECT_EQ(Status(), "Next sync will occur in ");
    EXPECT_TRUE(form_->Option1->isChecked());
    EXPECT_FALSE(form_->Check9->isChecked());
    EXPECT_FALSE(form_->Check10->isChecked());
    EXPECT_FALSE(form_->FormLoading);
    EXPECT_TRUE(boxes_.shown.empty());
    EXPECT_FALSE(QFile::exists(StoreFile()));
    EXPECT_FALSE(form_->windowIcon().isNull());
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Quillmere");
    EXPECT_EQ(Tray(), (QStringList{"hook", "add icon=set tip=Quillmere"}));
    form_->ShowAfterLoad();
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(opened_.empty());
}

TEST_F(LoadCloseTest, StoredValuesComeBackAsStored) {
    Store("Folder 1", "C:\\Data\\");
    Store("OftenIndex", "15");
    Store("StartStopState", "Off");
    Load();
    EXPECT_EQ(Entries(form_->ListView1), QStringList{"C:\\Data\\"});
    EXPECT_TRUE(Entries(form_->ListView2).isEmpty());
    EXPECT_EQ(Selected(form_->ListView3), QStringList{"Sync every 24 hours"});
    EXPECT_EQ(form_->PushButton13->text(), "Turn On Auto Sync");
    EXPECT_EQ(Status(), "Auto Sync is Turned Off.");
    EXPECT_EQ(form_->Timer1.Interval(), 0);
}

TEST_F(LoadCloseTest, AnUnknownAutoSyncStateLeavesTheDesign) {
    Store("StartStopState", "off");
    Load();
    EXPECT_EQ(form_->PushButton13->text(), "Turn On Auto Sync");
    EXPECT_EQ(Status(), "Next sync will occur in ");
    EXPECT_EQ(form_->Timer1.Interval(), 0);
}

TEST_F(LoadCloseTest, OnlyAnExactOnTicksTheStartupBoxes) {
    Store("Windows Startup", "on");
    Store("Minimized", "ON");
    Load();
    EXPECT_FALSE(form_->Check10->isChecked());
    EXPECT_FALSE(form_->Check9->isChecked());
    EXPECT_EQ(Stored("Minimized"), "ON") << "a box left as it was stores nothing";
}

TEST_F(LoadCloseTest, StartingWithTheSystemLeavesTheAutostartEntryAlone) {
    Store("Windows Startup", "On");
    Load();
    EXPECT_TRUE(form_->Check10->isChecked());
    EXPECT_FALSE(form_->Check9->isHidden());
    EXPECT_TRUE(AutostartEntries().isEmpty());
    EXPECT_EQ(Stored("Windows Startup"), "On");
}

TEST_F(LoadCloseTest, StartingInTheTrayLeavesOnlyTheIconAndTheNotice) {
    Store("Minimized", "On");
    Load();
    form_->ShowAfterLoad();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form_->Check9->isChecked());
    EXPECT_EQ(Stored("Minimized"), "On");
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(form_->MinimizedToTray);
    EXPECT_TRUE(IconInTray());
    EXPECT_EQ(Tray().filter("balloon title=Quillmere text=has been minimized").size(), 1);
    EXPECT_FALSE(form_->FormLoading);
    EXPECT_TRUE(boxes_.shown.empty());

    form_->cSysTray1->HandleTrayMessage(tray::messages::kLeftButtonUp, 0);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_FALSE(form_->isMinimized());
}

TEST_F(LoadCloseTest, AnIndexOutsideTheListIsReportedOnceAndSelectsNothing) {
    Store("OftenIndex", "0");
    Load();
    EXPECT_TRUE(Selected(form_->ListView3).isEmpty());
    ASSERT_EQ(Reports().size(), 1);
    EXPECT_TRUE(Reports()[0].startsWith("Index out of bounds\r\nin Quillmere2021/08/31.Form1.Form_Load at line 120"));
    EXPECT_EQ(form_->Timer1.Interval(), 1000); // the load went on
}

TEST_F(LoadCloseTest, AnIndexThatIsNoNumberIsReportedTwice) {
    Store("OftenIndex", "abc");
    Load();
    EXPECT_TRUE(Selected(form_->ListView3).isEmpty());
    ASSERT_EQ(Reports().size(), 2);
    EXPECT_TRUE(Reports()[0].startsWith("Type mismatch\r\nin Quillmere2021/08/31.Form1.Form_Load at line 118"));
    EXPECT_TRUE(Reports()[1].startsWith("Index out of bounds\r\nin Quillmere2021/08/31.Form1.Form_Load at line 120"));
}

TEST_F(LoadCloseTest, ClosingSavesBothFoldersAndAnEmptiedListAsEmpty) {
    Store("Folder 1", "/old/");
    Load();
    chooser_.answers = {"/two"};
    form_->PushButton1_Click();
    form_->ListView1->topLevelItem(0)->setSelected(true);
    form_->ListView1_DblClick();
    form_->show();
    EXPECT_TRUE(form_->close());
    EXPECT_EQ(Stored("Folder 1"), "");
    EXPECT_EQ(Stored("Folder 2"), "/two/");

    Load();
    EXPECT_TRUE(Entries(form_->ListView1).isEmpty());
    EXPECT_EQ(Entries(form_->ListView2), QStringList{"/two/"});
}

TEST_F(LoadCloseTest, ClosingTakesTheIconDownOnceAndEndsTheProgram) {
    Load();
    form_->ShowAfterLoad();
    QSignalSpy unloaded(form_.get(), &Form1::Unloaded);
    EXPECT_TRUE(form_->close());
    EXPECT_FALSE(IconInTray());
    EXPECT_EQ(unloaded.size(), 1);
    const qsizetype traffic = Tray().size();
    form_->close(); // the end of a session may ask again
    EXPECT_EQ(unloaded.size(), 1);
    EXPECT_EQ(Tray().size(), traffic);
}

TEST_F(LoadCloseTest, ClosingWhileHiddenInTheTraySavesTheFolders) {
    Store("Minimized", "On");
    Store("Folder 1", "/one/");
    Load();
    chooser_.answers = {"/two"};
    form_->PushButton1_Click();
    form_->close();
    EXPECT_EQ(Stored("Folder 1"), "/one/");
    EXPECT_EQ(Stored("Folder 2"), "/two/");
    EXPECT_FALSE(IconInTray());
}

TEST_F(LoadCloseTest, ClosingStopsTheCountdownAndEveryLaterPass) {
    Load();
    form_->show();
    form_->close();
    EXPECT_EQ(form_->Timer1.Interval(), 0);
    form_->PushButton12_Click(); // as a handler waiting in a message box during the close would
    EXPECT_EQ(runner_.starts, 0);
}

} // namespace
} // namespace quillmere::test
