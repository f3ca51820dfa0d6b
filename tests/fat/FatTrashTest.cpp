// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping a replaced file on a FAT stick: no hard links there, so it is moved into the stick's own trash, where
// an independent client (trash-cli) finds and restores it.
#include "platform/Trash.h"
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

} // namespace
} // namespace quillmere::platform
