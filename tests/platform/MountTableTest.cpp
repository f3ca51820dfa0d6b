// SPDX-License-Identifier: GPL-3.0-or-later
// Where else a folder shows: the same folder of its file system under every other mount of it.
#include "platform/posix/MountTable.h"

#include <gtest/gtest.h>

namespace quillmere::platform::posix {
namespace {

using Places = std::vector<std::string>;

TEST(MountInfo, TakesDeviceRootAndMountPointAndUnescapesThem) {
    const auto mounts = ParseMountInfo("27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
                                       "40 27 254:0 /home/me/My\\040Files /mnt/my\\134files rw - ext4 /dev/vda rw\n"
                                       "not a mount line\n"
                                       "41 27 0:45 / /media/stick rw shared:5 - vfat /dev/sdb1 rw\n");
    EXPECT_EQ(mounts, (std::vector<MountEntry>{{"254:0", "/", "/", "ext4", "/dev/vda"},
                                               {"254:0", "/home/me/My Files", "/mnt/my\\files", "ext4", "/dev/vda"},
                                               {"0:45", "/", "/media/stick", "vfat", "/dev/sdb1"}}));
}

constexpr const char* kMountInfo = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                                   "45 22 0:40 / /media/stick rw,nosuid - fuse.fusefat fusefat rw,user_id=0\n"
                                   "46 22 0:41 / /media/stick2 rw - fuseblk.exfat /dev/sdb1 rw\n"
                                   "47 22 0:42 / /mnt/my\\040disk rw shared:5 master:2 - fuse.ntfs-3g /dev/sdc1 rw\n"
                                   "48 22 0:43 / /media/stick rw - fuse.sshfs host: rw\n"
                                   "broken line\n";

TEST(MountInfo, TheHoldingMountIsTheLongestMountPointAboveThePath) {
    const std::vector<MountEntry> mounts = ParseMountInfo(kMountInfo);
    struct Case {
        const char* path;
        const char* mountPoint;
        const char* type;
        const char* source;
    };
    const Case cases[] = {
        {"/media/stick2/a", "/media/stick2", "fuseblk.exfat", "/dev/sdb1"},
        {"/media/stick22", "/", "ext4", "/dev/sda1"}, // a longer name is no folder below the mount point
        {"/mnt/my disk/x", "/mnt/my disk", "fuse.ntfs-3g", "/dev/sdc1"}, // escapes and optional fields read right
        {"/media/stick", "/media/stick", "fuse.sshfs", "host:"},         // the later of two mounts on one point wins
        {"/home", "/", "ext4", "/dev/sda1"},
    };
    for (const auto& [path, mountPoint, type, source] : cases) {
        const MountEntry* mount = HoldingMount(mounts, path);
        ASSERT_NE(mount, nullptr) << path;
        EXPECT_EQ(mount->mountPoint, mountPoint) << path;
        EXPECT_EQ(mount->type, type) << path;
        EXPECT_EQ(mount->source, source) << path;
    }
    EXPECT_EQ(HoldingMount({}, "/x"), nullptr);
}

struct PlacesCase {
    const char* name;
    const char* path;
    Places places;
};

class OtherPlaces : public ::testing::TestWithParam<PlacesCase> {};

// A root file system, a bind mount of a folder of it at /mnt/sub, a bind of the whole home at /srv/home, a
// stick, and a mount on top of the stick's folder.
const std::vector<MountEntry> kMounts{{"254:0", "/", "/", "ext4", "/dev/vda"},
                                      {"254:0", "/home/me/A/sub", "/mnt/sub", "ext4", "/dev/vda"},
                                      {"254:0", "/home", "/srv/home", "ext4", "/dev/vda"},
                                      {"0:45", "/", "/media/stick", "vfat", "/dev/sdb1"},
                                      {"0:46", "/", "/media/stick", "vfat", "/dev/sdc1"}};

TEST_P(OtherPlaces, AreTheSameFolderUnderTheOtherMountsOfItsFileSystem) {
    EXPECT_EQ(OtherPlacesOf(kMounts, GetParam().path), GetParam().places);
}

std::string CaseName(const ::testing::TestParamInfo<PlacesCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Mounts, OtherPlaces,
    ::testing::Values(PlacesCase{"BindMountPoint", "/mnt/sub", {"/home/me/A/sub", "/srv/home/me/A/sub"}},
                      PlacesCase{
                          "BelowABindMount", "/mnt/sub/deep", {"/home/me/A/sub/deep", "/srv/home/me/A/sub/deep"}},
                      PlacesCase{"TheBoundFolderItself", "/home/me/A/sub", {"/mnt/sub", "/srv/home/me/A/sub"}},
                      PlacesCase{"AboveTheBoundFolder", "/home/me/A", {"/srv/home/me/A"}},
                      PlacesCase{"ShownOnce", "/etc", {}}, PlacesCase{"TopMountOnly", "/media/stick/photos", {}}),
    CaseName);

} // namespace
} // namespace quillmere::platform::posix
