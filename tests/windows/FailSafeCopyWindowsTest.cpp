// SPDX-License-Identifier: GPL-3.0-or-later
// The copy that replaces a destination in one rename, on Win32.
#include "platform/FileSystem.h"
#include "platform/TemporaryName.h"
#include "platform/windows/WideText.h"
#include "tests/support/CopyAsFound.h"
#include "tests/windows/WindowsTestFolder.h"

#include <gtest/gtest.h>

namespace quillmere::platform {
namespace {

using testing::WindowsTestFolder;

using test::CopyAsFound;

class WindowsCopy : public ::testing::Test {
protected:
    void SetUp() override {
        testing::MakeFolder(source_);
        testing::MakeFolder(target_);
        testing::WriteText(source_ + "\\a.txt", "new content");
        testing::SetLastWriteSteps(source_ + "\\a.txt", 132'749'000'001'234'567);
        testing::WriteText(target_ + "\\a.txt", "old");
    }

    WindowsTestFolder root_;
    const std::string source_ = root_ / "source";
    const std::string target_ = root_ / "target";
    const std::string from_ = source_ + "\\a.txt";
    const std::string to_ = target_ + "\\a.txt";
};

TEST_F(WindowsCopy, ReplacesTheDestinationWithTheSourcesDataTimeAndAttributes) {
    testing::SetAttributes(from_, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(CopyAsFound(from_, to_));
    EXPECT_EQ(testing::ReadText(to_), "new content");
    EXPECT_EQ(ReadLastWriteTime(to_), ReadLastWriteTime(from_));
    EXPECT_EQ(ReadAttributes(to_), attr::Hidden | attr::Archive);
    EXPECT_EQ(testing::ReadText(from_), "new content");
    EXPECT_EQ(testing::CountTemporaryFiles(target_), 0);
}

TEST_F(WindowsCopy, CreatesAMissingDestinationFile) {
    ASSERT_TRUE(CopyAsFound(from_, target_ + "\\b.txt"));
    EXPECT_EQ(testing::ReadText(target_ + "\\b.txt"), "new content");
    EXPECT_EQ(testing::CountTemporaryFiles(target_), 0);
}

TEST_F(WindowsCopy, ReadOnlyDestinationIsNeverReplaced) {
    testing::SetAttributes(to_, FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(CopyAsFound(from_, to_));
    EXPECT_EQ(testing::ReadText(to_), "old");
    EXPECT_EQ(testing::CountTemporaryFiles(target_), 0);
}

TEST_F(WindowsCopy, ReadOnlySourceGivesAReadOnlyCopy) {
    testing::SetAttributes(from_, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CopyAsFound(from_, to_));
    EXPECT_EQ(testing::ReadText(to_), "new content");
    EXPECT_TRUE(*ReadAttributes(to_) & attr::ReadOnly);
}

TEST_F(WindowsCopy, NothingHappensWithoutASourceFileOrADestinationFolder) {
    EXPECT_FALSE(CopyAsFound(source_ + "\\missing.txt", to_));
    EXPECT_FALSE(CopyAsFound(source_, to_)); // a folder is no source
    EXPECT_FALSE(CopyAsFound(from_, root_ / "missing\\a.txt"));
    EXPECT_FALSE(CopyAsFound(from_, target_)); // nor a destination
    EXPECT_EQ(testing::ReadText(to_), "old");
    EXPECT_EQ(testing::CountTemporaryFiles(target_), 0);
}

// A save at the destination while the data is written, or a file appearing where there was none at the last
// moment (an addition moves without replacing), is kept, and the copy is refused.
TEST_F(WindowsCopy, AFileSavedAtTheDestinationDuringTheCopyIsKept) {
    const std::pair<std::string, CopyStage> cases[] = {{to_, CopyStage::DataWritten},
                                                       {target_ + "\\new.txt", CopyStage::Checked}};
    for (const auto& [destination, when] : cases) {
        CopyRequest request = test::AsFound(from_, destination);
        request.onStage = [&, at = when, path = destination](CopyStage stage) {
            if (stage == at)
                testing::WriteText(path, "saved meanwhile");
        };
        const CopyOutcome outcome = CopyFileFailSafe(request);
        EXPECT_EQ(outcome.status, CopyStatus::Refused) << destination;
        EXPECT_EQ(testing::ReadText(destination), "saved meanwhile");
        EXPECT_EQ(testing::CountTemporaryFiles(target_), 0);
    }
}

// A copy holds its temporary file locked; one left by a copy that died is removed.
TEST_F(WindowsCopy, OnlyALeftoverNoCopyHoldsIsRemoved) {
    const std::string leftover = target_ + "\\" + TemporaryName("1-2");
    testing::WriteText(leftover, "half a copy");
    testing::SetAttributes(leftover, FILE_ATTRIBUTE_READONLY);
    std::vector<std::string> heldRemoved;
    CopyRequest request = test::AsFound(from_, to_);
    request.onStage = [&](CopyStage) {
        for (const std::string& name : ListFileNames(target_).names)
            if (IsTemporaryName(name) && target_ + "\\" + name != leftover &&
                RemoveLeftoverTemporary(target_ + "\\" + name))
                heldRemoved.push_back(name);
    };
    EXPECT_TRUE(test::IsCopied(CopyFileFailSafe(request)));
    EXPECT_TRUE(heldRemoved.empty()) << "the running copy's own file was removed";
    EXPECT_TRUE(RemoveLeftoverTemporary(leftover));
    EXPECT_EQ(testing::CountTemporaryFiles(target_), 0);
}

TEST_F(WindowsCopy, DestinationHeldOpenByAnotherProgramStaysAsItWas) {
    const auto wide = windows::ToWide(to_);
    // Open as an editor would: reading allowed to others, but no renaming or deleting under it.
    const HANDLE held = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // The rename that would replace it is refused; the data written so far must go with the temporary file.
    const CopyOutcome outcome = CopyFileFailSafe(test::AsFound(from_, to_));
    EXPECT_EQ(outcome.status, CopyStatus::Failed);
    EXPECT_FALSE(outcome.cause.empty());
    CloseHandle(held);
    EXPECT_EQ(testing::ReadText(to_), "old");
    EXPECT_EQ(testing::CountTemporaryFiles(target_), 0);
}

} // namespace
} // namespace quillmere::platform
