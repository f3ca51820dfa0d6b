// SPDX-License-Identifier: GPL-3.0-or-later
// The optional skin and hand cursor from the program's folder, and the pointer rules over the window's controls.
#include "QtForm1Fixture.h"

#include "ui/look/ApplySkin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace quillmere::test {
namespace {

class LookTest : public QtForm1Fixture {
protected:
    void Put(const QString& name, const QByteArray& content) {
        const QString path = programFolder_.filePath(name);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // A move as the platform delivers it: to the widget under the mouse.
    static void MoveOver(QWidget* widget) {
        const QPoint at(widget->width() - 3, widget->height() - 3);
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
};

TEST_F(LookTest, ASkinFileRestylesTheWindow) {
    Put("x/o.cjs", "QPushButton { font-weight: bold; }");
    Load();
    EXPECT_EQ(window_->styleSheet(), "QPushButton { font-weight: bold; }");
    EXPECT_EQ(window_->Frame1->palette().color(QPalette::Window), look::ButtonFaceColour());
    EXPECT_TRUE(Reports().empty());
}

TEST_F(LookTest, AFolderXWithoutTheFileLeavesTheDesign) {
    ASSERT_TRUE(QDir(programFolder_.path()).mkpath("x"));
    Load();
    EXPECT_TRUE(window_->styleSheet().isEmpty());
    EXPECT_FALSE(window_->Frame1->autoFillBackground());
    EXPECT_TRUE(Reports().empty());
}

TEST_F(LookTest, TheCursorFileIsTheHandOverTheButtons) {
    QFile::copy(QUILLMERE_TEST_CURSOR, programFolder_.filePath("HAND-M.CUR"));
    Load();
    MoveOver(window_->PushButton12);
    EXPECT_EQ(window_->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(window_->cursor().hotSpot(), QPoint(9, 1));
}

TEST_F(LookTest, ACursorFileThatIsNoPictureIsReportedAndTheLoadGoesOn) {
    Put("HAND-M.CUR", "not a cursor");
    Load();
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_NE(Reports()[0].find("Form1.Form_Load at line 104"), std::string::npos);
    EXPECT_EQ(window_->ListView3->topLevelItemCount(), 15);
    MoveOver(window_->PushButton1);
    EXPECT_EQ(window_->cursor().shape(), Qt::PointingHandCursor) << "no custom icon: the platform's hand";
}

TEST_F(LookTest, HandOverButtonsArrowOverFramesListsAndWindowNeverOverTheHourglass) {
    Load();
    form_->ShowAfterLoad();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    for (QPushButton* button :
         {window_->PushButton1, window_->PushButton3, window_->PushButton12, window_->PushButton13}) {
        MoveOver(window_->Frame3);
        MoveOver(button);
        EXPECT_EQ(window_->cursor().shape(), Qt::PointingHandCursor) << button->objectName().toStdString();
    }
    for (QWidget* plain :
         std::initializer_list<QWidget*>{window_->Frame1, window_->Frame2, window_->Frame3,
                                         window_->ListView1->viewport(), window_->ListView3->viewport()}) {
        MoveOver(window_->PushButton1);
        MoveOver(plain);
        EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor) << plain->parentWidget()->objectName().toStdString();
    }

    window_->PushButton12->click(); // a manual pass: the hourglass is up
    MoveOver(window_->PushButton12);
    MoveOver(window_->ListView2->viewport());
    EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);
}

} // namespace
} // namespace quillmere::test
