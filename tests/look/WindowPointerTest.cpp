// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/look/WindowPointer.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace quillmere::look {
namespace {

class PointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(400, 300);
        frame->setGeometry(0, 0, 200, 200);
        check->setGeometry(10, 20, 100, 20);
        button->setGeometry(250, 10, 100, 30);
        list->setGeometry(250, 100, 100, 100);
        pointer.Watch(form, WindowPointer::Area::Plain);
        pointer.Watch(*frame, WindowPointer::Area::Plain);
        pointer.Watch(*list, WindowPointer::Area::Plain);
        pointer.Watch(*button, WindowPointer::Area::Button);
    }
    // A move as the platform delivers it: to the widget under the mouse, on to its parents if ignored.
    static void MoveOver(QWidget* widget, QPoint at = {5, 5}) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    QWidget form;
    QGroupBox* frame = new QGroupBox("Frame1", &form);
    QCheckBox* check = new QCheckBox("Check9", frame);
    QPushButton* button = new QPushButton("PushButton1", &form);
    QListWidget* list = new QListWidget(&form);
    WindowPointer pointer{form};
};

TEST_F(PointerTest, HandOverButtonsArrowOverWindowFramesAndLists) {
    MoveOver(button);
    EXPECT_EQ(pointer.MousePointer(), WindowPointer::kCustom);
    EXPECT_EQ(form.cursor().shape(), Qt::PointingHandCursor) << "no cursor file: the platform's hand";
    MoveOver(list->viewport());
    EXPECT_EQ(pointer.MousePointer(), WindowPointer::kDefault);
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);

    const std::pair<QWidget*, QPoint> plainSpots[] = {{&form, {390, 290}}, {frame, {190, 190}}};
    for (const auto& [plain, at] : plainSpots) {
        MoveOver(button);
        MoveOver(plain, at);
        EXPECT_EQ(pointer.MousePointer(), WindowPointer::kDefault) << plain->metaObject()->className();
    }
}

TEST_F(PointerTest, ControlsWithoutRulesLeaveThePointerAsItWas) {
    MoveOver(button);
    MoveOver(check);
    EXPECT_EQ(pointer.MousePointer(), WindowPointer::kCustom) << "the frame around the box must not act";
    MoveOver(&form, {20, 25});
    EXPECT_EQ(pointer.MousePointer(), WindowPointer::kCustom) << "a move over a child is not over the window";
}

TEST_F(PointerTest, BusyWindowKeepsTheHourglass) {
    pointer.SetMousePointer(WindowPointer::kHourglass);
    MoveOver(button);
    EXPECT_EQ(pointer.MousePointer(), WindowPointer::kHourglass);
    MoveOver(list->viewport());
    MoveOver(&form, {390, 290});
    EXPECT_EQ(pointer.MousePointer(), WindowPointer::kHourglass);
    EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
}

TEST_F(PointerTest, CustomIconIsTheHand) {
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    pointer.SetCustomIcon(QCursor(picture, 3, 4));
    MoveOver(button);
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form.cursor().hotSpot(), QPoint(3, 4));
}

} // namespace
} // namespace quillmere::look
