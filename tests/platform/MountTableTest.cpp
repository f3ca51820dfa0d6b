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
    EXPECT_EQ(mounts, (std::vector<MountEntry>{{"254:0", "/", "/"},
                                               {"254:0", "/home/me/My Files", "/mnt/my\\files"},
                                               {"0:45", "/", "/media/stick"}}));
}

struct PlacesCase {
    const char* name;
    const char* path;
    Places places;
};

class OtherPlaces : public ::testing::TestWithParam<PlacesCase> {};

// A root file system, a bind mount of a folder of it at /mnt/sub, a bind of the whole home at /srv/home, a
// stick, and a mount on top of the stick's folder.
const std::vector<MountEntry> kMounts{{"254:0", "/", "/"},
                                      {"254:0", "/home/me/A/sub", "/mnt/sub"},
                                      {"254:0", "/home", "/srv/home"},
                                      {"0:45", "/", "/media/stick"},
                                      {"0:46", "/", "/media/stick"}};

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
