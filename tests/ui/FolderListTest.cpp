// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1Fixture.h"

#include <QTreeWidget>

namespace quillmere::test {
namespace {

class FolderListTest : public Form1Fixture {
protected:
    void SetUp() override { Load(); }
};

TEST_F(FolderListTest, CancellingThePickerChangesNothing) {
    chooser_.answers = {""};
    form_->PushButton3_Click();
    EXPECT_EQ(chooser_.calls, 1);
    EXPECT_EQ(chooser_.lastPrompt, "Please select folder");
    EXPECT_EQ(chooser_.lastStartFolder, QString(""));
    EXPECT_TRUE(Entries(form_->ListView1).isEmpty());
    EXPECT_EQ(Stored("LastFolder"), "<absent>");
}

TEST_F(FolderListTest, AChosenFolderGetsOneTrailingSeparator) {
    chooser_.answers = {"/srv/data", "/"};
    form_->PushButton3_Click();
    form_->PushButton1_Click();
    EXPECT_EQ(Entries(form_->ListView1), QStringList{"/srv/data/"});
    EXPECT_EQ(Entries(form_->ListView2), QStringList{"/"});
    EXPECT_EQ(Stored("LastFolder"), "/"); // as the picker gave it
    EXPECT_EQ(form_->Pointer().MousePointer(), look::WindowPointer::kDefault);
}

TEST_F(FolderListTest, ASecondChoiceOnlyTellsTheUserAFolderIsChosen) {
    chooser_.answers = {"/a", "/b"};
    form_->PushButton1_Click();
    form_->PushButton1_Click();
    EXPECT_EQ(chooser_.calls, 1);
    EXPECT_EQ(Entries(form_->ListView2), QStringList{"/a/"});
    EXPECT_EQ(Stored("LastFolder"), "/a");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].title, "Quillmere");
    EXPECT_EQ(boxes_.shown[0].text, "You already have a folder selected.");
    EXPECT_FALSE(boxes_.shown[0].warning);
}

TEST_F(FolderListTest, ADoubleClickRemovesTheSelectedFolderOnly) {
    chooser_.answers = {"/a", "/b"};
    form_->PushButton3_Click();
    form_->PushButton1_Click();
    form_->ListView1_DblClick(); // nothing selected
    EXPECT_EQ(Entries(form_->ListView1).size(), 1);

    form_->ListView1->topLevelItem(0)->setSelected(true);
    form_->ListView1_DblClick();
    EXPECT_TRUE(Entries(form_->ListView1).isEmpty());
    EXPECT_EQ(Entries(form_->ListView2), QStringList{"/b/"});
    form_->ListView1_DblClick(); // empty list
    EXPECT_EQ(Stored("LastFolder"), "/b");
}

TEST_F(FolderListTest, NothingIsRemovedWhileTheWindowIsBusy) {
    chooser_.answers = {"/a", "/b"};
    form_->PushButton3_Click();
    form_->ListView1->topLevelItem(0)->setSelected(true);
    form_->PushButton12_Click(); // a manual pass: the hourglass is up
    form_->ListView1_DblClick();
    EXPECT_EQ(Entries(form_->ListView1).size(), 1);

    form_->PushButton1_Click(); // choosing during the pass leaves the hourglass up
    EXPECT_EQ(form_->Pointer().MousePointer(), look::WindowPointer::kHourglass);
    runner_.Finish();
    form_->ListView1_DblClick();
    EXPECT_TRUE(Entries(form_->ListView1).isEmpty());
}

TEST_F(FolderListTest, AFailingPickerIsReportedUnderItsButton) {
    class FailingChooser : public FolderChooser {
        QString BrowseForFolder(QWidget*, const QString&, const QString&) override {
            throw std::runtime_error("No dialog");
        }
    } failing;
    Form1 form(ServicesForTest(failing, boxes_, runner_, {}));
    form.Form_Load();
    form.PushButton1_Click();
    ASSERT_EQ(Reports().size(), 1);
    EXPECT_TRUE(Reports()[0].startsWith("No dialog\r\nin Quillmere2021/08/31.Form1.PushButton1_Click at line 104\r\r"));
    EXPECT_TRUE(Entries(form.ListView2).isEmpty());
}

} // namespace
} // namespace quillmere::test
