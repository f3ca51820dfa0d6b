// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/AddFolder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillmere {
namespace {

using test::TempDir;
using test::WriteFile;
using Names = std::vector<std::string>;

TEST(GetFilesInFolder, HundredAndOneFilesHiddenIncludedFoldersExcluded) {
    TempDir dir;
    Names expected;
    for (int i = 0; i < 100; ++i) {
        const std::string name = "file" + std::to_string(1000 + i) + ".txt";
        WriteFile(dir / name, "x");
        expected.push_back(name);
    }
    WriteFile(dir / ".hidden", "h");
    expected.insert(expected.begin(), ".hidden");
    test::MakeFolder(dir / "sub");
    test::MakeFolder(dir / "sub.txt");
    std::filesystem::create_directory_symlink(dir / "sub", dir / "link-to-folder");

    const Names listed = GetFilesInFolder(dir.Path());
    EXPECT_EQ(listed.size(), 101u);
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(GetFilesInFolder(dir.Path() + "/"), expected) << "a trailing separator changes nothing";
}

TEST(GetFilesInFolder, EmptyMissingAndUnopenableGiveNothing) {
    TempDir dir;
    EXPECT_EQ(GetFilesInFolder(dir.Path()), Names{});
    EXPECT_EQ(GetFilesInFolder(dir / "missing"), Names{});
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    EXPECT_EQ(GetFilesInFolder(dir.Path()), Names{});
}

TEST(IsExistingFile, FilesOnly) {
    TempDir dir;
    WriteFile(dir / "f", "x");
    EXPECT_TRUE(IsExistingFile(dir / "f"));
    EXPECT_FALSE(IsExistingFile(dir.Path()));
    EXPECT_FALSE(IsExistingFile(dir / "missing"));
    EXPECT_FALSE(IsExistingFile(""));
}

} // namespace
} // namespace quillmere
