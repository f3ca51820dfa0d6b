// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Form1Design.h"

#include <gtest/gtest.h>

#include <utility>

namespace quillmere {
namespace {

// Both views size the lists' column from this: 7000 twips, to the nearest pixel at the screen's dots per inch.
TEST(Form1DesignTest, TheListColumnIsSevenThousandTwipsToTheNearestPixel) {
    const std::pair<int, int> cases[] = {{96, 467}, {120, 583}, {144, 700}, {192, 933}, {72, 350}};
    for (const auto& [dpi, pixels] : cases) {
        EXPECT_EQ(form1_design::ListColumnWidth(dpi), pixels) << dpi;
    }
}

} // namespace
} // namespace quillmere
