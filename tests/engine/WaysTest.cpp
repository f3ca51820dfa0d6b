// SPDX-License-Identifier: GPL-3.0-or-later
// Which ways a direction lets copies go.
#include "engine/Ways.h"

#include <gtest/gtest.h>

namespace quillmere::test {
namespace {

TEST(Allows, EachDirectionLetsCopiesGoItsOwnWaysOnly) {
    struct Case {
        SyncDirection direction;
        bool toFolder2;
        bool toFolder1;
    };
    const Case cases[] = {
        {SyncDirection::BothWays, true, true},
        {SyncDirection::Folder1ToFolder2, true, false},
        {SyncDirection::Folder2ToFolder1, false, true},
        {SyncDirection::None, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Allows(c.direction, Way::Folder1ToFolder2), c.toFolder2) << static_cast<int>(c.direction);
        EXPECT_EQ(Allows(c.direction, Way::Folder2ToFolder1), c.toFolder1) << static_cast<int>(c.direction);
    }
}

} // namespace
} // namespace quillmere::test
