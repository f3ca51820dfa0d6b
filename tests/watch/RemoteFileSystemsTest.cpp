// SPDX-License-Identifier: GPL-3.0-or-later
// Which file systems the Linux watch cannot trust, told by their magic numbers.
#include "platform/posix/RemoteFileSystems.h"

#include <gtest/gtest.h>

namespace quillmere::platform::posix {
namespace {

struct MagicCase {
    const char* fileSystem;
    std::uint64_t magic;
    const char* told; // a word the doubt holds, or nullptr for a file system whose every change is seen here
};

// Named in the test list by what it tries, not by its bytes.
void PrintTo(const MagicCase& tested, std::ostream* out) {
    *out << tested.fileSystem;
}

class FileSystemMagic : public ::testing::TestWithParam<MagicCase> {};

TEST_P(FileSystemMagic, TellsWhoseChangesAreNotAllSeen) {
    const auto kind = ChangesFromElsewhereOf(GetParam().magic);
    if (GetParam().told == nullptr) {
        EXPECT_EQ(kind, std::nullopt);
    } else {
        ASSERT_TRUE(kind);
        EXPECT_NE(kind->find(GetParam().told), std::string_view::npos) << *kind;
    }
}

std::string CaseName(const ::testing::TestParamInfo<MagicCase>& tested) {
    return tested.param.fileSystem;
}

INSTANTIATE_TEST_SUITE_P(
    Magics, FileSystemMagic,
    ::testing::Values(MagicCase{"nfs", 0x6969, "network"}, MagicCase{"cifs", 0xFF534D42, "network"},
                      MagicCase{"smb3", 0xFE534D42, "network"}, MagicCase{"ninep", 0x01021997, "network"},
                      MagicCase{"ceph", 0x00C36400, "network"}, MagicCase{"fuse", 0x65735546, "FUSE"},
                      MagicCase{"ext4", 0xEF53, nullptr}, MagicCase{"tmpfs", 0x01021994, nullptr},
                      MagicCase{"btrfs", 0x9123683E, nullptr}, MagicCase{"xfs", 0x58465342, nullptr},
                      MagicCase{"vfat", 0x4d44, nullptr}, MagicCase{"overlay", 0x794C7630, nullptr}),
    CaseName);

} // namespace
} // namespace quillmere::platform::posix
