// SPDX-License-Identifier: GPL-3.0-or-later
// A sparse file (a disk image, a database, a download being filled) is copied with its holes: the same data in no
// more disk than the source takes.
#include "platform/FileCopy.h"
#include "tests/support/CopyAsFound.h"
#include "tests/support/FileMetadata.h"
#include "tests/support/MountedFolder.h"
#include "tests/support/SparseFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillmere::platform {
namespace {

constexpr std::int64_t kMiB = 1 << 20;
// Room for the file system's own blocks beside the data (ext4's extent tree, tmpfs's pages).
constexpr std::int64_t kSlack = 64 * 1024;

TEST(SparseCopy, HolesStayHolesAndTheDataIsTheSame) {
    test::OnTemporaryFolderAndTmpfs([](const std::string& where, const std::string& folder) {
        for (const test::SparseLayout& layout : test::SparseLayouts(64 * kMiB)) {
            const std::string source = folder + "/sparse.img";
            const std::string copy = folder + "/copy.img";
            test::MakeSparseFile(source, layout);
            ASSERT_TRUE(test::CopyAsFound(source, copy)) << layout.what << where;
            EXPECT_TRUE(test::SameContents(source, copy)) << layout.what << " on " << where;
            EXPECT_LE(test::DiskBytes(copy), test::DiskBytes(source) + kSlack) << layout.what << " on " << where;
            std::filesystem::remove(source);
            std::filesystem::remove(copy);
        }
    });
}

} // namespace
} // namespace quillmere::platform
