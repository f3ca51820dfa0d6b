// SPDX-License-Identifier: GPL-3.0-or-later
// A file replaced on every pass (a log) keeps a bounded number of versions in the Trash, on every kind of storage the
// tests mount, and never stops being kept for want of a name.
#include "platform/Trash.h"
#include "tests/support/MountedFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrashClient.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

namespace quillmere::platform {
namespace {

using test::FolderKind;
using test::ReadFile;
using test::WriteFile;

// As a copy keeps the file it replaces: a link, else a copy where the trash lies on another drive or mount, else a
// move; then the new version takes the place. Each version is 10 s younger than the one before, as a log written anew
// on every pass would be (FAT keeps 2 s steps).
void ReplaceKeeping(const std::string& file, int version) {
    TrashEntry kept(file, true);
    ASSERT_TRUE(kept.Reserved()) << kept.Error();
    const bool linked = kept.KeepByLink();
    ASSERT_TRUE(linked || (kept.NeedsCopy() ? kept.KeepByCopy() : kept.KeepByMove())) << kept.Error();
    const std::string temporary = std::filesystem::path(file).parent_path() / "new";
    WriteFile(temporary, "version " + std::to_string(version));
    const timespec times[2] = {{1'700'000'000 + 10 * version, 0}, {1'700'000'000 + 10 * version, 0}};
    ASSERT_EQ(std::rename(temporary.c_str(), file.c_str()), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0); // after the rename, which fusefat stamps
    kept.Confirm();
}

class TrashBound : public ::testing::TestWithParam<FolderKind> {
protected:
    void SetUp() override {
        if (auto reason = test::TrashCliSkipReason()) {
            GTEST_SKIP() << *reason;
        }
        if (auto reason = test::MountedFolder::SkipReason(GetParam())) {
            GTEST_SKIP() << *reason;
        }
        mount_ = std::make_unique<test::MountedFolder>(GetParam());
        ASSERT_TRUE(mount_->Mounted()) << mount_->Failure();
    }

    const test::PrivateHomeTrash home_;
    std::unique_ptr<test::MountedFolder> mount_;
};

TEST_P(TrashBound, AFileReplacedOnEveryPassKeepsItsTenNewestVersions) {
    const std::string file = mount_->Path() + "/app.log";
    WriteFile(file, "version 0");
    for (int version = 1; version <= 14; ++version) {
        ReplaceKeeping(file, version);
    }
    EXPECT_EQ(ReadFile(file), "version 14");
    EXPECT_EQ(test::ListedDatesOf(test::TrashList(), file).size(), 10u) << test::TrashList();
    std::vector<std::string> kept;
    for (const std::string& trash : {home_.Path(), mount_->Path() + "/.Trash-" + std::to_string(::geteuid())}) {
        std::error_code none;
        for (const auto& entry : std::filesystem::directory_iterator(trash + "/files", none)) {
            kept.push_back(ReadFile(entry.path()));
        }
    }
    std::sort(kept.begin(), kept.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    const std::vector<std::string> tenNewest = {"version 4", "version 5",  "version 6",  "version 7",  "version 8",
                                                "version 9", "version 10", "version 11", "version 12", "version 13"};
    EXPECT_EQ(kept, tenNewest);
    EXPECT_EQ(test::TrashListErrors(), "");
}

INSTANTIATE_TEST_SUITE_P(EveryKind, TrashBound, ::testing::ValuesIn(test::kEveryFolderKind),
                         [](const ::testing::TestParamInfo<FolderKind>& kind) {
                             std::string name = test::NameOf(kind.param);
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

class HomeTrashOnly : public ::testing::Test {
protected:
    void SetUp() override {
        if (auto reason = test::TrashCliSkipReason()) {
            GTEST_SKIP() << *reason;
        }
    }
    const test::PrivateHomeTrash home_;
    const test::TempDir dir_;
};

// Another program's entries (no key of ours) are never let go: here they hold every numbered name of the file.
TEST_F(HomeTrashOnly, EveryNumberedNameTakenStillLeavesANameAndTheEntriesStay) {
    const std::string info = home_.Path() + "/info/";
    std::filesystem::create_directories(info);
    std::filesystem::create_directories(home_.Path() + "/files");
    const std::string text = "[Trash Info]\nPath=" + dir_.Path() + "/app.log\nDeletionDate=2026-01-01T00:00:00\n";
    for (int attempt = 1; attempt <= 10'000; ++attempt) {
        WriteFile(info + (attempt == 1 ? "app.log" : "app_" + std::to_string(attempt) + ".log") + ".trashinfo", text);
    }
    const std::string file = dir_.Path() + "/app.log";
    WriteFile(file, "version 0");
    ReplaceKeeping(file, 1);
    EXPECT_EQ(ReadFile(file), "version 1");
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(info)) {
        entries += entry.path().extension() == ".trashinfo" ? 1 : 0;
    }
    EXPECT_EQ(entries, 10'001u);
}

// A version kept before that only looks like the file now at its place (another inode of the same size and time, as
// two saves within a second or within FAT's two seconds give) is another version: both stay, neither stands for the
// other.
TEST_F(HomeTrashOnly, AVersionThatOnlyLooksLikeTheFileIsNotTakenForIt) {
    const std::string file = dir_.Path() + "/app.log";
    WriteFile(file, "first");
    const timespec same[2] = {{1'700'000'000, 0}, {1'700'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), same, 0), 0);
    for (const char* next : {"other", "third"}) {
        TrashEntry kept(file, true);
        ASSERT_TRUE(kept.Reserved()) << kept.Error();
        ASSERT_TRUE(kept.KeepByLink()) << kept.Error();
        const std::string temporary = dir_.Path() + "/new";
        WriteFile(temporary, next);
        ASSERT_EQ(::utimensat(AT_FDCWD, temporary.c_str(), same, 0), 0);
        ASSERT_EQ(std::rename(temporary.c_str(), file.c_str()), 0);
        kept.Confirm();
    }
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(home_.Path() + "/files")) {
        kept.push_back(ReadFile(entry.path()));
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{"first", "other"}));
}

} // namespace
} // namespace quillmere::platform
