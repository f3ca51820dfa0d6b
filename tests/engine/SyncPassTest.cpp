// SPDX-License-Identifier: GPL-3.0-or-later
// Whole passes between real temporary folders.
#include "PassDoubles.h"
#include "TreeFiles.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillmere::test {
namespace {

class SyncPass : public ::testing::Test {
protected:
    SyncCounts Run(SyncDirection direction) { return Run(folder1, folder2, direction); }
    SyncCounts Run(const std::string& one, const std::string& two, SyncDirection direction) {
        observer = RecordingObserver{};
        const SyncCounts counts = RunPassOf(FixedSettings(one, two, direction), observer);
        EXPECT_TRUE(observer.errors.empty()) << observer.errors.front().description;
        return counts;
    }

    TempDir tree;
    std::string folder1 = MakeSide(tree, "one");
    std::string folder2 = MakeSide(tree, "two");
    RecordingObserver observer;
};

TEST_F(SyncPass, EmptyFoldersCopyNothing) {
    const SyncCounts counts = Run(SyncDirection::BothWays);
    EXPECT_EQ(counts.filesListed, 0);
    EXPECT_EQ(counts.filesCopied, 0);
}

TEST_F(SyncPass, OneSidedFileFromASubfolderLandsInTheOtherTopFolder) {
    for (SyncDirection direction : {SyncDirection::BothWays, SyncDirection::Folder1ToFolder2}) {
        PutFile(folder1 + "sub/a.txt", "from sub", kBaseTime);
        std::filesystem::remove_all(folder2);
        std::filesystem::create_directory(folder2);
        EXPECT_EQ(Run(direction).filesCopied, 1);
        EXPECT_EQ(ReadFile(folder2 + "a.txt"), "from sub");
        EXPECT_EQ(LastWriteNs(folder2 + "a.txt"), kBaseTime);
        EXPECT_FALSE(Exists(folder2 + "sub"));
    }
}

TEST_F(SyncPass, SameNameInDifferentSubfoldersIsNoAddition) {
    PutFile(folder1 + "x/a.txt", "one", kBaseTime);
    PutFile(folder2 + "y/a.txt", "two", kBaseTime);
    for (SyncDirection direction : kAllDirections) {
        EXPECT_EQ(Run(direction).filesCopied, 0);
    }
    EXPECT_FALSE(Exists(folder1 + "a.txt"));
    EXPECT_FALSE(Exists(folder2 + "a.txt"));
}

// Each destination is written once: with the one that would remain after copying all of them in turn.
TEST_F(SyncPass, TwoSameNamedAdditionsLeaveTheOneFoundLater) {
    PutFile(folder1 + "p/a.txt", "from p", kBaseTime + kSecond);
    PutFile(folder1 + "q/a.txt", "from q", kBaseTime);
    Run(SyncDirection::Folder1ToFolder2);
    EXPECT_EQ(observer.copies, (std::vector<CopyRecord>{{folder1 + "q/a.txt", folder2 + "a.txt"}}));
    EXPECT_EQ(ReadFile(folder2 + "a.txt"), "from q");
}

TEST_F(SyncPass, TildeFilesTakeNoPartInAnyDirection) {
    PutFile(folder1 + "~lock.tmp", "1", kBaseTime + kSecond);
    PutFile(folder2 + "~lock.tmp", "2", kBaseTime);
    PutFile(folder2 + "sub/~only.tmp", "3", kBaseTime);
    for (SyncDirection direction : kAllDirections) {
        const SyncCounts counts = Run(direction);
        EXPECT_EQ(counts.filesListed, 0);
        EXPECT_EQ(counts.filesCopied, 0);
    }
    EXPECT_EQ(ReadFile(folder2 + "~lock.tmp"), "2");
}

TEST_F(SyncPass, OneWayLeavesTheOtherSideAlone) {
    PutFile(folder2 + "only2.txt", "2", kBaseTime);
    PutFile(folder1 + "both.txt", "old", kBaseTime);
    PutFile(folder2 + "both.txt", "new", kBaseTime + kSecond);
    EXPECT_EQ(Run(SyncDirection::Folder1ToFolder2).filesCopied, 0);
    EXPECT_FALSE(Exists(folder1 + "only2.txt"));
    EXPECT_EQ(ReadFile(folder1 + "both.txt"), "old");
}

TEST_F(SyncPass, SameFolderOnBothSidesComparesOnlyItsSameNamedFiles) {
    PutFile(folder1 + "x/a.txt", "new", kBaseTime + kSecond);
    PutFile(folder1 + "y/a.txt", "old", kBaseTime);
    PutFile(folder1 + "b.txt", "b", kBaseTime);
    Run(folder1, folder1, SyncDirection::BothWays);
    EXPECT_EQ(observer.copies, (std::vector<CopyRecord>{{folder1 + "x/a.txt", folder1 + "y/a.txt"}}));
    EXPECT_EQ(ReadFile(folder1 + "y/a.txt"), "new");
}

TEST_F(SyncPass, NamesDifferingInLetterCaseAreDifferentFiles) {
    PutFile(folder1 + "A.txt", "upper", kBaseTime);
    PutFile(folder2 + "a.txt", "lower", kBaseTime);
    EXPECT_EQ(Run(SyncDirection::BothWays).filesCopied, 2);
    EXPECT_EQ(ReadFile(folder2 + "A.txt"), "upper");
    EXPECT_EQ(ReadFile(folder1 + "a.txt"), "lower");
}

// Where the destination tells letter case apart, both are added.
TEST_F(SyncPass, AdditionsDifferingOnlyInLetterCaseAreBothCopied) {
    PutFile(folder1 + "Report.txt", "upper", kBaseTime);
    PutFile(folder1 + "sub/report.txt", "lower", kBaseTime + kSecond);
    EXPECT_EQ(Run(SyncDirection::Folder1ToFolder2).filesCopied, 2);
    EXPECT_TRUE(observer.notCopied.empty());
    EXPECT_EQ(NamesIn(folder2), (std::vector<std::string>{"Report.txt", "report.txt"}));
}

TEST_F(SyncPass, FileDeletedOnOneSideIsCopiedBackBothWays) {
    PutFile(folder2 + "deep/kept.txt", "kept", kBaseTime);
    EXPECT_EQ(Run(SyncDirection::BothWays).filesCopied, 1);
    EXPECT_EQ(ReadFile(folder1 + "kept.txt"), "kept");
}

TEST_F(SyncPass, MissingFolder2CreatesNothing) {
    PutFile(folder1 + "a.txt", "1", kBaseTime);
    std::filesystem::remove(folder2);
    for (SyncDirection direction : kAllDirections) {
        EXPECT_EQ(Run(direction).filesCopied, 0);
    }
    EXPECT_FALSE(Exists(folder2));
}

TEST_F(SyncPass, NewerFileInASubfolderIsUpdatedWhereItLies) {
    for (SyncDirection direction : kAllDirections) {
        PutFile(folder1 + "x/a.txt", "new", kBaseTime + kSecond);
        PutFile(folder2 + "y/a.txt", "old", kBaseTime);
        const bool towards2 = direction != SyncDirection::Folder2ToFolder1;
        EXPECT_EQ(Run(direction).filesCopied, towards2 ? 1 : 0);
        EXPECT_EQ(ReadFile(folder2 + "y/a.txt"), towards2 ? "new" : "old");
        EXPECT_EQ(ReadFile(folder1 + "x/a.txt"), "new");
        EXPECT_FALSE(Exists(folder2 + "a.txt"));
    }
}

TEST_F(SyncPass, EqualTimesCopyNothingAndOneNanosecondCounts) {
    PutFile(folder1 + "a.txt", "one", kBaseTime);
    PutFile(folder2 + "a.txt", "two", kBaseTime);
    for (SyncDirection direction : kAllDirections) {
        EXPECT_EQ(Run(direction).filesCopied, 0);
    }
    PutFile(folder2 + "a.txt", "two", kBaseTime + 1);
    EXPECT_EQ(Run(SyncDirection::BothWays).filesCopied, 1);
    EXPECT_EQ(ReadFile(folder1 + "a.txt"), "two");
}

// Straight from the newest file, Folder 1's files first.
TEST_F(SyncPass, BothWaysCarriesTheNewestFileToAllThree) {
    PutFile(folder1 + "x/a.txt", "newest", kBaseTime + 2 * kSecond);
    PutFile(folder1 + "y/a.txt", "oldest", kBaseTime);
    PutFile(folder2 + "a.txt", "middle", kBaseTime + kSecond);
    Run(SyncDirection::BothWays);
    EXPECT_EQ(observer.copies, (std::vector<CopyRecord>{{folder1 + "x/a.txt", folder1 + "y/a.txt"},
                                                        {folder1 + "x/a.txt", folder2 + "a.txt"}}));
    for (const std::string& path : {folder1 + "x/a.txt", folder1 + "y/a.txt", folder2 + "a.txt"}) {
        EXPECT_EQ(ReadFile(path), "newest");
        EXPECT_EQ(LastWriteNs(path), kBaseTime + 2 * kSecond);
    }
}

TEST_F(SyncPass, NewerFileOverwritesSeveralOlderOnesInIndexOrder) {
    PutFile(folder1 + "a.txt", "new", kBaseTime + kSecond);
    PutFile(folder2 + "m/a.txt", "old", kBaseTime);
    PutFile(folder2 + "n/a.txt", "old", kBaseTime);
    EXPECT_EQ(Run(SyncDirection::BothWays).pairsCompared, 2);
    EXPECT_EQ(observer.copies, (std::vector<CopyRecord>{{folder1 + "a.txt", folder2 + "m/a.txt"},
                                                        {folder1 + "a.txt", folder2 + "n/a.txt"}}));
}

TEST_F(SyncPass, SecondPassCopiesNothing) {
    PutFile(folder1 + "a.txt", "1", kBaseTime + 123'456'789);
    PutFile(folder2 + "s/a.txt", "2", kBaseTime);
    PutFile(folder2 + "s/b.txt", "3", kBaseTime);
    EXPECT_EQ(Run(SyncDirection::BothWays).filesCopied, 2);
    EXPECT_EQ(Run(SyncDirection::BothWays).filesCopied, 0);
}

// A file a newer one replaces is kept in the Trash unless the pass is told not to; same-named additions are one
// copy, which replaces nothing.
TEST_F(SyncPass, ReplacedFilesAreKeptUnlessToldNotAndAdditionsNever) {
    const PrivateHomeTrash trash;
    PutFile(folder1 + "p/twice.txt", "first", kBaseTime);
    PutFile(folder1 + "q/twice.txt", "second", kBaseTime);
    for (const bool keep : {true, false}) {
        PutFile(folder1 + "a.txt", keep ? "new" : "newer", kBaseTime + 2 * kSecond);
        PutFile(folder2 + "a.txt", keep ? "old" : "older", kBaseTime);
        observer = RecordingObserver{};
        const SyncCounts counts = RunPassOf(FixedSettings(folder1, folder2, SyncDirection::Folder1ToFolder2), observer,
                                            SyncOptions{.keepReplaced = keep});
        EXPECT_EQ(counts.filesKept, keep ? 1 : 0);
        EXPECT_EQ(observer.kept, keep ? std::vector<std::string>{folder2 + "a.txt"} : std::vector<std::string>{});
    }
    EXPECT_EQ(NamesIn(trash.Path() + "/files"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(ReadFile(trash.Path() + "/files/a.txt"), "old");
}

TEST_F(SyncPass, CountsWhatItDid) {
    PutFile(folder1 + "a.txt", "1", kBaseTime + kSecond);
    PutFile(folder1 + "sub/b.txt", "2", kBaseTime);
    PutFile(folder2 + "a.txt", "3", kBaseTime);
    const SyncCounts counts = Run(SyncDirection::BothWays);
    EXPECT_EQ(counts.filesListed, 3);
    EXPECT_EQ(counts.pairsCompared, 1);
    EXPECT_EQ(counts.filesCopied, 2);
    EXPECT_GE(counts.foldersWalked, 3);
    EXPECT_EQ(observer.last, counts);
}

} // namespace
} // namespace quillmere::test
