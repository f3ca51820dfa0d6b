// SPDX-License-Identifier: GPL-3.0-or-later
// Whole passes over many files of one name: each destination written once, and only what the pass did not write
// itself kept in the Trash; and files dated in the future, which replace nothing until their time comes.
#include "PassDoubles.h"
#include "TreeFiles.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace quillmere::test {
namespace {

constexpr std::int64_t kDay = 24 * 3600 * kSecond;

class NameGroupPass : public ::testing::Test {
protected:
    // A pass whose clock says now.
    SyncCounts Run(SyncDirection direction, std::int64_t now = kBaseTime) {
        observer = RecordingObserver{};
        SyncOptions options;
        options.clock = [now] { return platform::FileTime::FromNanoseconds(now); };
        const SyncCounts counts = RunPassOf(FixedSettings(folder1, folder2, direction), observer, options);
        EXPECT_TRUE(observer.errors.empty()) << observer.errors.front().description;
        return counts;
    }

    const PrivateHomeTrash trash;
    TempDir tree;
    std::string folder1 = MakeSide(tree, "one");
    std::string folder2 = MakeSide(tree, "two");
    RecordingObserver observer;
};

std::string Project(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "p%02d/", number);
    return name;
}

// Forty projects on each side, each with its README.md, Folder 1's newer and each later in the walk newer still:
// every README.md that takes ends with the newest, written once and kept once.
TEST_F(NameGroupPass, FortyProjectsCostOneCopyAndOneTrashEntryPerDestination) {
    struct Case {
        SyncDirection direction;
        std::int64_t destinations; // one way Folder 2's forty; both ways also Folder 1's older thirty-nine
    };
    for (const Case c : {Case{SyncDirection::Folder1ToFolder2, 40}, Case{SyncDirection::BothWays, 79}}) {
        for (int project = 0; project < 40; ++project) {
            PutFile(folder1 + Project(project) + "README.md", "new " + std::to_string(project),
                    kBaseTime + (project + 1) * kSecond);
            PutFile(folder2 + Project(project) + "README.md", "old", kBaseTime);
        }
        std::filesystem::remove_all(trash.Path());
        const SyncCounts counts = Run(c.direction);
        EXPECT_EQ(counts.filesCopied, c.destinations);
        EXPECT_EQ(counts.filesKept, c.destinations);
        EXPECT_EQ(NamesIn(trash.Path() + "/files").size(), static_cast<std::size_t>(c.destinations));
        for (int project = 0; project < 40; ++project) {
            EXPECT_EQ(ReadFile(folder2 + Project(project) + "README.md"), "new 39");
        }
        EXPECT_EQ(Run(c.direction).filesCopied, 0);
    }
}

struct FileAt {
    std::string path; // under the test's tree: "one/..." or "two/..."
    std::int64_t time;
};

struct FutureCase {
    const char* what;
    SyncDirection direction;
    std::int64_t now;
    std::vector<FileAt> files;
    std::vector<CopyRecord> copies;  // source, destination under the tree
    std::vector<CopyRecord> refused; // dated in the future
};

// A file dated more than a day ahead of the clock (a camera or a machine with a wrong clock, an archive with bad
// times) replaces nothing and is told, until the clock nears its time; the newest of the others gives instead.
TEST_F(NameGroupPass, AFileDatedMoreThanADayAheadReplacesNothingUntilItsTimeComes) {
    const std::int64_t ahead = kBaseTime + 365 * kDay;
    const FutureCase cases[] = {
        {"a year ahead",
         SyncDirection::BothWays,
         kBaseTime,
         {{"one/draft", ahead}, {"two/draft", kBaseTime}},
         {},
         {{"one/draft", "two/draft"}}},
        {"its time nearly reached",
         SyncDirection::BothWays,
         ahead - kDay / 2,
         {{"one/draft", ahead}, {"two/draft", kBaseTime}},
         {{"one/draft", "two/draft"}},
         {}},
        {"exactly a day ahead",
         SyncDirection::BothWays,
         ahead - kDay,
         {{"one/draft", ahead}, {"two/draft", kBaseTime}},
         {{"one/draft", "two/draft"}},
         {}},
        {"one way towards it",
         SyncDirection::Folder2ToFolder1,
         kBaseTime,
         {{"one/draft", ahead}, {"two/draft", kBaseTime}},
         {},
         {}},
        {"the newest of the others gives",
         SyncDirection::BothWays,
         kBaseTime,
         {{"one/x/draft", ahead}, {"one/y/draft", kBaseTime - kDay}, {"two/draft", kBaseTime}},
         {{"two/draft", "one/y/draft"}},
         {{"one/x/draft", "one/y/draft"}, {"one/x/draft", "two/draft"}}},
    };
    const auto underTree = [&](const std::vector<CopyRecord>& records) {
        std::vector<CopyRecord> full;
        for (const auto& [source, destination] : records) {
            full.emplace_back(tree / source, tree / destination);
        }
        return full;
    };
    for (const FutureCase& c : cases) {
        std::filesystem::remove_all(folder1);
        std::filesystem::remove_all(folder2);
        for (const FileAt& file : c.files) {
            PutFile(tree / file.path, file.path, file.time);
        }
        const SyncCounts counts = Run(c.direction, c.now);
        EXPECT_EQ(observer.copies, underTree(c.copies)) << c.what;
        std::vector<CopyRecord> refused;
        for (const auto& [source, destination, cause] : observer.notCopied) {
            EXPECT_EQ(cause, "dated in the future") << c.what;
            refused.emplace_back(source, destination);
        }
        EXPECT_EQ(refused, underTree(c.refused)) << c.what;
        EXPECT_EQ(counts.copiesRefused, static_cast<std::int64_t>(c.refused.size())) << c.what;
    }
}

} // namespace
} // namespace quillmere::test
