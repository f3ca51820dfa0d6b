// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TimeResolutionRules.h"
#include "platform/FileTime.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillmere::platform::posix {
namespace {

struct MagicCase {
    std::uint64_t magic;
    std::optional<std::int64_t> resolution;
};

TEST(TimeResolutionRules, MagicNumbers) {
    const MagicCase cases[] = {
        {0x4d44, kFatResolution},       {0x2011BAB0, kExfatResolution}, {0x5346544e, kNtfsResolution},
        {0x7366746e, kNtfsResolution},  {0xEF53, kExactResolution},     {0x01021994, kExactResolution},
        {0x794c7630, kExactResolution}, {kFuseMagic, std::nullopt},     {0xFF534D42, kNtfsResolution},
        {0xFE534D42, kNtfsResolution},
    };
    for (const auto& [magic, resolution] : cases) {
        EXPECT_EQ(ResolutionOfMagic(magic), resolution) << std::hex << magic;
    }
}

TEST(TimeResolutionRules, MountTypes) {
    // exfat-fuse cannot be mounted here ("Block device required", no loop devices), so its rule is tested by
    // the type it shows in the mount table rather than on a real mount.
    const std::pair<const char*, std::int64_t> cases[] = {
        {"fuse.fusefat", kFatResolution},
        {"vfat", kFatResolution},
        {"msdos", kFatResolution},
        {"fuseblk.exfat", kExfatResolution},
        {"fuse.exfat", kExfatResolution},
        {"exfat", kExfatResolution},
        {"fuseblk.ntfs-3g", kNtfsResolution},
        {"fuse.ntfs-3g", kNtfsResolution},
        {"ntfs3", kNtfsResolution},
        {"fuseblk", kExactResolution},
        {"fuse.sshfs", kWholeSecondResolution},
        {"ext4", kExactResolution},
        {"fuse.exfatx", kExactResolution},
        {"", kExactResolution},
    };
    for (const auto& [type, resolution] : cases) {
        EXPECT_EQ(ResolutionOfMountType(type), resolution) << type;
    }
}

TEST(TimeResolutionRules, BootSectorNames) {
    // Real sectors made by mkfs.vfat and mkfs.exfat are checked in the FAT tests; these are the rules' edges.
    std::string ntfs(512, '\0');
    ntfs.replace(3, 8, "NTFS    ");
    EXPECT_EQ(ResolutionOfBootSector(ntfs), kNtfsResolution);
    EXPECT_EQ(ResolutionOfBootSector(ntfs.substr(0, 10)), std::nullopt) << "a sector cut short";
    EXPECT_EQ(ResolutionOfBootSector(std::string(512, '\0')), std::nullopt);
    EXPECT_EQ(ResolutionOfBootSector(""), std::nullopt);
}

} // namespace
struct StepCase {
    FileTime time;
    std::int64_t step;
    FileTime stored;
};

// What a copy's time becomes on a file system of coarser steps, which a dry run predicts.
TEST(TimeResolutionRules, TimesCutDownToTheStep) {
    const StepCase cases[] = {
        {{1'001, 700'000'000}, kFatResolution, {1'000, 0}},
        {{-3, 5}, kFatResolution, {-4, 0}},
        {{10'413'792'001, 1}, kFatResolution, {10'413'792'000, 0}},
        {{7, 123'456'789}, kExfatResolution, {7, 120'000'000}},
        {{7, 123'456'789}, kNtfsResolution, {7, 123'456'700}},
        {{7, 123'456'789}, kWholeSecondResolution, {7, 0}},
        {{7, 123'456'789}, kExactResolution, {7, 123'456'789}},
    };
    for (const auto& [time, step, stored] : cases) {
        EXPECT_EQ(TruncatedToStep(time, step), stored) << time.seconds << "." << time.nanoseconds << " in " << step;
    }
}

TEST(TimeResolutionRules, TimesApartNeverOverflow) {
    constexpr auto kMost = std::numeric_limits<std::int64_t>::max();
    constexpr auto kLeast = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(NanosecondsApart({5, 100}, {4, 999'999'900}), 200u);
    EXPECT_EQ(NanosecondsApart({4, 999'999'900}, {5, 100}), 200u);
    EXPECT_EQ(NanosecondsApart({kMost, 0}, {kLeast, 0}), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(NanosecondsApart({kMost, 999'999'999}, {kMost, 999'999'999}), 0u);
}

} // namespace quillmere::platform::posix
