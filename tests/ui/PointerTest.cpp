// SPDX-License-Identifier: GPL-3.0-or-later
// The window's pointer: the hand over the push buttons, the arrow over the rest, the hourglass while busy.
#include "Form1Fixture.h"

namespace quillmere::test {
namespace {

class PointerTest : public Form1Fixture {
protected:
    void SetUp() override { Load(); }
    MousePointer Pointer() { return View().pointer; }
};

TEST_F(PointerTest, HandOverButtonsArrowOverTheRest) {
    for (const char* button : {"PushButton1", "PushButton3", "PushButton12", "PushButton13"}) {
        form_->MouseMove("Frame3", PointerArea::Plain);
        form_->MouseMove(button, PointerArea::Button);
        EXPECT_EQ(Pointer(), MousePointer::Custom) << button;
    }
    for (const char* plain : {"Form", "Frame1", "Frame2", "Frame3", "ListView1", "ListView2", "ListView3"}) {
        form_->MouseMove("PushButton1", PointerArea::Button);
        form_->MouseMove(plain, PointerArea::Plain);
        EXPECT_EQ(Pointer(), MousePointer::Default) << plain;
    }
}

TEST_F(PointerTest, ABusyWindowKeepsTheHourglassUntilThePassEnds) {
    form_->PushButton12_Click();
    form_->MouseMove("PushButton12", PointerArea::Button);
    form_->MouseMove("ListView2", PointerArea::Plain);
    EXPECT_EQ(Pointer(), MousePointer::Hourglass);
    runner_.Finish();
    EXPECT_EQ(Pointer(), MousePointer::Default);
    form_->MouseMove("PushButton12", PointerArea::Button);
    EXPECT_EQ(Pointer(), MousePointer::Custom);
}

TEST_F(PointerTest, AFailingPointerIsReportedUnderTheControlsMouseMoveAndTheProgramGoesOn) {
    View().pointerFails = true;
    form_->MouseMove("PushButton12", PointerArea::Button);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_TRUE(
        Reports()[0].starts_with("No pointer\r\nin Quillmere2021/08/31.Form1.PushButton12_MouseMove at line 0"));
}

} // namespace
} // namespace quillmere::test
