// SPDX-License-Identifier: GPL-3.0-or-later
// Watched passes against full ones: two worlds take the same random changes; one is synchronized by passes that
// re-read what its folder watch named, the other by full passes. After every step both tell the same copies and
// failures, and their trees hold the same files.
#include "engine/WatchedPasses.h"
#include "platform/FolderWatch.h"
#include "tests/support/TempDir.h"
#include "tests/watch/ToldLines.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include "tests/support/ChildProcess.h"
#include "tests/watch/KernelSettings.h"

#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>

namespace quillmere::test {
namespace {

namespace fs = std::filesystem;
using platform::FolderWatch;

constexpr std::int64_t kBase = 1'700'000'000'000'000'000;
constexpr std::int64_t kSecond = 1'000'000'000;

// A folder as the program is given it on this system: on Windows with "\\" only.
std::string SystemForm(std::string folder) {
    std::replace(folder.begin(), folder.end(), '/', static_cast<char>(fs::path::preferred_separator));
    return folder;
}

// One world: Folder 1 "one/", Folder 2 "two/" and a folder "outside/" to move things in from.
struct World {
    explicit World(const std::string& path) : root(path + "/") {
        for (const char* folder : {"one", "two", "outside"}) {
            fs::create_directories(root + folder);
        }
    }
    SyncJob Job() const {
        return SyncJob{SystemForm(root + "one/"), SystemForm(root + "two/"), SyncOptions{.keepReplaced = false}};
    }
    // Every file of both trees with its text and time.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const char* top : {"one", "two"}) {
            for (const auto& entry : fs::recursive_directory_iterator(root + top)) {
                if (entry.is_regular_file()) {
                    const std::string path = entry.path().string();
                    files[path.substr(root.size())] = ReadFile(path) + "@" + std::to_string(LastWriteNs(path));
                }
            }
        }
        return files;
    }
    std::string root;
};

// The random changes, made alike in both worlds.
class Changes {
public:
    explicit Changes(unsigned seed) : random_(seed) {}

    void Make(World& a, World& b) {
        const std::string tree = Pick({"one/", "two/"});
        const std::string folder = tree + Pick({"", "p/", "q/", "p/r/"});
        const std::string name = Pick({"a.txt", "b.txt", "c.txt"});
        const std::string other = tree + Pick({"", "p/", "q/", "s/"}) + Pick({"a.txt", "b.txt", "d.txt"});
        const int kind = Draw(9);
        ++clock_;
        for (World* world : {&a, &b}) {
            Apply(*world, kind, folder, name, other, tree);
        }
    }

private:
    void Apply(World& world, int kind, const std::string& folder, const std::string& name, const std::string& other,
               const std::string& tree) {
        const std::string& r = world.root;
        std::error_code ignored;
        switch (kind) {
        case 0: // create or modify
        case 1:
            fs::create_directories(r + folder, ignored);
            WriteFile(r + folder + name, "v" + std::to_string(clock_));
            SetLastWriteNs(r + folder + name, kBase + clock_ * kSecond);
            break;
        case 2: // touch older
            if (fs::exists(r + folder + name)) {
                SetLastWriteNs(r + folder + name, kBase - clock_ * kSecond);
            }
            break;
        case 3: // rename or move a file
            if (fs::exists(r + folder + name) && fs::exists(fs::path(r + other).parent_path())) {
                fs::rename(r + folder + name, r + other, ignored);
            }
            break;
        case 4: // delete a file
            fs::remove(r + folder + name, ignored);
            break;
        case 5: // move a folder within the tree
            if (fs::exists(r + tree + "p/") && !fs::exists(r + tree + "s/")) {
                fs::rename(r + tree + "p", r + tree + "s", ignored);
            } else if (fs::exists(r + tree + "s/")) {
                fs::rename(r + tree + "s", r + tree + "q/s", ignored);
            }
            break;
        case 6: // move a folder in from outside
            fs::create_directories(r + "outside/m/n", ignored);
            WriteFile(r + "outside/m/n/" + name, "in" + std::to_string(clock_));
            SetLastWriteNs(r + "outside/m/n/" + name, kBase + clock_ * kSecond);
            fs::rename(r + "outside/m", r + tree + "m" + std::to_string(clock_), ignored);
            break;
        case 7: // add a folder
            fs::create_directories(r + folder + "new" + std::to_string(clock_ % 3), ignored);
            break;
        default: // remove a folder
            fs::remove_all(r + tree + Pick({"q", "s", "p/r"}, true), ignored);
            break;
        }
    }

    int Draw(int below) { return static_cast<int>(random_() % static_cast<unsigned>(below)); }
    // Drawn once per change, so that both worlds get the same; again only when asked for from Apply.
    std::string Pick(std::initializer_list<const char*> choices, bool fixed = false) {
        if (fixed) {
            return *(choices.begin() + clock_ % choices.size());
        }
        return *(choices.begin() + Draw(static_cast<int>(choices.size())));
    }

    std::mt19937 random_;
    std::int64_t clock_ = 0;
};

// A world synchronized by watched passes: its folder watch's news, taken until a tenth of a second passes
// without any, names what each pass re-reads.
class WatchedWorld {
public:
    explicit WatchedWorld(World& world) : world_(world), watch_({world.Job().folder1, world.Job().folder2}) {}

    std::vector<std::string> Pass(const SyncSettings& settings) {
        WatchedPasses::Changes changes;
        for (;;) {
            const platform::WatchNews news = watch_.TakeNews();
            for (std::size_t tree = 0; tree < 2; ++tree) {
                doubted_[tree] = doubted_[tree] || news.trees[tree].doubt.has_value();
                pending_[tree].insert(news.trees[tree].changed.begin(), news.trees[tree].changed.end());
            }
            if (watch_.WaitForChange(std::chrono::milliseconds(100)) == platform::WaitResult::TimedOut) {
                break;
            }
        }
        for (std::size_t tree = 0; tree < 2; ++tree) {
            if (doubted_[tree]) {
                watch_.StartAfresh(tree);
                ++fullListings;
            } else if (passed_) {
                changes[tree].emplace(pending_[tree].begin(), pending_[tree].end());
            }
            doubted_[tree] = false;
            pending_[tree].clear();
        }
        Told told(world_.root);
        last = passes_.Run(world_.Job(), settings, told, changes);
        passed_ = true;
        for (std::size_t tree = 0; tree < 2; ++tree) {
            watch_.AddFolders(tree, passes_.FoldersListed(tree));
        }
        return told.lines;
    }
    // Whether news comes within a fifth of a second.
    bool Busy() {
        const bool busy = watch_.WaitForChange(std::chrono::milliseconds(200)) == platform::WaitResult::News;
        return busy;
    }

    SyncCounts last;
    int fullListings = 0;

private:
    World& world_;
    FolderWatch watch_;
    WatchedPasses passes_;
    std::set<std::string> pending_[2];
    bool doubted_[2] = {false, false};
    bool passed_ = false;
};

// Runs the changes of seed on both worlds and compares after every pass; the failures found, in words.
std::string Compare(const std::string& root, unsigned seed, int steps, SyncDirection direction, int* fullListings) {
    World watched(root + "/watched");
    World full(root + "/full");
    const FixedDirection settings(direction);
    WatchedWorld passes(watched);
    Changes changes(seed);
    std::string failures;
    for (int step = 0; step <= steps; ++step) {
        if (step > 0) {
            changes.Make(watched, full);
        }
        const std::vector<std::string> byWatch = passes.Pass(settings);
        Told told(full.root);
        SyncFolders(full.Job(), settings, told);
        if (byWatch != told.lines) {
            failures += "step " + std::to_string(step) + ": the passes told differently\n";
        }
        if (watched.Files() != full.Files()) {
            failures += "step " + std::to_string(step) + ": the trees differ\n";
        }
    }
    if (fullListings != nullptr) {
        *fullListings = passes.fullListings;
    }
    return failures;
}

#ifdef _WIN32
// Under Wine each change and pass costs many times more: fewer steps, in the direction that copies both ways.
constexpr int kRandomSteps = 12;
constexpr SyncDirection kDirections[] = {SyncDirection::BothWays};
constexpr unsigned kSeeds[] = {1u, 2u};
#else
constexpr int kRandomSteps = 25;
constexpr SyncDirection kDirections[] = {SyncDirection::BothWays, SyncDirection::Folder1ToFolder2};
constexpr unsigned kSeeds[] = {1u, 2u, 3u};
#endif

TEST(WatchedPasses, TellAndCopyWhatFullPassesDoAfterRandomChanges) {
    for (const SyncDirection direction : kDirections) {
        for (const unsigned seed : kSeeds) {
            TempDir root;
            EXPECT_EQ(Compare(root.Path(), seed, kRandomSteps, direction, nullptr), "")
                << "seed " << seed << ", direction " << static_cast<int>(direction);
        }
    }
}

// A watched pass re-reads only what the watch named: the folders it walks are all there, but it compares only
// the names of the folders named.
TEST(WatchedPasses, CompareOnlyTheNamesOfTheFoldersNamed) {
    TempDir root;
    World world(root.Path());
    for (int i = 0; i < 20; ++i) {
        for (const char* tree : {"one/", "two/"}) {
            WriteFile(world.root + tree + "f" + std::to_string(i) + ".txt", "same");
            SetLastWriteNs(world.root + tree + "f" + std::to_string(i) + ".txt", kBase);
        }
    }
    const FixedDirection settings(SyncDirection::BothWays);
    WatchedWorld passes(world);
    passes.Pass(settings);
    EXPECT_EQ(passes.last.pairsCompared, 20);
    WriteFile(world.root + "one/f3.txt", "newer");
    SetLastWriteNs(world.root + "one/f3.txt", kBase + kSecond);
    EXPECT_EQ(passes.Pass(settings), std::vector<std::string>{"copied one/f3.txt -> two/f3.txt"});
    EXPECT_EQ(passes.last.pairsCompared, 20) << "the top folder was named: all its names are compared";
    MakeFolder(world.root + "one/sub");
    passes.Pass(settings);
    WriteFile(world.root + "one/sub/f5.txt", "newest");
    SetLastWriteNs(world.root + "one/sub/f5.txt", kBase + 2 * kSecond);
    EXPECT_EQ(passes.Pass(settings),
              (std::vector<std::string>{"copied one/sub/f5.txt -> one/f5.txt", "copied one/sub/f5.txt -> two/f5.txt"}));
    EXPECT_EQ(passes.last.pairsCompared, 2) << "only f5's group";
}

// A pair a pass could not settle is compared again by the next, whatever folders the watch names: here a file
// dated a year ahead, which replaces nothing and is told each time.
TEST(WatchedPasses, ComparePairsLeftUnsettledAgain) {
    TempDir root;
    World world(root.Path());
    const std::int64_t yearAhead =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count() +
        365LL * 24 * 3600 * kSecond;
    WriteFile(world.root + "one/a.txt", "ahead");
    SetLastWriteNs(world.root + "one/a.txt", yearAhead);
    WriteFile(world.root + "two/a.txt", "older");
    SetLastWriteNs(world.root + "two/a.txt", kBase);
    MakeFolder(world.root + "two/other");
    const FixedDirection settings(SyncDirection::BothWays);
    WatchedWorld passes(world);
    const std::vector<std::string> first = passes.Pass(settings);
    ASSERT_EQ(first.size(), 1u);
    WriteFile(world.root + "two/other/b.txt", "elsewhere");
    const std::vector<std::string> second = passes.Pass(settings);
    EXPECT_EQ(std::count(second.begin(), second.end(), first.front()), 1) << "the refusal is told again";
}

// After a change, one pass copies it and at most one more, set off by that copy, finds nothing: then no news
// comes, and no pass runs.
TEST(WatchedPasses, AChangeSetsOffNoChainOfPasses) {
    TempDir root;
    World world(root.Path());
    const FixedDirection settings(SyncDirection::BothWays);
    WatchedWorld passes(world);
    passes.Pass(settings);
    EXPECT_FALSE(passes.Busy()) << "no news while nothing changes";
    WriteFile(world.root + "one/a.txt", "new");
    ASSERT_EQ(passes.Pass(settings).size(), 1u);
    EXPECT_TRUE(passes.Busy()) << "the copy is news";
    EXPECT_TRUE(passes.Pass(settings).empty());
    EXPECT_FALSE(passes.Busy()) << "a pass that found nothing wrote nothing";
}

#ifndef _WIN32
// With the system dropping every event, each tree is doubted at every change and listed in full, and the passes
// still equal full ones.
TEST(WatchedPasses, FallBackToFullListingsWhenTheQueueOverflows) {
    const std::string queued = ReadSetting(kMaxQueuedEvents);
    if (::geteuid() != 0 || queued.empty()) {
        GTEST_SKIP() << "lowering " << kMaxQueuedEvents << " needs root";
    }
    TempDir root;
    const auto told = RunInChild([&] {
        // Only the watch made while the setting is 0 overflows; the setting is put back at once.
        if (!WriteSetting(kMaxQueuedEvents, "0")) {
            return std::string("skip");
        }
        World watched(root.Path() + "/watched");
        World full(root.Path() + "/full");
        std::optional<WatchedWorld> passes;
        passes.emplace(watched);
        WriteSetting(kMaxQueuedEvents, queued);
        const FixedDirection settings(SyncDirection::BothWays);
        Changes changes(7);
        std::string failures;
        for (int step = 0; step < 12; ++step) {
            changes.Make(watched, full);
            const std::vector<std::string> byWatch = passes->Pass(settings);
            Told fullTold(full.root);
            SyncFolders(full.Job(), settings, fullTold);
            if (byWatch != fullTold.lines || watched.Files() != full.Files()) {
                failures += "step " + std::to_string(step) + " differs\n";
            }
        }
        return failures + "full listings " + std::to_string(passes->fullListings);
    });
    ASSERT_EQ(ReadSetting(kMaxQueuedEvents), queued);
    ASSERT_TRUE(told);
    if (*told == "skip") {
        GTEST_SKIP() << "cannot lower " << kMaxQueuedEvents;
    }
    EXPECT_TRUE(told->starts_with("full listings ")) << *told;
    EXPECT_NE(*told, "full listings 0") << "the overflow was never seen";
}

// With the watch limit reached (in a user namespace of the test's own), the trees are doubted and listed in full.
TEST(WatchedPasses, FallBackToFullListingsAtTheWatchLimit) {
    TempDir root;
    const auto told = RunInChild([&] {
        if (!OwnWatchLimit("3")) {
            return std::string("skip");
        }
        int fullListings = 0;
        const std::string failures = Compare(root.Path(), 11, 12, SyncDirection::BothWays, &fullListings);
        return failures + "full listings " + std::to_string(fullListings);
    });
    ASSERT_TRUE(told);
    if (*told == "skip") {
        GTEST_SKIP() << "no user namespace of our own with its own watch limit";
    }
    EXPECT_TRUE(told->starts_with("full listings ")) << *told;
    EXPECT_NE(*told, "full listings 0") << "the limit was never reached";
}

#endif

} // namespace
} // namespace quillmere::test
