// SPDX-License-Identifier: GPL-3.0-or-later
// The core on Windows paths and attributes: the folder walk's entering rule, the guarded copy, the path helpers
// in their Windows form, and a real pass between two folders.
#include "engine/modLastModified.h"
#include "engine/modSync.h"
#include "fs/AddFolder.h"
#include "fs/Main.h"
#include "tests/support/CopyAsFound.h"
#include "tests/windows/WindowsTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillmere {
namespace {

using testing::WindowsTestFolder;

bool CopySafe(const std::string& source, const std::string& destination) {
    return test::IsCopied(CopyFileSafe(test::AsFound(source, destination)));
}

bool Holds(const FolderList& list, const std::string& folder) {
    return std::find(list.begin(), list.end(), folder) != list.end();
}

FolderList Walk(const std::string& start) {
    FolderList list{start};
    GetSubDirectories2016(list, true);
    return list;
}

class WindowsFolderWalk : public ::testing::Test {
protected:
    void SetUp() override {
        testing::MakeFolder(root_ / "Plain");
        testing::MakeFolder(recycle_);
        testing::MakeFolder(recycle_ + "Inner");
        testing::SetAttributes(recycle_, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }

    WindowsTestFolder root_;
    const std::string recycle_ = root_ / "$Recycle.Bin\\";
};

TEST_F(WindowsFolderWalk, LeavesOutAHiddenSystemFolderAndAllBelowIt) {
    const FolderList list = Walk(root_.path());
    EXPECT_EQ(list, (FolderList{root_.path(), root_ / "Plain\\"}));
}

TEST_F(WindowsFolderWalk, EntersItOnceTheArchiveBitIsAdded) {
    testing::SetAttributes(recycle_, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (platform::ReadAttributes(recycle_) == 22u)
        GTEST_SKIP() << "this system keeps no archive bit on folders (Wine stores only hidden and system)";
    const FolderList list = Walk(root_.path());
    EXPECT_TRUE(Holds(list, recycle_));
    EXPECT_TRUE(Holds(list, recycle_ + "Inner\\"));
}

TEST_F(WindowsFolderWalk, EntersItOnceItIsNoLongerASystemFolder) {
    testing::SetAttributes(recycle_, FILE_ATTRIBUTE_HIDDEN);
    const FolderList list = Walk(root_.path());
    EXPECT_TRUE(Holds(list, recycle_));
    EXPECT_TRUE(Holds(list, recycle_ + "Inner\\"));
}

TEST(WindowsFolderWalkRoots, ADriveRootIsEntered) {
    FolderList list{"C:\\"};
    GetSubDirectories2016(list, false);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front(), "C:\\");
    EXPECT_TRUE(Holds(list, "C:\\windows\\") || Holds(list, "C:\\Windows\\"));
}

TEST(WindowsFolderWalkRoots, AMissingShareStaysWithoutSubfolders) {
    FolderList list{"\\\\nosuchserver\\share\\"};
    GetSubDirectories2016(list, true);
    EXPECT_EQ(list, FolderList{"\\\\nosuchserver\\share\\"});
}

// The path rules themselves are checked in both styles by fs_tests (run under Wine too); here they meet the
// Win32 root test, as when a chosen drive or share gets its trailing separator and is normalized.
TEST(WindowsPathHelpers, RootsStayRootsThroughTheHelpers) {
    constexpr auto windows = PathStyle::Windows;
    EXPECT_TRUE(platform::IsRootFolder(NormalizePath(std::string("D:\\") + "\\", windows)));
    EXPECT_TRUE(platform::IsRootFolder(NormalizePath("\\\\\\server\\share\\", windows)));
    EXPECT_TRUE(platform::IsRootFolder(GetFolderPart("\\\\server\\share\\a.txt", windows)));
    EXPECT_TRUE(platform::IsRootFolder(GetFolderPart("C:\\a.txt", windows)));
    EXPECT_FALSE(platform::IsRootFolder(NormalizePath("\\\\server\\share\\\\dir\\", windows)));
    EXPECT_FALSE(platform::IsRootFolder(GetFolderPart("C:\\Data\\a.txt", windows)));
}

TEST(WindowsCopyFileSafe, ReadOnlyDestinationIsSkipped) {
    WindowsTestFolder one;
    WindowsTestFolder two;
    testing::WriteText(one / "a.txt", "new");
    testing::WriteText(two / "a.txt", "old");
    testing::SetAttributes(two / "a.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(CopySafe(one / "a.txt", two / "a.txt"));
    EXPECT_EQ(testing::ReadText(two / "a.txt"), "old");
    testing::SetAttributes(two / "a.txt", FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(CopySafe(one / "a.txt", two / "\\a.txt")); // the doubled separator is collapsed
    EXPECT_EQ(testing::ReadText(two / "a.txt"), "new");
}

// A pass both ways between two folders entered as the window enters them.
SyncCounts PassBetween(const std::string& folder1, const std::string& folder2, SyncObserver& observer) {
    return SyncFolders(SyncJob{EnteredFolder(folder1), EnteredFolder(folder2), {}},
                       FixedDirection(SyncDirection::BothWays), observer);
}

TEST(WindowsSyncPass, CopiesOneSidedFilesAndNewerOnesBothWays) {
    WindowsTestFolder one;
    WindowsTestFolder two;
    constexpr std::uint64_t k2021 = 132'749'000'000'000'000;
    testing::WriteText(one / "only1.txt", "1");
    testing::MakeFolder(two / "Sub");
    testing::WriteText(two / "Sub\\only2.txt", "2");
    testing::WriteText(one / "both.txt", "older");
    testing::WriteText(two / "both.txt", "newer");
    testing::SetLastWriteSteps(one / "both.txt", k2021);
    testing::SetLastWriteSteps(two / "both.txt", k2021 + 1); // 100 ns later still counts
    testing::WriteText(one / "~skip.txt", "temporary");

    SyncObserver observer;
    const SyncCounts counts = PassBetween(one.path(), two.path(), observer);

    EXPECT_EQ(counts.filesCopied, 3);
    EXPECT_EQ(counts.filesKept, 1) << "the older both.txt is in the Recycle Bin";
    EXPECT_EQ(testing::ReadText(two / "only1.txt"), "1");
    EXPECT_EQ(testing::ReadText(one / "only2.txt"), "2"); // into the top folder: no folder is created
    EXPECT_EQ(testing::ReadText(one / "both.txt"), "newer");
    EXPECT_EQ(GetFileLastModified(one / "both.txt"), GetFileLastModified(two / "both.txt"));
    EXPECT_FALSE(platform::ReadAttributes(two / "~skip.txt"));
    EXPECT_EQ(testing::CountTemporaryFiles(one.path()), 1); // only "~skip.txt" itself
    EXPECT_EQ(testing::CountTemporaryFiles(two.path()), 0);

    EXPECT_EQ(PassBetween(one.path(), two.path(), observer).filesCopied, 0); // in step now
}

// Folders and files past the classic limit of 260 characters are walked, read and written like any others.
TEST(WindowsSyncPass, ReachesFilesBeyondTheClassicPathLimit) {
    WindowsTestFolder one;
    WindowsTestFolder two;
    const std::string deep = testing::MakeDeepFolder(one.path(), 2 * 260);
    testing::WriteText(deep + "deep.txt", "from deep inside");
    const std::string longTop = testing::MakeDeepFolder(two.path(), 300);
    testing::WriteText(longTop + "top.txt", "into the deep side");

    SyncObserver observer;
    const SyncCounts counts = PassBetween(one.path(), longTop, observer);

    EXPECT_EQ(counts.filesCopied, 2);
    EXPECT_EQ(testing::ReadText(longTop + "deep.txt"), "from deep inside");
    EXPECT_EQ(testing::ReadText(one / "top.txt"), "into the deep side");
    EXPECT_EQ(testing::CountTemporaryFiles(longTop), 0);
}

} // namespace
} // namespace quillmere
