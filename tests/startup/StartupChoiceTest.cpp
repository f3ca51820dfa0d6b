// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/StartupChoice.h"

#include <gtest/gtest.h>

namespace quillmere::startup {
namespace {

TEST(StartupChoiceTest, OnlyExactOnTicksTheBox) {
    EXPECT_EQ(OnOffText(true), "On");
    EXPECT_EQ(OnOffText(false), "Off");
    EXPECT_TRUE(IsOn("On"));
    for (std::string_view other : {"on", "ON", " On", "On ", "Off", "", "1"})
        EXPECT_FALSE(IsOn(other)) << other;
}

} // namespace
} // namespace quillmere::startup
