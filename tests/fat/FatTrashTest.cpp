// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping a replaced file on a FAT stick: no hard links there, so it is moved into the stick's own trash, where
// an independent client (trash-cli) finds and restores it.
#include "platform/FileCopy.h"
#include "platform/Trash.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/FatMount.h"
#include "tests/support/TempDir.h"
#include "tests/support/TrashClient.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace quillmere::platform {
namespace {

TEST(FatTrashTest, RefusedHardLinkFallsBackToAMoveIntoTheSticksOwnTrash) {
    for (const auto& reason : {test::FatMount::SkipReason(), test::TrashCliSkipReason()}) {
        if (reason) {
            GTEST_SKIP() << *reason;
        }
    }
    const test::PrivateHomeTrash home; // on another device than the stick
    const test::FatMount fat;
    if (!fat.Mounted()) {
        GTEST_SKIP() << fat.Failure();
    }
    const std::string file = fat.Path() + "/sub/report.txt";
    test::MakeFolder(fat.Path() + "/sub");
    test::WriteFile(file, "old");

    TrashEntry kept(file);
    ASSERT_TRUE(kept.Reserved()) << kept.Error();
    EXPECT_FALSE(kept.KeepByLink());
    EXPECT_NE(kept.Error().find("Operation not permitted"), std::string::npos) << kept.Error();
    ASSERT_TRUE(kept.KeepByMove()) << kept.Error();
    EXPECT_FALSE(std::filesystem::exists(file));
    test::WriteFile(fat.Path() + "/sub/~new", "new");
    ASSERT_EQ(std::rename((fat.Path() + "/sub/~new").c_str(), file.c_str()), 0);
    kept.Confirm();

    EXPECT_EQ(test::ReadFile(fat.Path() + "/.Trash-" + std::to_string(::geteuid()) + "/files/report.txt"), "old");
    EXPECT_NE(test::TrashList().find(" " + file + "\n"), std::string::npos) << test::TrashList();
    ASSERT_EQ(::unlink(file.c_str()), 0);
    ASSERT_TRUE(test::TrashRestoreFirst(file));
    EXPECT_EQ(test::ReadFile(file), "old");
}

// Without hard links the copy moves the old file into the trash after its checks, then takes the free place. A
// save made in the instant between goes to the trash instead: the copy sees it is not the file it compared, and
// the save comes back with its own time (fusefat stamps the time of a move on the file moved).
TEST(FatKeepReplaced, ASaveAtTheLastMomentComesBackFromTheTrashWithItsTime) {
    if (const auto reason = test::FatMount::SkipReason()) {
        GTEST_SKIP() << *reason;
    }
    const test::PrivateHomeTrash home;
    const test::FatMount fat;
    if (!fat.Mounted()) {
        GTEST_SKIP() << fat.Failure();
    }
    const test::TempDir local;
    const std::string onFat = fat.Path() + "/a.txt";
    test::WriteFile(onFat, "old");
    test::WriteFile(local / "a.txt", "new");
    CopyRequest request = test::AsFound(local / "a.txt", onFat);
    request.keepReplaced = true;
    std::int64_t savedTime = 0;
    request.onStage = [&](CopyStage stage) {
        if (stage == CopyStage::Checked) {
            test::WriteFile(fat.Path() + "/saving", "saved");
            ASSERT_EQ(std::rename((fat.Path() + "/saving").c_str(), onFat.c_str()), 0);
            test::SetLastWriteNs(onFat, 1'600'000'000'000'000'000);
            savedTime = test::LastWriteNs(onFat);
        }
    };
    EXPECT_EQ(CopyFileFailSafe(request).refusal, Refusal::DestinationChanged);
    EXPECT_EQ(test::ReadFile(onFat), "saved");
    EXPECT_EQ(test::LastWriteNs(onFat), savedTime);
    EXPECT_TRUE(test::NamesIn(fat.Path() + "/.Trash-" + std::to_string(::geteuid()) + "/files").empty());
}

} // namespace
} // namespace quillmere::platform
