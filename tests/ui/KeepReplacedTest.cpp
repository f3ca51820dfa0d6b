// SPDX-License-Identifier: GPL-3.0-or-later
// "Keep replaced files in the Trash": the box shows the stored choice, a click stores it, and every pass reads
// it afresh as it starts.
#include "Form1Fixture.h"

namespace quillmere::test {
namespace {

using KeepReplacedTest = Form1Fixture;

// Losing a replaced file is worse than keeping one: only an exact "Off" replaces outright.
TEST_F(KeepReplacedTest, TheStoredChoiceSetsTheBoxAndThePass) {
    const std::pair<std::optional<std::string>, bool> cases[] = {
        {std::nullopt, true}, {"On", true}, {"Off", false}, {"off", true}, {"", true}};
    for (const auto& [stored, kept] : cases) {
        store_.values.clear();
        if (stored) {
            store_.values["Keep Replaced"] = *stored;
        }
        Load();
        EXPECT_EQ(View().Checked(FormCheckBox::Check11), kept) << stored.value_or("<absent>");
        form_->PushButton12_Click();
        runner_.Finish();
        EXPECT_EQ(lastOptions_.keepReplaced, kept) << stored.value_or("<absent>");
        EXPECT_FALSE(lastOptions_.dryRun);
    }
}

TEST_F(KeepReplacedTest, AClickIsStoredAndEachPassReadsTheStoreAfresh) {
    Load();
    form_->Check11_Click(false);
    EXPECT_EQ(store_.Stored("Keep Replaced"), "Off");
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_FALSE(lastOptions_.keepReplaced);

    store_.values["Keep Replaced"] = "On"; // as a second copy of the program stores it
    form_->PushButton12_Click();
    runner_.Finish();
    EXPECT_TRUE(lastOptions_.keepReplaced);
}

} // namespace
} // namespace quillmere::test
