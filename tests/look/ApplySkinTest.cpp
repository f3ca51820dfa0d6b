// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/look/ApplySkin.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace quillmere::look {
namespace {

const QColor kDesign(200, 0, 200); // a colour no style uses, so every change shows

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* frame = new QGroupBox("Frame1", &form);
        auto* layout = new QVBoxLayout(frame);
        for (QWidget* w :
             std::initializer_list<QWidget*>{new QCheckBox("Check9"), new QRadioButton("Option1"),
                                             new QPushButton("PushButton1"), new QListWidget, new QProgressBar})
            layout->addWidget(w);
        QList<QWidget*> all = form.findChildren<QWidget*>();
        all << &form;
        for (QWidget* w : all) {
            QPalette palette = w->palette();
            palette.setColor(QPalette::Window, kDesign);
            w->setPalette(palette);
        }
        ASSERT_NE(ButtonFaceColour(), kDesign);
    }
    void WriteSkin(const QByteArray& text) {
        ASSERT_TRUE(QDir(folder.path()).mkpath("x"));
        QFile file(SkinPath(folder.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    template <class Control> QColor ColourOf() const {
        return form.findChild<Control*>()->palette().color(QPalette::Window);
    }

    QTemporaryDir folder;
    QWidget form;
};

TEST_F(SkinTest, SkinFileRecoloursPlainControlsAndStylesTheWindow) {
    WriteSkin("QPushButton { color: red; }");
    EXPECT_TRUE(ApplySkin(form, folder.path()));
    EXPECT_EQ(form.palette().color(QPalette::Window), ButtonFaceColour());
    EXPECT_TRUE(form.autoFillBackground());
    EXPECT_EQ(ColourOf<QGroupBox>(), ButtonFaceColour());
    EXPECT_EQ(ColourOf<QCheckBox>(), ButtonFaceColour());
    EXPECT_EQ(ColourOf<QRadioButton>(), ButtonFaceColour());
    EXPECT_EQ(ColourOf<QPushButton>(), kDesign);
    EXPECT_EQ(ColourOf<QListWidget>(), kDesign);
    EXPECT_EQ(ColourOf<QProgressBar>(), kDesign);
    EXPECT_EQ(form.styleSheet(), "QPushButton { color: red; }");
}

TEST_F(SkinTest, NoSkinWithoutTheExactFile) {
    EXPECT_FALSE(ApplySkin(form, folder.path())) << "no x folder";
    ASSERT_TRUE(QDir(folder.path()).mkpath("x"));
    EXPECT_FALSE(ApplySkin(form, folder.path())) << "x without o.cjs";
    ASSERT_TRUE(QDir(folder.path()).mkpath("x/o.cjs"));
    EXPECT_FALSE(ApplySkin(form, folder.path())) << "o.cjs is a folder";
    EXPECT_EQ(form.palette().color(QPalette::Window), kDesign);
    EXPECT_EQ(ColourOf<QGroupBox>(), kDesign);
    EXPECT_TRUE(form.styleSheet().isEmpty());
}

TEST(FileIsPresentTest, TrueOnlyForSomethingThatExists) {
    QTemporaryDir folder;
    QFile file(folder.filePath("HAND-M.CUR"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(FileIsPresent(file.fileName()));
    EXPECT_TRUE(FileIsPresent(folder.path()));
    EXPECT_FALSE(FileIsPresent(folder.filePath("hand-m.cur")));
    EXPECT_FALSE(FileIsPresent(folder.filePath("missing/HAND-M.CUR")));
    EXPECT_FALSE(FileIsPresent(""));
}

} // namespace
} // namespace quillmere::look
