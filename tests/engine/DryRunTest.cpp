// SPDX-License-Identifier: GPL-3.0-or-later
// A dry run decides exactly the copies a real pass makes on the same trees, and writes nothing.
#include "PassDoubles.h"
#include "TreeFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace quillmere::test {
namespace {

// Trees in which later decisions depend on earlier copies: a chain through a copied file, two additions of one
// name where the first leaves a read-only file the second may not replace, a removed-looking file and a
// destination that is a folder.
void BuildTrees(const std::string& one, const std::string& two) {
    PutFile(one + "x/chain.txt", "newest", kBaseTime + 3 * kSecond);
    PutFile(one + "y/chain.txt", "oldest", kBaseTime);
    PutFile(two + "chain.txt", "middle", kBaseTime + kSecond);
    PutFile(one + "p/locked.txt", "first", kBaseTime);
    chmod((one + "p/locked.txt").c_str(), 0444);
    PutFile(one + "q/locked.txt", "second", kBaseTime);
    PutFile(one + "p/plain.txt", "first", kBaseTime);
    PutFile(one + "q/plain.txt", "second", kBaseTime);
    PutFile(two + "only2.txt", "2", kBaseTime);
    PutFile(one + "deep/er/only1.txt", "1", kBaseTime);
    PutFile(one + "item", "a file named like a folder", kBaseTime);
    std::filesystem::create_directories(two + "item");
    PutFile(two + "s/newer.txt", "new", kBaseTime + kSecond);
    PutFile(one + "newer.txt", "old", kBaseTime);
    PutFile(two + "~skip", "tilde", kBaseTime);
}

TEST(DryRun, DecidesTheCopiesOfARealPassAndWritesNothing) {
    for (SyncDirection direction : kAllDirections) {
        TempDir tree;
        const std::string one = MakeSide(tree, "one");
        const std::string two = MakeSide(tree, "two");
        BuildTrees(one, two);
        const std::string before = Snapshot(tree.Path());
        const FixedSettings settings(one, two, direction);

        RecordingObserver dry;
        const SyncCounts dryCounts = RunPassOf(settings, dry, SyncOptions{.dryRun = true});
        EXPECT_EQ(Snapshot(tree.Path()), before);

        RecordingObserver real;
        const SyncCounts realCounts = RunPassOf(settings, real);
        EXPECT_FALSE(real.copies.empty());
        EXPECT_EQ(dry.copies, real.copies);
        EXPECT_FALSE(real.kept.empty());
        EXPECT_EQ(dry.kept, real.kept);
        EXPECT_EQ(dryCounts, realCounts);
        EXPECT_TRUE(dry.errors.empty());
        EXPECT_TRUE(real.errors.empty());
    }
}

} // namespace
} // namespace quillmere::test
