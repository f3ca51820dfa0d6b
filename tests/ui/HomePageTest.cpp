// SPDX-License-Identifier: GPL-3.0-or-later
// One start in a hundred opens the home page: the draw is forced here and the opener records instead of
// starting a browser.
#include "Form1Fixture.h"

#include "ui/main/HomePage.h"

#include <stdexcept>

namespace quillmere::test {
namespace {

TEST(StartNumberTest, AFractionStandsForOneOfAHundredStarts) {
    const std::pair<double, int> cases[] = {{0.0, 1}, {0.0599, 6}, {0.06, 7}, {0.0699, 7}, {0.07, 8}, {0.999999, 100}};
    for (const auto& [fraction, number] : cases) {
        EXPECT_EQ(StartNumber(fraction), number) << fraction;
    }
}

TEST(StartNumberTest, TheTimeOfDayDrawIsAFraction) {
    const double fraction = TimeOfDayFraction();
    EXPECT_GE(fraction, 0.0);
    EXPECT_LT(fraction, 1.0);
}

using HomePageTest = Form1Fixture;

TEST_F(HomePageTest, TheSeventhNumberOpensTheHomePage) {
    draw_ = 0.065;
    Load();
    EXPECT_EQ(opened_, std::vector<std::string>{homePage_});
}

// A name that can never resolve would open a browser on an error page.
TEST_F(HomePageTest, ABuildWithoutAHomePageOpensNothing) {
    homePage_.clear();
    for (double draw : {0.06, 0.065, 0.0699}) {
        draw_ = draw;
        Load();
    }
    EXPECT_TRUE(opened_.empty());
}

TEST_F(HomePageTest, EveryOtherNumberOpensNothing) {
    for (double draw : {0.0, 0.0599, 0.07, 0.5, 0.9999}) {
        draw_ = draw;
        Load();
    }
    EXPECT_TRUE(opened_.empty());
}

TEST_F(HomePageTest, AnOpenerThatFailsIsReportedAndTheLoadGoesOn) {
    draw_ = 0.065;
    opener_ = [](const std::string&) { throw std::runtime_error("No browser"); };
    Load();
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(Reports()[0].starts_with("No browser\r\nin Quillmere2021/08/31.Form1.Form_Load at line 106"));
    EXPECT_EQ(View().caption, "Quillmere");
}

} // namespace
} // namespace quillmere::test
