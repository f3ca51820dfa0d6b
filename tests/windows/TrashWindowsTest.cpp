// SPDX-License-Identifier: GPL-3.0-or-later
// The Recycle Bin, under Wine: there it is the freedesktop.org home trash of $XDG_DATA_HOME, which the test
// reads back (core_under_wine.sh points it at a private folder).
#include "platform/FileCopy.h"
#include "platform/Trash.h"
#include "tests/windows/WindowsTestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace quillmere::platform {
namespace {

using testing::WindowsTestFolder;

// The Windows form of a Linux folder named by an environment variable: Wine shows the Linux root as Z:.
std::optional<std::string> WindowsFolderOf(const char* variable) {
    const char* folder = std::getenv(variable);
    if (folder == nullptr || folder[0] != '/') {
        return std::nullopt;
    }
    std::string path = std::string("Z:") + folder;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

class RecycleBinTest : public ::testing::Test {
protected:
    void SetUp() override {
        trash_ = WindowsFolderOf("XDG_DATA_HOME");
        if (!trash_) {
            GTEST_SKIP() << "set XDG_DATA_HOME to a private folder and run under Wine, whose Recycle Bin is its Trash";
        }
        *trash_ += "\\Trash";
        testing::WriteText(file_, "old");
    }

    std::optional<std::string> trash_;
    WindowsTestFolder root_;
    // Unique, so that the entry this test makes is told from any other in the bin.
    const std::string name_ =
        "kept-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + ".txt";
    const std::string file_ = root_ / name_;
};

TEST_F(RecycleBinTest, KeptFileLeavesItsPlaceForTheRecycleBin) {
    TrashEntry kept(file_);
    ASSERT_TRUE(kept.Reserved()) << kept.Error();
    ASSERT_TRUE(kept.KeepByMove()) << kept.Error();
    EXPECT_EQ(GetFileAttributesA(file_.c_str()), INVALID_FILE_ATTRIBUTES) << "the place is free for the new file";
    kept.Confirm();

    EXPECT_EQ(testing::ReadText(*trash_ + "\\files\\" + name_), "old");
    EXPECT_NE(GetFileAttributesA((*trash_ + "\\info\\" + name_ + ".trashinfo").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(testing::CountTemporaryFiles(root_.path()), 0) << "the safety link beside it is gone";
}

TEST_F(RecycleBinTest, RollbackPutsTheFileBack) {
    {
        TrashEntry kept(file_);
        ASSERT_TRUE(kept.KeepByMove()) << kept.Error();
        EXPECT_TRUE(kept.Rollback()) << kept.Error();
    }
    EXPECT_EQ(testing::ReadText(file_), "old");
    EXPECT_EQ(testing::CountTemporaryFiles(root_.path()), 0);
}

// The Recycle Bin of Windows takes no path of the classic limit or more (Wine's would): the file stays as it was,
// and the copy that was to replace it says why it did not.
TEST_F(RecycleBinTest, AFileBeyondTheClassicPathLimitIsNotReplaced) {
    const std::string deep = testing::MakeDeepFolder(root_.path(), 260);
    testing::WriteText(deep + name_, "old");
    testing::WriteText(root_ / "new.txt", "new");
    CopyRequest request{.source = root_ / "new.txt",
                        .destination = deep + name_,
                        .destinationAsCompared = ReadFileFacts(deep + name_),
                        .keepReplaced = true};

    const CopyOutcome outcome = CopyFileFailSafe(request);
    EXPECT_EQ(outcome.status, CopyStatus::Failed);
    EXPECT_NE(outcome.cause.find("Recycle Bin"), std::string::npos) << outcome.cause;
    EXPECT_EQ(testing::ReadText(deep + name_), "old");
    EXPECT_EQ(GetFileAttributesA((*trash_ + "\\files\\" + name_).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(testing::CountTemporaryFiles(deep), 0);
}

// Where the shell deletes instead of recycling (and says it succeeded), the file must come back, and the caller
// must hear that it could not be kept. core_under_wine.sh runs this with a home trash that cannot be made.
TEST(RecycleBinThatDeletes, FileIsPutBackAndReportedNotKept) {
    if (std::getenv("QUILLMERE_RECYCLE_BIN_DELETES") == nullptr) {
        GTEST_SKIP() << "needs a Recycle Bin that deletes (QUILLMERE_RECYCLE_BIN_DELETES; see core_under_wine.sh)";
    }
    const WindowsTestFolder root;
    const std::string file = root / "kept.txt";
    testing::WriteText(file, "old");

    TrashEntry kept(file);
    ASSERT_TRUE(kept.Reserved()) << kept.Error();
    EXPECT_FALSE(kept.KeepByMove());
    EXPECT_EQ(kept.Failure(), TrashFailure::NoTrash) << kept.Error();
    EXPECT_EQ(testing::ReadText(file), "old");
    EXPECT_EQ(testing::CountTemporaryFiles(root.path()), 0);
}

// A copy asked to keep the file it replaces still replaces it where the Recycle Bin cannot take it, and says so.
TEST(RecycleBinThatDeletes, CopyReplacesAndSaysTheOldFileWasNotKept) {
    if (std::getenv("QUILLMERE_RECYCLE_BIN_DELETES") == nullptr) {
        GTEST_SKIP() << "needs a Recycle Bin that deletes (QUILLMERE_RECYCLE_BIN_DELETES; see core_under_wine.sh)";
    }
    const WindowsTestFolder root;
    testing::WriteText(root / "new.txt", "new");
    testing::WriteText(root / "kept.txt", "old");
    CopyRequest request{.source = root / "new.txt",
                        .destination = root / "kept.txt",
                        .destinationAsCompared = ReadFileFacts(root / "kept.txt"),
                        .keepReplaced = true};

    const CopyOutcome outcome = CopyFileFailSafe(request);
    EXPECT_EQ(outcome.status, CopyStatus::Copied) << outcome.cause;
    EXPECT_EQ(outcome.replaced, ReplacedFile::ReplacedUnkept);
    EXPECT_NE(outcome.cause.find("could not be kept"), std::string::npos) << outcome.cause;
    EXPECT_EQ(testing::ReadText(root / "kept.txt"), "new");
    EXPECT_EQ(testing::CountTemporaryFiles(root.path()), 0);
}

} // namespace
} // namespace quillmere::platform
