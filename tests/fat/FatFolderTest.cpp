// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "platform/posix/TimeResolutionRules.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/FatMount.h"
#include "tests/support/FileMetadata.h"
#include "tests/support/KilledCopy.h"
#include "tests/support/SparseFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillmere::platform {
namespace {

using test::TempDir;

bool Copy(const std::string& source, const std::string& destination) {
    return test::IsCopied(CopyFileFailSafe(test::AsFound(source, destination)));
}

constexpr std::int64_t kSecond = 1'000'000'000;
// 2022-05-01 10:00:01.7 UTC: an odd second and a fraction, both of which FAT cannot keep.
constexpr std::int64_t kOddTime = 1'651'399'201 * kSecond + 700'000'000;

class FatFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = test::FatMount::SkipReason()) {
            GTEST_SKIP() << *reason;
        }
        fat = std::make_unique<test::FatMount>();
        if (!fat->Mounted()) {
            GTEST_SKIP() << fat->Failure();
        }
    }
    std::unique_ptr<test::FatMount> fat;
    TempDir local;
};

TEST_F(FatFolderTest, ResolutionIsTwoSecondsOnFatAndExactLocally) {
    EXPECT_EQ(TimeResolution(fat->Path()), 2 * kSecond);
    test::MakeFolder(fat->Path() + "/sub");
    EXPECT_EQ(TimeResolution(fat->Path() + "/sub/"), 2 * kSecond);
    EXPECT_EQ(TimeResolution(local.Path()), 1);
}

TEST_F(FatFolderTest, CopyOntoFatKeepsTheTimeAsWellAsFatCan) {
    test::WriteFile(local / "a.txt", "data");
    test::SetLastWriteNs(local / "a.txt", kOddTime);
    const std::string onFat = fat->Path() + "/a.txt";
    ASSERT_TRUE(Copy(local / "a.txt", onFat));
    EXPECT_EQ(test::ReadFile(onFat), "data");
    // fusefat truncates to the 2-second step below (10:00:01.7 becomes 10:00:00.0), it does not round.
    EXPECT_EQ(test::LastWriteNs(onFat), kOddTime - 1'700'000'000);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fat->Path()), {}), 1) << "no temporary file left";
}

TEST_F(FatFolderTest, ReplacingAFileOnFatKeepsTheTime) {
    const std::string onFat = fat->Path() + "/a.txt";
    test::WriteFile(onFat, "old");
    test::WriteFile(local / "a.txt", "new");
    test::SetLastWriteNs(local / "a.txt", kOddTime + 2 * kSecond); // 10:00:03.7 becomes 10:00:02.0
    ASSERT_TRUE(Copy(local / "a.txt", onFat));
    EXPECT_EQ(test::ReadFile(onFat), "new");
    EXPECT_EQ(test::LastWriteNs(onFat), kOddTime + 300'000'000);
}

// fusefat refuses RENAME_NOREPLACE and RENAME_EXCHANGE (EINVAL): the check just before the rename is what keeps
// a save made while the data was written.
TEST_F(FatFolderTest, ASaveMadeDuringTheCopyIsKeptWithoutTheAtomicRenames) {
    const std::string onFat = fat->Path() + "/a.txt";
    test::WriteFile(onFat, "old");
    test::WriteFile(local / "a.txt", "new");
    CopyRequest request = test::AsFound(local / "a.txt", onFat);
    request.onStage = [&](CopyStage stage) {
        if (stage == CopyStage::DataWritten) {
            test::WriteFile(onFat, "saved meanwhile");
        }
    };
    EXPECT_EQ(CopyFileFailSafe(request).refusal, Refusal::DestinationChanged);
    EXPECT_EQ(test::ReadFile(onFat), "saved meanwhile");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fat->Path()), {}), 1) << "no temporary file left";
}

// FAT keeps no extended attributes, so no copy there ever exchanged files, and what a killed copy leaves carries
// no mark: it is removed all the same.
TEST_F(FatFolderTest, KilledCopysLeftoverIsRemovedWithoutAMark) {
    test::WriteFile(local / "a.txt", "data");
    const std::string leftover = test::LeaveKilledCopy(local / "a.txt", fat->Path() + "/a.txt");
    ASSERT_FALSE(leftover.empty());
    EXPECT_TRUE(RemoveLeftoverTemporary(leftover));
    EXPECT_TRUE(test::NamesIn(fat->Path()).empty());
}

// fusefat keeps no holes and refuses to grow a file by setting its size: a sparse file arrives whole all the same,
// and comes back from FAT the same.
TEST_F(FatFolderTest, ASparseFileIsCopiedOntoFatAndBackWhole) {
    const std::string onFat = fat->Path() + "/sparse.img";
    for (const test::SparseLayout& layout : test::SparseLayouts(4 << 20)) {
        test::MakeSparseFile(local / "sparse.img", layout);
        ASSERT_TRUE(Copy(local / "sparse.img", onFat)) << layout.what;
        EXPECT_TRUE(test::SameContents(local / "sparse.img", onFat)) << layout.what;
        ASSERT_TRUE(Copy(onFat, local / "back.img")) << layout.what;
        EXPECT_TRUE(test::SameContents(local / "sparse.img", local / "back.img")) << layout.what;
        for (const std::string& path : {local / "sparse.img", local / "back.img", onFat}) {
            std::filesystem::remove(path);
        }
    }
}

// FAT keeps no extended attributes, ACLs or permissions: a file that has them is copied all the same.
TEST_F(FatFolderTest, AFileWithAttributesAndAnAclIsCopiedOntoFat) {
    test::WriteFile(local / "f.txt", "data");
    ASSERT_TRUE(test::SetAttribute(local / "f.txt", "user.comment", "not kept on FAT"));
    if (!test::AclToolsSkipReason()) {
        ASSERT_TRUE(test::ModifyAcl(local / "f.txt", "m::r"));
    }
    ASSERT_TRUE(Copy(local / "f.txt", fat->Path() + "/f.txt"));
    EXPECT_EQ(test::ReadFile(fat->Path() + "/f.txt"), "data");
    EXPECT_EQ(test::NamesIn(fat->Path()), std::vector<std::string>{"f.txt"});
}

TEST_F(FatFolderTest, CopyFromFatKeepsTheFatTimeExactly) {
    const std::string onFat = fat->Path() + "/b.txt";
    test::WriteFile(onFat, "from fat");
    test::SetLastWriteNs(onFat, kOddTime);
    const std::int64_t fatTime = test::LastWriteNs(onFat);
    ASSERT_TRUE(Copy(onFat, local / "b.txt"));
    EXPECT_EQ(test::LastWriteNs(local / "b.txt"), fatTime);
}

std::string FirstSectorOf(const std::string& image) {
    return test::ReadFile(image).substr(0, 512);
}

// A "fuseblk" mount (ntfs-3g, exfat-fuse without a subtype) is told by its volume's boot sector: these are real
// ones, made by the tools the users' sticks are made with.
TEST(BootSector, RealFatAndExfatVolumesAreRecognised) {
    if (!test::FindProgram("mkfs.vfat") || !test::FindProgram("mkfs.exfat")) {
        GTEST_SKIP() << "dosfstools or exfatprogs is not installed";
    }
    TempDir work;
    for (const char* bits : {"12", "16", "32"}) {
        const std::string image = work / (std::string("fat") + bits + ".img");
        ASSERT_EQ(test::RunProgram("mkfs.vfat", {"-F", bits, "-C", image, "40000"}), 0) << bits;
        EXPECT_EQ(posix::ResolutionOfBootSector(FirstSectorOf(image)), 2 * kSecond) << "FAT" << bits;
    }
    const std::string exfat = work / "exfat.img";
    test::WriteFile(exfat, "");
    std::filesystem::resize_file(exfat, 16 * 1024 * 1024);
    ASSERT_EQ(test::RunProgram("mkfs.exfat", {exfat}), 0);
    EXPECT_EQ(posix::ResolutionOfBootSector(FirstSectorOf(exfat)), 10'000'000);
}

// exFAT through exfat-fuse needs a block device, and this machine has no loop devices ("Block device
// required"): one attempt tells whether it works here; the exFAT rule is tested through the mount-table
// classification in the platform tests either way.
TEST(ExfatFolder, MountsWhereABlockDeviceIsAvailable) {
    if (const auto reason = test::FatMount::SkipReason()) {
        GTEST_SKIP() << *reason;
    }
    if (!test::FindProgram("mkfs.exfat") || !test::FindProgram("mount.exfat-fuse")) {
        GTEST_SKIP() << "exfatprogs or exfat-fuse is not installed";
    }
    TempDir work;
    const std::string image = work / "exfat.img";
    test::WriteFile(image, "");
    std::filesystem::resize_file(image, 16 * 1024 * 1024);
    test::MakeFolder(work / "mnt");
    ASSERT_EQ(test::RunProgram("mkfs.exfat", {image}), 0);
    if (test::RunProgram("mount.exfat-fuse", {image, work / "mnt"}) != 0) {
        GTEST_SKIP() << "exfat-fuse cannot mount an image file here (it needs a block device)";
    }
    EXPECT_EQ(TimeResolution(work / "mnt"), 10'000'000);
    test::RunProgram("umount", {work / "mnt"});
}

} // namespace
} // namespace quillmere::platform
