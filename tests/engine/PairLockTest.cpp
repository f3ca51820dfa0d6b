// SPDX-License-Identifier: GPL-3.0-or-later
// Two passes never work on a folder at once: a pass whose pair shares a folder with a running pass's runs none.
#include "PassDoubles.h"

#include "engine/PairLock.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

namespace quillmere::test {
namespace {

// Four folders of a test's own under the system's temporary folder, removed with it.
class Folders {
public:
    Folders()
        : root_(std::filesystem::temp_directory_path() / ("quillmere-lock-" + std::to_string(std::random_device{}()))) {
        for (const char* name : {"w", "x", "y", "z"}) {
            std::filesystem::create_directories(root_ / name);
        }
    }
    ~Folders() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    Folders(const Folders&) = delete;
    Folders& operator=(const Folders&) = delete;

    std::string operator[](const std::string& name) const { return (root_ / name).string() + platform::kSeparator; }

private:
    std::filesystem::path root_;
};

// Asked from a thread of its own, as another pass asks; on Windows a thread may take again what it holds.
bool MayRun(const std::string& folder1, const std::string& folder2) {
    bool held = false;
    std::thread([&] { held = PairLock(folder1, folder2).Held(); }).join();
    return held;
}

TEST(PairLock, APairSharingAFolderWithARunningPassRunsNone) {
    const Folders folders;
    std::optional<PairLock> running(std::in_place, folders["x"], folders["y"]);
    ASSERT_TRUE(running->Held());
    const std::string xByAnotherPath = folders["x"] + ".." + platform::kSeparator + "x" + platform::kSeparator;
    const std::tuple<const char*, std::string, std::string, bool> cases[] = {
        {"the same pair", folders["x"], folders["y"], false},
        {"the same pair, sides swapped", folders["y"], folders["x"], false},
        {"one folder in common", folders["y"], folders["z"], false},
        {"the folder by another path", folders["w"], xByAnotherPath, false},
        {"other folders", folders["w"], folders["z"], true},
        {"one folder on both sides, claimed once", folders["z"], folders["z"], true},
        {"a folder that is not there", folders["missing"], folders["w"], true},
    };
    for (const auto& [what, folder1, folder2, mayRun] : cases) {
        EXPECT_EQ(MayRun(folder1, folder2), mayRun) << what;
    }
    running.reset();
    EXPECT_TRUE(MayRun(folders["x"], folders["y"])) << "free once the running pass ends";
}

// It says so, and neither lists nor copies anything; a dry run, which writes nothing, still looks.
TEST(PairLock, APassThatFindsItsFoldersTakenSaysSoAndDoesNothing) {
    const Folders folders;
    const std::string file = folders["x"] + "a.txt";
    std::FILE* written = std::fopen(file.c_str(), "w");
    ASSERT_NE(written, nullptr);
    std::fclose(written);
    const PairLock running(folders["y"], folders["z"]);
    for (const bool dryRun : {false, true}) {
        RecordingObserver observer;
        SyncCounts counts;
        std::thread([&] {
            counts = RunPassOf(FixedSettings(folders["x"], folders["y"], SyncDirection::BothWays), observer,
                               SyncOptions{.dryRun = dryRun});
        }).join();
        EXPECT_EQ(observer.notRun, dryRun ? std::vector<std::string>{}
                                          : std::vector<std::string>{"another pass is running on these folders"});
        EXPECT_EQ(counts.filesListed, dryRun ? 1 : 0);
        EXPECT_TRUE(observer.copies.empty() != dryRun);
    }
    EXPECT_FALSE(std::filesystem::exists(folders["y"] + "a.txt"));
}

} // namespace
} // namespace quillmere::test
