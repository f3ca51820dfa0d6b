// SPDX-License-Identifier: GPL-3.0-or-later
// The optional skin and hand cursor from the program's folder, and the pointer rules over the window's controls.
#include "Form1Fixture.h"

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

class LookTest : public Form1Fixture {
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
    int Pointer() { return form_->Pointer().MousePointer(); }
};

TEST_F(LookTest, ASkinFileRestylesTheWindow) {
    Put("x/o.cjs", "QPushButton { font-weight: bold; }");
    Load();
    EXPECT_EQ(form_->styleSheet(), "QPushButton { font-weight: bold; }");
    EXPECT_EQ(form_->Frame1->palette().color(QPalette::Window), look::ButtonFaceColour());
    EXPECT_TRUE(Reports().isEmpty());
}

TEST_F(LookTest, AFolderXWithoutTheFileLeavesTheDesign) {
    ASSERT_TRUE(QDir(programFolder_.path()).mkpath("x"));
    Load();
    EXPECT_TRUE(form_->styleSheet().isEmpty());
    EXPECT_FALSE(form_->Frame1->autoFillBackground());
    EXPECT_TRUE(Reports().isEmpty());
}

TEST_F(LookTest, TheCursorFileIsTheHandOverTheButtons) {
    QFile::copy(QUILLMERE_TEST_CURSOR, programFolder_.filePath("HAND-M.CUR"));
    Load();
    MoveOver(form_->PushButton12);
    EXPECT_EQ(Pointer(), look::WindowPointer::kCustom);
    EXPECT_EQ(form_->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form_->cursor().hotSpot(), QPoint(9, 1));
}

TEST_F(LookTest, ACursorFileThatIsNoPictureIsReportedAndTheLoadGoesOn) {
    Put("HAND-M.CUR", "not a cursor");
    Load();
    ASSERT_EQ(Reports().size(), 1);
    EXPECT_TRUE(Reports()[0].contains("Form1.Form_Load at line 104"));
    EXPECT_EQ(form_->ListView3->topLevelItemCount(), 15);
    MoveOver(form_->PushButton1);
    EXPECT_EQ(form_->cursor().shape(), Qt::PointingHandCursor) << "no custom icon: the platform's hand";
}

TEST_F(LookTest, HandOverButtonsArrowOverFramesListsAndWindowNeverOverTheHourglass) {
    Load();
    form_->ShowAfterLoad();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    for (QPushButton* button : {form_->PushButton1, form_->PushButton3, form_->PushButton12, form_->PushButton13}) {
        MoveOver(form_->Frame3);
        MoveOver(button);
        EXPECT_EQ(Pointer(), look::WindowPointer::kCustom) << button->objectName().toStdString();
    }
    for (QWidget* plain : std::initializer_list<QWidget*>{form_->Frame1, form_->Frame2, form_->Frame3,
                                                          form_->ListView1->viewport(), form_->ListView3->viewport()}) {
        MoveOver(form_->PushButton1);
        MoveOver(plain);
        EXPECT_EQ(Pointer(), look::WindowPointer::kDefault) << plain->parentWidget()->objectName().toStdString();
    }

    form_->Pointer().SetMousePointer(look::WindowPointer::kHourglass);
    MoveOver(form_->PushButton12);
    MoveOver(form_->ListView2->viewport());
    EXPECT_EQ(Pointer(), look::WindowPointer::kHourglass);
    EXPECT_EQ(form_->cursor().shape(), Qt::WaitCursor);
}

TEST_F(LookTest, AFailingPointerRuleLeavesThePointerAndTheProgramGoesOn) {
    Load();
    form_->Pointer().SetRuleRunner([](const QWidget&, const std::function<void()>&) { throw std::bad_alloc(); });
    MoveOver(form_->PushButton12);
    EXPECT_EQ(Pointer(), look::WindowPointer::kDefault);
}

} // namespace
} // namespace quillmere::test
