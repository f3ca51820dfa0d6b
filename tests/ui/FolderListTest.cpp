// SPDX-License-Identifier: GPL-3.0-or-later
// The two folder lists: chosen with the picker, one folder each, removed by a double-click unless busy.
#include "Form1Fixture.h"

#include "fs/Main.h"
#include "ui/main/Keys.h"

namespace quillmere::test {
namespace {

using Texts = std::vector<std::string>;

class FolderListTest : public Form1Fixture {
protected:
    void SetUp() override { Load(); }
    Texts& Entries(FormList list) { return View().entries[list]; }
};

TEST_F(FolderListTest, CancellingThePickerChangesNothing) {
    chooser_.answers = {""};
    form_->PushButton3_Click();
    EXPECT_EQ(chooser_.calls, 1);
    EXPECT_EQ(chooser_.lastPrompt, "Please select folder");
    EXPECT_EQ(chooser_.lastStartFolder, std::string(""));
    EXPECT_TRUE(Entries(FormList::ListView1).empty());
    EXPECT_EQ(store_.Stored("LastFolder"), "<absent>");
}

TEST_F(FolderListTest, AChosenFolderGetsOneTrailingSeparator) {
    chooser_.answers = {Native("/srv/data"), Native("/")};
    form_->PushButton3_Click();
    form_->PushButton1_Click();
    EXPECT_EQ(Entries(FormList::ListView1), Texts{Native("/srv/data/")});
    EXPECT_EQ(Entries(FormList::ListView2), Texts{Native("/")});
    EXPECT_EQ(store_.Stored("LastFolder"), Native("/")); // as the picker gave it
    EXPECT_EQ(View().pointer, MousePointer::Default);
}

TEST_F(FolderListTest, AChosenNetworkShareKeepsItsTwoLeadingSeparators) {
    if (kNativePathStyle != PathStyle::Windows) {
        GTEST_SKIP() << "network shares are named by \\\\server\\share on Windows only";
    }
    chooser_.answers = {"\\\\server\\share"};
    form_->PushButton3_Click();
    EXPECT_EQ(Entries(FormList::ListView1), Texts{"\\\\server\\share\\"});
}

TEST_F(FolderListTest, ASecondChoiceOnlyTellsTheUserAFolderIsChosen) {
    chooser_.answers = {Native("/a"), Native("/b")};
    form_->PushButton1_Click();
    form_->PushButton1_Click();
    EXPECT_EQ(chooser_.calls, 1);
    EXPECT_EQ(Entries(FormList::ListView2), Texts{Native("/a/")});
    EXPECT_EQ(store_.Stored("LastFolder"), Native("/a"));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].title, "Quillmere");
    EXPECT_EQ(boxes_.shown[0].text, "You already have a folder selected.");
    EXPECT_FALSE(boxes_.shown[0].warning);
}

TEST_F(FolderListTest, ADoubleClickRemovesTheSelectedFolderOnly) {
    chooser_.answers = {Native("/a"), Native("/b")};
    form_->PushButton3_Click();
    form_->PushButton1_Click();
    form_->ListView1_DblClick(std::nullopt); // nothing selected
    EXPECT_EQ(Entries(FormList::ListView1).size(), 1u);

    form_->ListView1_DblClick(0);
    EXPECT_TRUE(Entries(FormList::ListView1).empty());
    EXPECT_EQ(Entries(FormList::ListView2), Texts{Native("/b/")});
    form_->ListView1_DblClick(0); // empty list
    EXPECT_EQ(store_.Stored("LastFolder"), Native("/b"));
    EXPECT_TRUE(Reports().empty());
}

// The keyboard removes a folder as a double-click does; other keys remove nothing.
TEST_F(FolderListTest, DeleteAndBackSpaceRemoveTheSelectedFolderAsADoubleClickDoes) {
    chooser_.answers = {Native("/a"), Native("/b"), Native("/c")};
    form_->PushButton3_Click();
    form_->PushButton1_Click();
    for (int other : {0x0D, 0x20, 0x41, 0x2D, 0x6E}) { // Enter, Space, A, Insert, the keypad's decimal point
        form_->ListView1_KeyDown(other, 0);
    }
    form_->ListView1_KeyDown(keys::kDelete, std::nullopt); // nothing selected
    EXPECT_EQ(Entries(FormList::ListView1).size(), 1u);

    form_->ListView1_KeyDown(keys::kDelete, 0);
    EXPECT_TRUE(Entries(FormList::ListView1).empty());
    EXPECT_EQ(Entries(FormList::ListView2), Texts{Native("/b/")});
    form_->ListView2_KeyDown(keys::kBack, 0);
    EXPECT_TRUE(Entries(FormList::ListView2).empty());

    form_->PushButton3_Click(); // the keyboard's way to change a folder: remove it, choose again
    EXPECT_EQ(Entries(FormList::ListView1), Texts{Native("/c/")});
    EXPECT_TRUE(boxes_.shown.empty());

    form_->PushButton12_Click(); // a manual pass: the hourglass is up
    form_->ListView1_KeyDown(keys::kDelete, 0);
    EXPECT_EQ(Entries(FormList::ListView1).size(), 1u) << "busy";
}

TEST_F(FolderListTest, NothingIsRemovedWhileTheWindowIsBusy) {
    chooser_.answers = {Native("/a"), Native("/b")};
    form_->PushButton3_Click();
    form_->PushButton12_Click(); // a manual pass: the hourglass is up
    form_->ListView1_DblClick(0);
    EXPECT_EQ(Entries(FormList::ListView1).size(), 1u);

    form_->PushButton1_Click(); // choosing during the pass leaves the hourglass up
    EXPECT_EQ(View().pointer, MousePointer::Hourglass);
    runner_.Finish();
    form_->ListView1_DblClick(0);
    EXPECT_TRUE(Entries(FormList::ListView1).empty());
}

TEST_F(FolderListTest, AFolderAddedDuringAPassIsNotPartOfIt) {
    form_->PushButton12_Click();
    chooser_.answers = {Native("/late")};
    form_->PushButton3_Click();
    runner_.Finish();
    EXPECT_TRUE(lastFolder1_.empty());
}

// A pass is run between a folder of each list and nothing else; without a pair the window still goes through
// the pass's steps, and its pause follows.
TEST_F(FolderListTest, APassRunsOnlyWithAFolderInEachList) {
    chooser_.answers = {Native("/a"), Native("/b")};
    form_->PushButton3_Click();
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(passes_, 0);
    EXPECT_TRUE(manualHold_.running);
    form_->PushButton1_Click();
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(passes_, 1);
}

// A stored folder is shown as stored, and the pass takes it as a chosen one would be taken.
TEST_F(FolderListTest, AStoredFolderIsEnteredAsAChosenOneIs) {
    store_.values = {{"Folder 1", Native("/srv//data")}, {"Folder 2", Native("/two/")}};
    Load();
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_EQ(Entries(FormList::ListView1), Texts{Native("/srv//data")});
    EXPECT_EQ(lastFolder1_, Native("/srv/data/"));
}

TEST_F(FolderListTest, AFailingPickerIsReportedUnderItsButton) {
    chooser_.failure = "No dialog";
    form_->PushButton1_Click();
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(Reports()[0].starts_with("No dialog\r\nin Quillmere2021/08/31.Form1.PushButton1_Click at line 104"));
    EXPECT_TRUE(Entries(FormList::ListView2).empty());
}

TEST_F(FolderListTest, AFolderThatCannotBeRememberedIsStillChosen) {
    store_.writesFail = true;
    chooser_.answers = {Native("/a")};
    form_->PushButton3_Click();
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_NE(Reports()[0].find("Form1.PushButton3_Click at line 108"), std::string::npos);
    EXPECT_EQ(Entries(FormList::ListView1), Texts{Native("/a/")});
}

} // namespace
} // namespace quillmere::test
