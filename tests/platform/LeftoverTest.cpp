// SPDX-License-Identifier: GPL-3.0-or-later
// What lies under a temporary name after a crash, or while another run's copy is in the middle of a replacement:
// a user's file swapped out is put back or left alone, never removed; an empty file of the program's own making is
// cleared away.
#include "platform/FileCopy.h"
#include "platform/TemporaryName.h"
#include "platform/posix/TemporarySibling.h"
#include "tests/platform/FileTestNames.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/FileMetadata.h"
#include "tests/support/KilledCopy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace quillmere::platform {
namespace {

void AppendInPlace(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::app) << text;
}

// The ways a user's file comes to lie at a destination just before a replacement swaps it out.
struct Save {
    const char* what;
    std::function<void(const std::string& folder)> make; // makes folder/a.txt
    std::string text;
};

std::vector<Save> Saves() {
    return {
        {"a copy the program put in place, then saved in place",
         [](const std::string& folder) {
             WriteFile(folder + "/src.txt", "copied");
             ASSERT_TRUE(test::CopyAsFound(folder + "/src.txt", folder + "/a.txt"));
             std::filesystem::remove(folder + "/src.txt");
             AppendInPlace(folder + "/a.txt", ", then saved");
         },
         "copied, then saved"},
        {"a file the user made", [](const std::string& folder) { WriteFile(folder + "/a.txt", "the user's"); },
         "the user's"},
        {"an empty file the user made", [](const std::string& folder) { WriteFile(folder + "/a.txt", ""); }, ""},
    };
}

// Killed between its exchange and its check, a replacement leaves the user's file under its temporary name and
// its own copy in place: the next pass swaps them back and removes the copy.
TEST(SwapCrash, TheFileAKilledReplacementTookOutIsPutBack) {
    for (const Save& save : Saves()) {
        TempDir dir;
        save.make(dir.Path());
        const std::string taken = test::LeaveKilledExchange(dir / "a.txt", "the new copy");
        ASSERT_FALSE(taken.empty()) << save.what;
        ASSERT_EQ(ReadFile(taken), save.text) << save.what;
        ASSERT_EQ(ReadFile(dir / "a.txt"), "the new copy") << save.what;

        EXPECT_TRUE(RemoveLeftoverTemporary(taken)) << save.what << ": the copy's own file goes";
        EXPECT_EQ(ReadFile(dir / "a.txt"), save.text) << save.what;
        EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"a.txt"}) << save.what;
        EXPECT_TRUE(test::UserAttributes(dir / "a.txt").empty()) << save.what << ": no mark stays on it";
    }
}

// Another run's copy, alive between its exchange and its check: what it took out is its to judge and swap back.
TEST(SwapCrash, TheFileARunningReplacementTookOutIsLeftAlone) {
    for (const Save& save : Saves()) {
        TempDir dir;
        save.make(dir.Path());
        const posix::UniqueFd folder(::open(dir.Path().c_str(), O_PATH | O_DIRECTORY));
        posix::TemporarySibling running(folder.Get());
        ASSERT_TRUE(posix::WriteAll(running.Fd(), "new", 3));
        ASSERT_EQ(running.Exchange("a.txt"), 0) << save.what;
        const std::string taken = dir / running.Name();

        EXPECT_FALSE(RemoveLeftoverTemporary(taken)) << save.what;
        EXPECT_EQ(ReadFile(taken), save.text) << save.what;
        EXPECT_EQ(ReadFile(dir / "a.txt"), "new") << save.what << ": nothing swapped behind the copy's back";
        ASSERT_EQ(running.Exchange("a.txt"), 0) << save.what;
        EXPECT_EQ(ReadFile(dir / "a.txt"), save.text) << save.what;
    }
}

// An empty file under a temporary name, as a copy killed between creating its file and marking it leaves one, and
// the files that only look like it.
struct Empty {
    const char* what;
    std::function<void(const std::string& path)> change; // after the creation
    bool removed;
};

TEST(Leftovers, AnEmptyUnmarkedTemporaryIsRemovedOnlyWhenItCanBeNothingElse) {
    const bool root = ::geteuid() == 0;
    std::vector<Empty> cases = {
        {"as its creation left it", [](const std::string&) {}, true},
        {"holding data", [](const std::string& path) { WriteFile(path, "x"); }, false},
        {"readable by others", [](const std::string& path) { ::chmod(path.c_str(), 0644); }, false},
        {"with another name too",
         [](const std::string& path) { std::filesystem::create_hard_link(path, path + ".link"); }, false},
        {"with a mark of another temporary name",
         [](const std::string& path) {
             const posix::UniqueFd folder(::open(std::filesystem::path(path).parent_path().c_str(), O_PATH));
             const posix::TemporarySibling other(folder.Get());
             for (const auto& [name, value] :
                  test::UserAttributes(std::filesystem::path(path).parent_path() / other.Name())) {
                 test::SetAttribute(path, name, value);
             }
         },
         false},
    };
    if (root) {
        cases.push_back({"another user's",
                         [](const std::string& path) { ASSERT_EQ(::chown(path.c_str(), test::kNobody, 0), 0); },
                         false});
    }
    for (const Empty& empty : cases) {
        TempDir dir;
        const std::string path = dir / TemporaryName("0123456789abcdef");
        const posix::UniqueFd made(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600));
        ASSERT_TRUE(made.Valid()) << empty.what;
        empty.change(path);
        EXPECT_EQ(RemoveLeftoverTemporary(path), empty.removed) << empty.what;
        EXPECT_EQ(std::filesystem::exists(path), !empty.removed) << empty.what;
    }
}

TEST(Leftovers, AnEmptyTemporaryStillHeldIsLeft) {
    TempDir dir;
    const std::string path = dir / TemporaryName("0123456789abcdef");
    const posix::UniqueFd held(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600));
    ASSERT_EQ(::flock(held.Get(), LOCK_EX), 0);
    EXPECT_FALSE(RemoveLeftoverTemporary(path));
    EXPECT_TRUE(std::filesystem::exists(path));
}

} // namespace
} // namespace quillmere::platform
