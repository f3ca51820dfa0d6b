// SPDX-License-Identifier: GPL-3.0-or-later
// The pointer as Qt shows it, and the mouse moves handed to the window's handlers; the rules themselves are the
// window logic's (tests/ui/PointerTest.cpp).
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
        pointer.Watch(form, PointerArea::Plain);
        pointer.Watch(*frame, PointerArea::Plain);
        pointer.Watch(*list, PointerArea::Plain);
        pointer.Watch(*button, PointerArea::Button);
        pointer.SetMoveHandler([this](const QWidget& over, PointerArea area) { moves.push_back({&over, area}); });
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
    std::vector<std::pair<const QWidget*, PointerArea>> moves;
};

TEST_F(PointerTest, MovesDirectlyOverAWatchedWidgetReachTheHandlerWithItsArea) {
    MoveOver(button);
    MoveOver(list->viewport());
    MoveOver(&form, {390, 290});
    MoveOver(frame, {190, 190});
    const std::vector<std::pair<const QWidget*, PointerArea>> expected = {{button, PointerArea::Button},
                                                                          {list, PointerArea::Plain},
                                                                          {&form, PointerArea::Plain},
                                                                          {frame, PointerArea::Plain}};
    EXPECT_EQ(moves, expected);
}

TEST_F(PointerTest, AMoveOverAnUnwatchedChildReachesNoHandler) {
    MoveOver(check);
    MoveOver(&form, {20, 25}); // over the frame's box: not over the window itself
    EXPECT_TRUE(moves.empty());
}

TEST_F(PointerTest, EachSettingHasItsPointer) {
    pointer.Show(MousePointer::Custom);
    EXPECT_EQ(form.cursor().shape(), Qt::PointingHandCursor) << "no cursor file: the platform's hand";
    pointer.Show(MousePointer::Hourglass);
    EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
    pointer.Show(MousePointer::Default);
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PointerTest, CustomIconIsTheHand) {
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    pointer.Show(MousePointer::Custom);
    pointer.SetCustomIcon(QCursor(picture, 3, 4));
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor) << "a shown hand takes the icon at once";
    EXPECT_EQ(form.cursor().hotSpot(), QPoint(3, 4));
}

} // namespace
} // namespace quillmere::look
