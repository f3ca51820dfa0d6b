// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls carry their design names and texts, and nothing is cut off at the default size.
#include "QtForm1Fixture.h"

#include "ui/qt/QtFolderChooser.h"
#include "ui/qt/QtSystem.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace quillmere::test {
namespace {

class DesignTest : public QtForm1Fixture {
protected:
    void SetUp() override { Load(); }
};

TEST_F(DesignTest, ControlsCarryTheirDesignNamesAndTexts) {
    const std::pair<QWidget*, const char*> named[] = {
        {window_->Frame1, "Frame1"},
        {window_->Option1, "Option1"},
        {window_->Option2, "Option2"},
        {window_->Option3, "Option3"},
        {window_->Check11, "Check11"},
        {window_->Check12, "Check12"},
        {window_->PushButton3, "PushButton3"},
        {window_->PushButton1, "PushButton1"},
        {window_->ListView1, "ListView1"},
        {window_->ListView2, "ListView2"},
        {window_->ListView3, "ListView3"},
        {window_->PushButton13, "PushButton13"},
        {window_->PushButton12, "PushButton12"},
        {window_->Frame2, "Frame2"},
        {window_->ProgressBar1, "ProgressBar1"},
        {window_->PushButton14, "PushButton14"},
        {window_->Label1, "Label1"},
        {window_->Frame3, "Frame3"},
        {window_->Check9, "Check9"},
        {window_->Check10, "Check10"},
    };
    for (const auto& [widget, name] : named) {
        EXPECT_EQ(widget->objectName(), name);
        EXPECT_EQ(widget->font().family(), "Arial") << name;
    }
    EXPECT_EQ(window_->Frame1->title(), "Sync Options");
    EXPECT_EQ(Shown(window_->Option1),
              "Both direction - Sync both folders to each other based on newly edited files in either folder ");
    EXPECT_EQ(Shown(window_->Option2),
              "One direction - Copy Folder1 to Folder2 based on newly edited files in Folder1 ");
    EXPECT_EQ(Shown(window_->Option3),
              "One direction - Copy Folder2 to Folder1 based on newly edited files in Folder2 ");
    EXPECT_EQ(Shown(window_->Check11), "Keep replaced files in the Trash");
    EXPECT_EQ(Shown(window_->Check12), "Sync as soon as files change");
    EXPECT_EQ(Shown(window_->PushButton3), "1. Choose Folder 1");
    EXPECT_EQ(Shown(window_->PushButton1), "2. Choose Folder 2");
    EXPECT_EQ(Shown(window_->PushButton12), "Sync Now (Test)");
    EXPECT_EQ(window_->ProgressBar1->format(), "Progress Bar");
    EXPECT_EQ(window_->Frame3->title(), "Startup Option");
    EXPECT_EQ(Shown(window_->Check9), "Start in system tray");
    EXPECT_EQ(Shown(window_->Check10), "Load this software on Windows startup");
    const QString tip = "Double-click item to remove it. Move | line to right and out of window to reveal full names.";
    EXPECT_EQ(window_->ListView1->toolTip(), tip);
    EXPECT_EQ(window_->ListView2->toolTip(), tip);
}

TEST_F(DesignTest, NoTextIsCutOffAtTheDefaultSize) {
    window_->SetFailureNote("12345 files not copied, 123 folders not read. Show why...");
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    for (QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->objectName().toStdString();
    }
    window_->Frame2->setTitle("Auto Sync Complete at 12/31/26 11:59:59 PM, 3 files not copied");
    EXPECT_GE(window_->Frame2->width(), window_->Frame2->minimumSizeHint().width());
    EXPECT_GE(window_->ListView3->viewport()->height(), 15 * window_->ListView3->sizeHintForRow(0));
}

TEST_F(DesignTest, TheWindowKeepsItsSizeWhenTheFailureNoteComesAndGoes) {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    const QSize before = window_->size();
    const int minimumHeight = window_->minimumSizeHint().height();
    window_->SetFailureNote("3 files not copied, 1 folder not read. Show why...");
    QCoreApplication::processEvents();
    EXPECT_EQ(window_->size(), before);
    EXPECT_EQ(window_->minimumSizeHint().height(), minimumHeight);
}

TEST_F(DesignTest, TabGoesFromEachChooseButtonToItsList) {
    const QWidget* order[] = {window_->PushButton3,  window_->ListView1, window_->PushButton1,
                              window_->ListView2,    window_->ListView3, window_->PushButton13,
                              window_->PushButton12, window_->Check9,    window_->Check10};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        const QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus || next->isHidden()) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, order[i + 1]) << order[i]->objectName().toStdString();
    }
}

// The completion time in the status line: the locale's short date and its long time, with the seconds.
TEST(DesignTexts, TheGeneralDateIsTheShortDateAndTheLongTimeWithoutTheZone) {
    const QDateTime when(QDate(2026, 12, 8), QTime(16, 5, 9), Qt::UTC);
    const std::pair<const char*, const char*> cases[] = {
        {"en_US", "12/8/26 4:05:09 PM"},
        {"de_DE", "08.12.26 16:05:09"},
        {"en_GB", "08/12/2026 16:05:09"},
    };
    for (const auto& [locale, shown] : cases) {
        EXPECT_EQ(qt::GeneralDateText(when, QLocale(locale)).toStdString(), shown) << locale;
    }
}

// Answers the next folder dialog from the event loop it runs in.
void AnswerDialog(std::function<void(QFileDialog&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog != nullptr && dialog->isVisible()) {
                poll->deleteLater();
                answer(*dialog);
                return;
            }
        }
    });
    poll->start(10);
}

TEST_F(DesignTest, TheFolderDialogShowsThePromptAndStartsAtTheStartFolder) {
    QTemporaryDir start;
    QString title;
    QString shownFolder;
    AnswerDialog([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        shownFolder = dialog.directory().absolutePath();
        static_cast<QDialog&>(dialog).accept();
    });
    qt::QtFolderChooser chooser(window_.get());
    EXPECT_EQ(chooser.BrowseForFolder("Please select folder", start.path().toStdString()), start.path().toStdString());
    EXPECT_EQ(title, "Please select folder");
    EXPECT_EQ(shownFolder, start.path());

    AnswerDialog([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(chooser.BrowseForFolder("Please select folder", start.path().toStdString()), "");
}

} // namespace
} // namespace quillmere::test
