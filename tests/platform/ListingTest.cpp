// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace quillmere::platform {
namespace {

using Names = std::vector<std::string>;
using test::TempDir;

class ListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeFolder(dir / "b");
        test::MakeFolder(dir / "a");
        test::MakeFolder(dir / ".dot");
        test::WriteFile(dir / "z.txt", "z");
        test::WriteFile(dir / ".hidden", "h");
        std::filesystem::create_directory_symlink(dir / "a", dir / "to-folder");
        std::filesystem::create_symlink(dir / "z.txt", dir / "to-file");
        std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
        ::mkfifo((dir / "pipe").c_str(), 0600);
    }
    TempDir dir;
};

TEST_F(ListingTest, SubfoldersAreSortedAndLinksToFoldersCount) {
    const Listing listing = ListSubfolderNames(dir.Path());
    EXPECT_EQ(listing.status, ListingStatus::Ok);
    EXPECT_EQ(listing.names, (Names{".dot", "a", "b", "to-folder"}));
}

TEST_F(ListingTest, FilesIncludeHiddenAndLinksButNoFoldersPipesOrDanglingLinks) {
    const Listing listing = ListFileNames(dir.Path() + "/");
    EXPECT_EQ(listing.status, ListingStatus::Ok);
    EXPECT_EQ(listing.names, (Names{".hidden", "to-file", "z.txt"}));
}

TEST_F(ListingTest, OneReadingGivesBothListingsAsTheyAre) {
    const FolderContents contents = ListFolderContents(dir.Path());
    EXPECT_EQ(contents.status, ListingStatus::Ok);
    EXPECT_EQ(contents.folders, ListSubfolderNames(dir.Path()).names);
    EXPECT_EQ(contents.files, ListFileNames(dir.Path()).names);
    EXPECT_EQ(ListFolderContents(dir / "z.txt").status, ListingStatus::PathNotFound);
}

// The facts read beside the names are those a look at each file by its path gives, links followed.
TEST_F(ListingTest, FactsAreReadBesideTheNamesOnlyWhenAskedFor) {
    EXPECT_TRUE(ListFolderContents(dir.Path()).fileFacts.empty());
    const FolderContents contents = ListFolderContents(dir.Path(), ContentsWanted{false, true, true});
    EXPECT_TRUE(contents.folders.empty());
    ASSERT_EQ(contents.fileFacts.size(), contents.files.size());
    for (std::size_t i = 0; i < contents.files.size(); ++i) {
        EXPECT_EQ(contents.fileFacts[i], ReadFileFacts(dir / contents.files[i])) << contents.files[i];
    }
    EXPECT_EQ(contents.fileFacts[1], contents.fileFacts[2]) << "the link to z.txt gives z.txt's facts";
}

TEST_F(ListingTest, MissingFolderAndFileAreNotFound) {
    EXPECT_EQ(ListSubfolderNames(dir / "missing").status, ListingStatus::PathNotFound);
    EXPECT_EQ(ListSubfolderNames(dir / "z.txt").status, ListingStatus::PathNotFound);
    EXPECT_EQ(ListFileNames(dir / "missing").status, ListingStatus::PathNotFound);
}

TEST_F(ListingTest, UnreadableFolderIsPermissionDenied) {
    ::chmod(dir.Path().c_str(), 0755);
    if (const auto reason = test::CannotRunAsNobodyIn(dir.Path())) {
        GTEST_SKIP() << *reason;
    }
    test::MakeFolder(dir / "closed");
    ::chmod((dir / "closed").c_str(), 0);
    const auto status = test::RunAsNobody([&] {
        return std::to_string(static_cast<int>(ListSubfolderNames(dir / "closed").status)) + " " +
               std::to_string(static_cast<int>(ListSubfolderNames(dir / "a").status));
    });
    ASSERT_TRUE(status.has_value()) << "the child running as nobody failed";
    EXPECT_EQ(*status, std::to_string(static_cast<int>(ListingStatus::PermissionDenied)) + " " +
                           std::to_string(static_cast<int>(ListingStatus::Ok)));
}

} // namespace
} // namespace quillmere::platform
