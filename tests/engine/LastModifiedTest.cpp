// SPDX-License-Identifier: GPL-3.0-or-later
// The local date-time value of real files.
#include "TreeFiles.h"

#include "engine/modLastModified.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace quillmere::test {
namespace {

TEST(GetFileLastModified, ReadsFilesAndFoldersAndGivesNothingForMissingPaths) {
    TempDir tree;
    const std::string folder = MakeSide(tree, "f");
    PutFile(folder + "a", "a", kBaseTime);
    PutFile(folder + "b", "b", kBaseTime + kSecond / 2);
    const std::optional<double> a = GetFileLastModified(folder + "a");
    const std::optional<double> b = GetFileLastModified(folder + "b");
    ASSERT_TRUE(a && b);
    EXPECT_LT(*a, *b);
    // 2023-11-14 22:13:20 UTC is day 45244 since 1899-12-30, give or take the local offset.
    const double utc = 45244.0 + (22 * 3600 + 13 * 60 + 20) / 86400.0;
    EXPECT_NEAR(*a - static_cast<double>(*platform::LocalTimeOffsetSeconds()) / 86400.0, utc, 1e-6);
    EXPECT_TRUE(GetFileLastModified(folder));
    EXPECT_FALSE(GetFileLastModified(folder + "missing"));
}

} // namespace
} // namespace quillmere::test
