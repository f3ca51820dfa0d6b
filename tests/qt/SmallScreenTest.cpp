// SPDX-License-Identifier: GPL-3.0-or-later
// The window on a 1366 x 768 screen with fonts at 144 dpi (small-screen.json), where it wants more room than the
// screen has: it fits, the lists give way before any other control, and it shrinks further on request.
#include "QtForm1Fixture.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

namespace quillmere::test {
namespace {

class SmallScreenTest : public QtForm1Fixture {
protected:
    void SetUp() override {
        if (QGuiApplication::primaryScreen()->logicalDotsPerInch() *
                QGuiApplication::primaryScreen()->devicePixelRatio() <
            143) {
            GTEST_SKIP() << "needs the screen of small-screen.json (QT_QPA_PLATFORM=offscreen:configfile=...)";
        }
        Load();
        form_->ShowAfterLoad();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    QRect Room() const { return window_->screen()->availableGeometry(); }
    void ResizeTo(QSize size) {
        window_->resize(size);
        QCoreApplication::processEvents();
    }
    // The controls that are cut when they are narrower or lower than they ask for.
    std::vector<QWidget*> Captioned() const {
        std::vector<QWidget*> controls;
        for (QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
            if (button->isVisible()) {
                controls.push_back(button);
            }
        }
        return controls;
    }
    void ExpectNoCaptionCut() const {
        for (QWidget* control : Captioned()) {
            EXPECT_GE(control->width(), control->sizeHint().width()) << control->objectName().toStdString();
            EXPECT_GE(control->height(), control->sizeHint().height()) << control->objectName().toStdString();
        }
    }
    QScrollArea* Scroller() const { return window_->findChild<QScrollArea*>(); }
};

TEST_F(SmallScreenTest, TheWindowFitsTheScreenWithItsFrame) {
    const QRect frame = window_->frameGeometry();
    EXPECT_LE(frame.width(), Room().width());
    EXPECT_LE(frame.height(), Room().height());
    EXPECT_LE(window_->minimumSize().width(), Room().width() / 2) << "a window can always be made smaller";
    EXPECT_LE(window_->minimumSize().height(), Room().height() / 2);
    ExpectNoCaptionCut();
    EXPECT_FALSE(Scroller()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(Scroller()->verticalScrollBar()->isVisible());
}

// The lists gave way to fit the screen: narrower than their columns, the folder lists lower than their three rows,
// while the rest is as it asks to be. Made narrower still, the window takes the room from the lists again.
TEST_F(SmallScreenTest, TheListsGiveWayFirst) {
    const int column = window_->ListView1->columnWidth(0);
    EXPECT_LT(window_->ListView1->width(), column);
    EXPECT_LT(window_->ListView2->width(), column);
    EXPECT_LT(window_->ListView1->viewport()->height(), 3 * window_->ListView3->sizeHintForRow(0));

    const QSize before = window_->size();
    const int folderListBefore = window_->ListView1->width();
    ResizeTo(before - QSize(120, 0));
    EXPECT_EQ(window_->size(), before - QSize(120, 0));
    EXPECT_LT(window_->ListView1->width(), folderListBefore);
    ExpectNoCaptionCut();
    EXPECT_FALSE(Scroller()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(Scroller()->verticalScrollBar()->isVisible());
}

// Below the room its controls need, the window scrolls its controls instead of refusing to shrink or cutting them.
TEST_F(SmallScreenTest, AWindowSmallerThanItsControlsScrolls) {
    ResizeTo(QSize(320, 240));
    EXPECT_EQ(window_->size(), QSize(320, 240));
    ExpectNoCaptionCut();
    EXPECT_TRUE(Scroller()->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(Scroller()->verticalScrollBar()->isVisible());
}

} // namespace
} // namespace quillmere::test
