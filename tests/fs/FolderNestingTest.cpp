// SPDX-License-Identifier: GPL-3.0-or-later
// Two folders that are one, or one inside the other, by whatever path: the same folder typed twice, a folder
// and one below it either way round, a link to either, a bind mount of either.
#include "fs/FolderNesting.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace quillmere {
namespace {

using platform::FileIdentity;
using platform::FolderLineage;
using test::MakeFolder;
using test::TempDir;

TEST(NestingRule, ComparesIdentitiesAlongTheFoldersAbove) {
    const FileIdentity a{1, 10}, sub{1, 11}, other{1, 12}, home{1, 2}, elsewhere{2, 10};
    const FolderLineage ofA{a, {home}}, ofSub{sub, {a, home}}, ofOther{other, {home}}, ofElsewhere{elsewhere, {}};
    EXPECT_EQ(NestingOf(ofA, ofA), FolderNesting::Same);
    EXPECT_EQ(NestingOf(ofA, ofSub), FolderNesting::SecondInsideFirst);
    EXPECT_EQ(NestingOf(ofSub, ofA), FolderNesting::FirstInsideSecond);
    EXPECT_EQ(NestingOf(ofA, ofOther), FolderNesting::Apart) << "siblings";
    EXPECT_EQ(NestingOf(ofA, ofElsewhere), FolderNesting::Apart) << "the same inode number on another device";
}

// Folders on the disk, named relative to a private folder; each case gives the two paths as typed.
struct Shape {
    const char* name;
    const char* first;
    const char* second;
    FolderNesting nesting;
};

class NestingOnDisk : public ::testing::TestWithParam<Shape> {
protected:
    void SetUp() override {
        for (const char* folder : {"A", "A/sub", "A/sub/deep", "AB", "B"}) {
            MakeFolder(dir / folder);
        }
        std::filesystem::create_directory_symlink(dir / "A/sub", dir / "link-to-sub");
        std::filesystem::create_directory_symlink(dir / "A", dir / "B/link-to-A");
        std::filesystem::create_directory_symlink("..", dir / "A/sub/up");
    }
    FolderNesting Nesting(const char* first, const char* second) const {
        const auto a = platform::ReadFolderLineage(dir / first);
        const auto b = platform::ReadFolderLineage(dir / second);
        EXPECT_TRUE(a && b) << first << ", " << second;
        return a && b ? NestingOf(*a, *b) : FolderNesting::Apart;
    }
    TempDir dir;
};

TEST_P(NestingOnDisk, IsFoundWhateverPathLeadsThere) {
    EXPECT_EQ(Nesting(GetParam().first, GetParam().second), GetParam().nesting);
}

std::string ShapeName(const ::testing::TestParamInfo<Shape>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, NestingOnDisk,
    ::testing::Values(Shape{"SameFolder", "A", "A", FolderNesting::Same},
                      Shape{"SameFolderTypedOtherwise", "A/", "B/../A//", FolderNesting::Same},
                      Shape{"SecondInsideFirst", "A", "A/sub", FolderNesting::SecondInsideFirst},
                      Shape{"FirstInsideSecond", "A/sub", "A", FolderNesting::FirstInsideSecond},
                      Shape{"FarBelow", "A/sub/deep", "A", FolderNesting::FirstInsideSecond},
                      Shape{"LinkIntoTheFirst", "A", "link-to-sub", FolderNesting::SecondInsideFirst},
                      Shape{"LinkToTheSecond", "B/link-to-A", "A/sub", FolderNesting::SecondInsideFirst},
                      Shape{"LinkToTheSameFolder", "B/link-to-A", "A", FolderNesting::Same},
                      Shape{"LinkUpward", "A/sub/up", "A/sub", FolderNesting::SecondInsideFirst},
                      Shape{"Siblings", "A/sub", "B", FolderNesting::Apart},
                      Shape{"NameStartsTheOther", "A", "AB", FolderNesting::Apart}),
    ShapeName);

// Bind mounts need root; a test run without it skips them.
class BindMount {
public:
    BindMount(const std::string& source, const std::string& target) : target_(target) {
        mounted_ = ::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
        error_ = errno;
    }
    ~BindMount() {
        if (mounted_) {
            ::umount2(target_.c_str(), MNT_DETACH);
        }
    }
    bool Mounted() const { return mounted_; }
    std::string Why() const { return std::strerror(error_); }

private:
    std::string target_;
    bool mounted_ = false;
    int error_ = 0;
};

class NestingThroughBindMount : public NestingOnDisk {};

// The bind mount's parents are not the folder's own: only its place in its file system tells where it lies.
TEST_F(NestingThroughBindMount, AFolderShownElsewhereStillLiesInsideItsParents) {
    MakeFolder(dir / "B/shown-sub");
    MakeFolder(dir / "B/shown-A");
    const BindMount sub(dir / "A/sub", dir / "B/shown-sub");
    const BindMount a(dir / "A", dir / "B/shown-A");
    if (!sub.Mounted() || !a.Mounted()) {
        GTEST_SKIP() << "cannot bind-mount here: " << sub.Why();
    }
    EXPECT_EQ(Nesting("A", "B/shown-sub"), FolderNesting::SecondInsideFirst);
    EXPECT_EQ(Nesting("B/shown-sub", "A"), FolderNesting::FirstInsideSecond);
    EXPECT_EQ(Nesting("B/shown-A", "A/sub"), FolderNesting::SecondInsideFirst);
    EXPECT_EQ(Nesting("B/shown-A", "A"), FolderNesting::Same);
    EXPECT_EQ(Nesting("B/shown-sub", "AB"), FolderNesting::Apart);
}

TEST_F(NestingOnDisk, TheProblemNamesBothFoldersAsGiven) {
    const std::string a = dir / "A/", sub = dir / "A/sub/", b = dir / "B/";
    EXPECT_EQ(NestedFoldersProblem({"Folder 1", a}, {"Folder 2", sub}),
              "Folder 2 '" + sub + "' lies inside Folder 1 '" + a + "'");
    EXPECT_EQ(NestedFoldersProblem({"FOLDER1", sub}, {"FOLDER2", a}),
              "FOLDER1 '" + sub + "' lies inside FOLDER2 '" + a + "'");
    EXPECT_EQ(NestedFoldersProblem({"Folder 1", a}, {"Folder 2", a}),
              "Folder 1 '" + a + "' and Folder 2 '" + a + "' are the same folder");
    EXPECT_EQ(NestedFoldersProblem({"Folder 1", a}, {"Folder 2", b}), "");
    EXPECT_EQ(NestedFoldersProblem({"Folder 1", a}, {"Folder 2", dir / "missing/"}), "")
        << "a folder that is not there is the pass's to report";
}

} // namespace
} // namespace quillmere
