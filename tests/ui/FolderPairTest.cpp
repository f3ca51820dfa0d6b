// SPDX-License-Identifier: GPL-3.0-or-later
// Two folders that are one, or one inside the other, make no pair: a choice that would is refused with a box,
// and a pair stored that way (by an older run) runs no pass while the status line says why. Real folders, as
// the rule compares them by identity.
#include "Form1Fixture.h"

#include "fs/Main.h"

#include <chrono>
#include <filesystem>

namespace quillmere::test {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class FolderPairTest : public Form1Fixture {
protected:
    void SetUp() override {
        const auto unique = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = fs::temp_directory_path() / ("quillmere-pair-" + std::to_string(unique));
        fs::create_directories(root_ / "A" / "sub");
        fs::create_directories(root_ / "B");
    }
    void TearDown() override {
        form_.reset();
        fs::remove_all(root_);
    }
    // As the picker gives it, without a trailing separator; the list shows it with one.
    std::string Picked(const char* relative) const { return (root_ / relative).make_preferred().string(); }
    std::string Listed(const char* relative) const { return WithTrailingSeparator(Picked(relative)); }
    void Choose(FormList list, const char* relative) {
        chooser_.answers = {Picked(relative)};
        list == FormList::ListView1 ? form_->PushButton3_Click() : form_->PushButton1_Click();
    }

    fs::path root_;
};

struct Choice {
    const char* name;
    FormList kept;
    const char* keptFolder;
    const char* chosenFolder;
    const char* problem; // with {1} for Folder 1's listed path and {2} for Folder 2's
};

class RefusedChoice : public FolderPairTest, public ::testing::WithParamInterface<Choice> {
protected:
    std::string Expected(const Choice& choice) const {
        const bool firstKept = choice.kept == FormList::ListView1;
        std::string text = choice.problem;
        text.replace(text.find("{1}"), 3, Listed(firstKept ? choice.keptFolder : choice.chosenFolder));
        text.replace(text.find("{2}"), 3, Listed(firstKept ? choice.chosenFolder : choice.keptFolder));
        return text;
    }
};

TEST_P(RefusedChoice, ShowsWhyAndKeepsTheListAsItWas) {
    const Choice& choice = GetParam();
    const FormList chosen = choice.kept == FormList::ListView1 ? FormList::ListView2 : FormList::ListView1;
    Load();
    Choose(choice.kept, choice.keptFolder);
    Choose(chosen, choice.chosenFolder);
    EXPECT_TRUE(View().entries[chosen].empty());
    EXPECT_EQ(View().entries[choice.kept], Texts{Listed(choice.keptFolder)});
    EXPECT_EQ(store_.Stored("LastFolder"), Picked(choice.keptFolder)) << "a refused choice is no choice";
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].title, "Quillmere");
    EXPECT_EQ(boxes_.shown[0].text, Expected(choice) + ".\n\nA pass would copy the files of one into the other, "
                                                       "again at every pass. Choose two folders that lie apart.");
}

std::string ChoiceName(const ::testing::TestParamInfo<Choice>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Shapes, RefusedChoice,
                         ::testing::Values(Choice{"SecondInsideFirstChosenSecond", FormList::ListView1, "A", "A/sub",
                                                  "Folder 2 '{2}' lies inside Folder 1 '{1}'"},
                                           Choice{"SecondInsideFirstChosenFirst", FormList::ListView2, "A/sub", "A",
                                                  "Folder 2 '{2}' lies inside Folder 1 '{1}'"},
                                           Choice{"FirstInsideSecondChosenSecond", FormList::ListView1, "A/sub", "A",
                                                  "Folder 1 '{1}' lies inside Folder 2 '{2}'"},
                                           Choice{"FirstInsideSecondChosenFirst", FormList::ListView2, "A", "A/sub",
                                                  "Folder 1 '{1}' lies inside Folder 2 '{2}'"},
                                           Choice{"SameFolder", FormList::ListView1, "A", "A",
                                                  "Folder 1 '{1}' and Folder 2 '{2}' are the same folder"},
                                           Choice{"SameFolderTypedOtherwise", FormList::ListView2, "A", "B/../A",
                                                  "Folder 1 '{1}' and Folder 2 '{2}' are the same folder"}),
                         ChoiceName);

TEST_F(FolderPairTest, FoldersApartAreTaken) {
    Load();
    Choose(FormList::ListView1, "A/sub");
    Choose(FormList::ListView2, "B");
    EXPECT_EQ(View().entries[FormList::ListView2], Texts{Listed("B")});
    EXPECT_TRUE(boxes_.shown.empty());
}

// An older run accepted any pair: its countdown and its button now run no pass until the pair changes.
TEST_F(FolderPairTest, AStoredPairInsideEachOtherRunsNoPassAndTheStatusLineSaysWhy) {
    store_.values = {{"Folder 1", Listed("A")}, {"Folder 2", Listed("A/sub")}, {"OftenIndex", "1"}};
    Load();
    const std::string why = "No sync: Folder 2 '" + Listed("A/sub") + "' lies inside Folder 1 '" + Listed("A") + "'.";
    EXPECT_EQ(View().status, why);
    Tick(7);
    form_->PushButton12_Click();
    EXPECT_EQ(runner_.starts, 0);
    EXPECT_EQ(View().status, why);
    EXPECT_EQ(View().pointer, MousePointer::Default);

    form_->ListView2_DblClick(0);
    EXPECT_EQ(View().status, "Next sync will occur in ");
    Choose(FormList::ListView2, "B");
    Tick(5);
    EXPECT_EQ(runner_.starts, 1);
}

} // namespace
} // namespace quillmere::test
