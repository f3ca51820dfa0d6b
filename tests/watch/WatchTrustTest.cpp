// SPDX-License-Identifier: GPL-3.0-or-later
// When the Linux folder watch says it cannot be trusted, and for how long: a queue that overflowed, the limit on
// watches, FUSE folders, a top folder that left. And a folder no pass can read, which is no cause for doubt.
#include "platform/FolderWatch.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"
#include "tests/watch/KernelSettings.h"
#include "tests/watch/WatchedTrees.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

namespace quillmere::test {
namespace {

namespace fs = std::filesystem;
using platform::DoubtKind;
using platform::FolderWatch;

// Gathers news until tree has a doubt, for at most ten seconds.
std::optional<platform::WatchDoubt> DoubtOf(FolderWatch& watch, std::size_t tree) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        if (auto doubt = watch.TakeNews().trees[tree].doubt) {
            return doubt;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || watch.WaitForChange(left) == platform::WaitResult::TimedOut) {
            return std::nullopt;
        }
    }
}

// An instance made while the system queues no event at all drops the very first one; the setting is the system's,
// so it is lowered only while the watch makes its instance.
TEST(WatchTrust, QueueOverflowDoubtsBothTreesUntilEachStartsAfresh) {
    const std::string queued = ReadSetting(kMaxQueuedEvents);
    if (::geteuid() != 0 || queued.empty()) {
        GTEST_SKIP() << "lowering " << kMaxQueuedEvents << " needs root";
    }
    WatchedTrees trees({"a/"});
    ASSERT_TRUE(WriteSetting(kMaxQueuedEvents, "0"));
    trees.Rewatch();
    ASSERT_TRUE(WriteSetting(kMaxQueuedEvents, queued));
    ASSERT_EQ(ReadSetting(kMaxQueuedEvents), queued);

    WriteFile(trees.In(0, "a/f.txt"), "f");
    ASSERT_TRUE(trees.WaitForDoubt(0));
    for (std::size_t tree = 0; tree < 2; ++tree) {
        ASSERT_TRUE(trees.Doubt(tree)) << tree;
        EXPECT_EQ(trees.Doubt(tree)->kind, DoubtKind::QueueOverflowed);
    }
    trees.Forget();
    EXPECT_TRUE(trees.Doubt(0)) << "the doubt lasts until the tree starts afresh";

    trees.Watch().StartAfresh(0);
    const platform::WatchNews news = trees.Watch().TakeNews();
    EXPECT_EQ(news.trees[0].doubt, std::nullopt);
    EXPECT_TRUE(news.trees[1].doubt) << "the other tree was not started afresh";
}

// The limit lives in a user namespace of the test's own, so that no other program on the machine runs short.
TEST(WatchTrust, WatchLimitDoubtsTheTreesAndCountsTheirFolders) {
    TempDir root;
    for (const char* folder : {"one/a/1", "one/a/2", "one/b/1", "one/b/2", "one/c/1", "one/c/2", "two/x"}) {
        fs::create_directories(root / folder);
    }
    const std::vector<std::string> tops{root / "one/", root / "two/"};
    const auto told = RunInChild([&]() -> std::string {
        if (!OwnWatchLimit("8")) {
            return "skip";
        }
        FolderWatch watch(tops);
        const platform::WatchNews limited = watch.TakeNews();
        WriteSetting("/proc/sys/user/max_inotify_watches", "1000");
        watch.StartAfresh(0);
        watch.StartAfresh(1);
        const platform::WatchNews raised = watch.TakeNews();
        std::string text;
        for (const auto& news : {limited, raised}) {
            for (const auto& tree : news.trees) {
                text += tree.doubt ? std::to_string(static_cast<int>(tree.doubt->kind)) + ":" + tree.doubt->words
                                   : std::string("trusted");
                text += "\n";
            }
        }
        return text;
    });
    ASSERT_TRUE(told) << "the child failed";
    if (*told == "skip") {
        GTEST_SKIP() << "no user namespace of our own with its own watch limit";
    }
    std::istringstream lines(*told);
    std::string one, two, oneRaised, twoRaised;
    std::getline(lines, one);
    std::getline(lines, two);
    std::getline(lines, oneRaised);
    std::getline(lines, twoRaised);
    const std::string limitReached = std::to_string(static_cast<int>(DoubtKind::WatchLimitReached)) + ":";
    const std::regex counts(R"(\((\d+) of (\d+) folders watched\))");
    std::smatch found;
    EXPECT_TRUE(one.starts_with(limitReached)) << one;
    ASSERT_TRUE(std::regex_search(one, found, counts)) << one;
    EXPECT_LT(std::stoi(found[1]), 10) << one;
    EXPECT_EQ(found[2], "10") << "every folder of the tree is counted: " << one;
    EXPECT_TRUE(two.starts_with(limitReached)) << two;
    ASSERT_TRUE(std::regex_search(two, found, counts)) << two;
    EXPECT_EQ(found[1], "0") << two;
    EXPECT_EQ(found[2], "2") << two;
    EXPECT_EQ(oneRaised, "trusted") << "starting afresh under a higher limit watches every folder";
    EXPECT_EQ(twoRaised, "trusted");
}

TEST(WatchTrust, FuseFoldersAreDoubted) {
    if (const auto reason = FatMount::SkipReason()) {
        GTEST_SKIP() << *reason;
    }
    FatMount fat;
    if (!fat.Mounted()) {
        GTEST_SKIP() << fat.Failure();
    }
    TempDir local;
    MakeFolder(local / "plain");
    MakeFolder(local / "holding");
    fs::create_directory_symlink(fat.Path(), local / "holding/stick");

    FolderWatch watch({fat.Path() + "/", local / "plain/", local / "holding/"});
    const platform::WatchNews news = watch.TakeNews();
    ASSERT_TRUE(news.trees[0].doubt);
    EXPECT_EQ(news.trees[0].doubt->kind, DoubtKind::ChangesFromElsewhere);
    EXPECT_NE(news.trees[0].doubt->words.find("FUSE"), std::string::npos) << news.trees[0].doubt->words;
    EXPECT_EQ(news.trees[1].doubt, std::nullopt) << "a local folder is trusted";
    ASSERT_TRUE(news.trees[2].doubt) << "a FUSE folder reached through a link in the tree";
    EXPECT_NE(news.trees[2].doubt->words.find(local / "holding/stick"), std::string::npos)
        << news.trees[2].doubt->words;
}

struct LeavingCase {
    const char* what;
    std::function<void(const TempDir&)> leave;
};

// Named in the test list by what it tries, not by its bytes.
void PrintTo(const LeavingCase& tested, std::ostream* out) {
    *out << tested.what;
}

class TopFolderLeaving : public ::testing::TestWithParam<LeavingCase> {};

// The top folder's path no longer leads to the folder watched, so nothing at that path would be seen.
TEST_P(TopFolderLeaving, DoubtsTheTree) {
    TempDir root;
    fs::create_directories(root / "above/top/a");
    MakeFolder(root / "other");
    FolderWatch watch({root / "above/top/", root / "other/"});
    ASSERT_EQ(watch.TakeNews().trees[0].doubt, std::nullopt);

    GetParam().leave(root);
    const auto doubt = DoubtOf(watch, 0);
    ASSERT_TRUE(doubt);
    EXPECT_EQ(doubt->kind, DoubtKind::FolderGone);
    EXPECT_EQ(watch.TakeNews().trees[1].doubt, std::nullopt);
}

const LeavingCase kLeavings[] = {
    {"TopRenamed", [](const TempDir& root) { fs::rename(root / "above/top", root / "above/moved"); }},
    {"TopDeleted", [](const TempDir& root) { fs::remove_all(root / "above/top"); }},
    {"FolderAboveRenamed", [](const TempDir& root) { fs::rename(root / "above", root / "moved"); }},
};

std::string CaseName(const ::testing::TestParamInfo<LeavingCase>& tested) {
    return tested.param.what;
}

INSTANTIATE_TEST_SUITE_P(Leaving, TopFolderLeaving, ::testing::ValuesIn(kLeavings), CaseName);

TEST(WatchTrust, MissingTopFolderIsDoubtedFromTheStart) {
    TempDir root;
    MakeFolder(root / "other");
    FolderWatch watch({root / "missing/", root / "other/"});
    const platform::WatchNews news = watch.TakeNews();
    ASSERT_TRUE(news.trees[0].doubt);
    EXPECT_EQ(news.trees[0].doubt->kind, DoubtKind::FolderGone);
    EXPECT_EQ(news.trees[1].doubt, std::nullopt);
}

// A folder the user cannot read is not read by a pass either: no cause for doubt. Once it is opened up, its
// parent's watch tells, and it is watched from then on.
TEST(WatchTrust, UnreadableFolderIsWatchedOnceItCanBeRead) {
    TempDir root;
    ::chmod(root.Path().c_str(), 0755);
    if (const auto reason = CannotRunAsNobodyIn(root.Path())) {
        GTEST_SKIP() << *reason;
    }
    for (const char* folder : {"one", "one/locked", "two"}) {
        MakeFolder(root / folder);
        ASSERT_EQ(::chown((root / folder).c_str(), kNobody, kNobody), 0);
    }
    ::chmod((root / "one/locked").c_str(), 0);
    const auto told = RunAsNobody([&]() -> std::string {
        FolderWatch watch({root / "one/", root / "two/"});
        const bool trusted = !watch.TakeNews().trees[0].doubt;
        const auto toldOfLocked = [&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (std::chrono::steady_clock::now() < deadline) {
                watch.WaitForChange(std::chrono::milliseconds(100));
                if (Relative(watch.TakeNews().trees[0].changed, root / "one/").contains("locked/")) {
                    return true;
                }
            }
            return false;
        };
        ::chmod((root / "one/locked").c_str(), 0755);
        const bool opened = toldOfLocked();
        WriteFile(root / "one/locked/f.txt", "f");
        const bool written = toldOfLocked();
        return std::string(trusted ? "trusted" : "doubted") + (opened ? " opened" : "") + (written ? " written" : "");
    });
    ASSERT_TRUE(told) << "the child running as nobody failed";
    EXPECT_EQ(*told, "trusted opened written");
}

} // namespace
} // namespace quillmere::test
