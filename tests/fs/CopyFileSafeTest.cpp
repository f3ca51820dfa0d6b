// SPDX-License-Identifier: GPL-3.0-or-later
#include "fs/AddFolder.h"
#include "fs/Main.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace quillmere {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

bool CopySafe(const std::string& source, const std::string& destination) {
    return test::IsCopied(CopyFileSafe(test::AsFound(source, destination)));
}

constexpr std::int64_t kSourceTime = 1'700'000'000'000'000'123;

class CopyFileSafeTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeFolder(dir / "one");
        test::MakeFolder(dir / "two");
        WriteFile(source, "source");
        ::chmod(source.c_str(), 0604);
        test::SetLastWriteNs(source, kSourceTime);
    }
    std::size_t EntriesInTwo() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir / "two"), {}));
    }
    TempDir dir;
    std::string source = dir / "one/a.txt";
    std::string destination = dir / "two/a.txt";
};

TEST_F(CopyFileSafeTest, CopiesWithTimeAndPermissions) {
    EXPECT_TRUE(CopySafe(source, destination));
    EXPECT_EQ(ReadFile(destination), "source");
    EXPECT_EQ(test::LastWriteNs(destination), kSourceTime);
    struct stat info {};
    ::stat(destination.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0604u);
}

TEST_F(CopyFileSafeTest, DoubledSeparatorsAreCollapsedFirst) {
    EXPECT_TRUE(CopySafe(dir / "one//a.txt", dir / "two//a.txt"));
    EXPECT_EQ(ReadFile(destination), "source");
}

TEST_F(CopyFileSafeTest, BlankArgumentsDoNothing) {
    for (const char* blank : {"", " ", "   "}) {
        EXPECT_FALSE(CopySafe(blank, destination)) << "[" << blank << "]";
        EXPECT_FALSE(CopySafe(source, blank)) << "[" << blank << "]";
    }
    EXPECT_EQ(EntriesInTwo(), 0u);
}

TEST_F(CopyFileSafeTest, SourceMustBeAnExistingFile) {
    EXPECT_FALSE(CopySafe(dir / "one", destination)) << "a folder";
    EXPECT_FALSE(CopySafe(dir / "one/missing.txt", destination));
    EXPECT_EQ(EntriesInTwo(), 0u);
}

TEST_F(CopyFileSafeTest, MissingDestinationFolderIsNeverCreated) {
    EXPECT_FALSE(CopySafe(source, dir / "two/new/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "two/new"));
    EXPECT_FALSE(CopySafe(source, "a.txt")) << "no folder part at all";
}

TEST_F(CopyFileSafeTest, ReplacesAnExistingFileButNotAReadOnlyOne) {
    WriteFile(destination, "older");
    EXPECT_TRUE(CopySafe(source, destination));
    EXPECT_EQ(ReadFile(destination), "source");

    WriteFile(dir / "two/locked.txt", "kept");
    ::chmod((dir / "two/locked.txt").c_str(), 0444);
    EXPECT_FALSE(CopySafe(source, dir / "two/locked.txt")) << "read-only binds root as well";
    EXPECT_EQ(ReadFile(dir / "two/locked.txt"), "kept");
}

TEST_F(CopyFileSafeTest, QuestionMarksAndStarsAreLettersOfPosixNames) {
    EXPECT_FALSE(CopySafe(dir / "one/*.txt", destination)) << "no wildcard expansion: no such file";
    EXPECT_EQ(EntriesInTwo(), 0u);
    WriteFile(dir / "one/what?.txt", "q");
    EXPECT_TRUE(CopySafe(dir / "one/what?.txt", dir / "two/what?.txt"));
    EXPECT_EQ(ReadFile(dir / "two/what?.txt"), "q");
}

TEST(GuardCopyPaths, BlankTextsWildcardsAndNormalizing) {
    EXPECT_FALSE(GuardCopyPaths("  ", "/b/x").has_value());
    EXPECT_FALSE(GuardCopyPaths("/a/x", "").has_value());
    const auto plain = GuardCopyPaths("//a//x", "/b//x");
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->source, "/a/x");
    EXPECT_EQ(plain->destination, "/b/x");
    EXPECT_EQ(GuardCopyPaths("/a/x?", "/b/x", PathStyle::Posix)->destination, "/b/x");
    const auto wildcard = GuardCopyPaths("C:\\a\\*.txt", "D:\\b\\\\x.txt", PathStyle::Windows);
    ASSERT_TRUE(wildcard.has_value());
    EXPECT_EQ(wildcard->source, "C:\\a\\*.txt");
    EXPECT_EQ(wildcard->destination, "D:\\b\\");
    EXPECT_EQ(GuardCopyPaths("C:\\a\\x?", "D:\\x", PathStyle::Windows)->destination, "D:\\");
}

TEST(IsFolder, FoldersAndLinksToFoldersOnly) {
    TempDir dir;
    WriteFile(dir / "file", "x");
    std::filesystem::create_directory_symlink(dir.Path(), dir / "link");
    EXPECT_TRUE(IsFolder(dir.Path()));
    EXPECT_TRUE(IsFolder(dir.Path() + "/"));
    EXPECT_TRUE(IsFolder(dir / "link"));
    EXPECT_FALSE(IsFolder(dir / "file"));
    EXPECT_FALSE(IsFolder(dir / "missing"));
    EXPECT_FALSE(IsFolder(""));
}

} // namespace
} // namespace quillmere
