// SPDX-License-Identifier: GPL-3.0-or-later
// The window's design: its controls with their design names and texts, laid out as a desktop utility.
#include "ui/qt/QtForm1.h"

#include "engine/modSync.h"

#include <QCheckBox>
#include <QDialog>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quillmere::qt {
namespace {

const QString kFolderListTip =
    QStringLiteral("Double-click item to remove it. Move | line to right and out of window to reveal full names.");

template <class Widget, class... Arguments> Widget* Make(const char* name, QWidget* parent, Arguments&&... arguments) {
    auto* widget = new Widget(std::forward<Arguments>(arguments)..., parent);
    widget->setObjectName(name);
    return widget;
}

// The height the list's style gives one row of text, measured on a sample row.
int RowHeight(QTreeWidget* list) {
    const QTreeWidgetItem sample({"Sample"});
    list->addTopLevelItem(new QTreeWidgetItem(sample));
    const int height = list->sizeHintForRow(0);
    list->clear();
    return height;
}

// A report-view list: one column, rows of plain text, one row selected at a time, wide enough for its column
// and high enough for visibleRows rows.
QTreeWidget* MakeList(const char* name, QWidget* parent, int columnWidth, int visibleRows) {
    auto* list = Make<QTreeWidget>(name, parent);
    list->setColumnCount(1);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAllColumnsShowFocus(true);
    // The column keeps its own width; the user drags its edge to read long paths.
    list->header()->setStretchLastSection(false);
    const int frame = 2 * list->frameWidth();
    list->setMinimumWidth(columnWidth + list->verticalScrollBar()->sizeHint().width() + frame);
    list->setMinimumHeight(list->header()->sizeHint().height() + RowHeight(list) * visibleRows + frame);
    return list;
}

} // namespace

// The lists' columns are 7000 twips (1/1440 inch) wide.
int QtForm1::ListColumnWidth() const {
    return 7000 * logicalDpiX() / 1440;
}

void QtForm1::BuildControls() {
    setObjectName("Form1");
    setFont(QFont("Arial", 9));

    Frame1 = Make<QGroupBox>("Frame1", this, "Sync Options");
    Option1 = Make<QRadioButton>(
        "Option1", Frame1,
        "Both direction - Sync both folders to each other based on newly edited files in either folder ");
    Option2 = Make<QRadioButton>("Option2", Frame1,
                                 "One direction - Copy Folder1 to Folder2 based on newly edited files in Folder1 ");
    Option3 = Make<QRadioButton>("Option3", Frame1,
                                 "One direction - Copy Folder2 to Folder1 based on newly edited files in Folder2 ");
    Option1->setChecked(true);
    Check11 = Make<QCheckBox>("Check11", Frame1, "Keep replaced files in the Trash");
    auto* options = new QVBoxLayout(Frame1);
    for (QWidget* option : std::initializer_list<QWidget*>{Option1, Option2, Option3, Check11}) {
        options->addWidget(option);
    }

    PushButton3 = Make<QPushButton>("PushButton3", this, "1. Choose Folder 1");
    ListView1 = MakeList("ListView1", this, ListColumnWidth(), 3);
    PushButton1 = Make<QPushButton>("PushButton1", this, "2. Choose Folder 2");
    ListView2 = MakeList("ListView2", this, ListColumnWidth(), 3);
    for (QTreeWidget* folderList : {ListView1, ListView2}) {
        folderList->setToolTip(kFolderListTip);
        folderList->setFixedHeight(folderList->minimumHeight());
    }
    auto* folders = new QGridLayout;
    folders->addWidget(PushButton3, 0, 0);
    folders->addWidget(ListView1, 1, 0);
    folders->addWidget(PushButton1, 0, 1);
    folders->addWidget(ListView2, 1, 1);

    ListView3 = MakeList("ListView3", this, ListColumnWidth(), static_cast<int>(SyncIntervals().size()));
    ListView3->setMaximumWidth(ListView3->minimumWidth());
    // The texts of the Auto Sync button, the status line and the bar are the window logic's.
    PushButton13 = Make<QPushButton>("PushButton13", this);
    PushButton12 = Make<QPushButton>("PushButton12", this, "Sync Now (Test)");

    Frame2 = Make<QGroupBox>("Frame2", this);
    // Wide enough for the longest status line, so the window does not change size as the line changes.
    Frame2->setMinimumWidth(
        Frame2->fontMetrics().horizontalAdvance("Auto Sync Complete at 00/00/0000 00:00:00 AM, 99 files not copied") +
        40);
    ProgressBar1 = Make<QProgressBar>("ProgressBar1", Frame2);
    ProgressBar1->setValue(0);
    // Its text is the window logic's; shown only while the last pass left something undone. Its place is kept
    // while it is hidden, so the window does not change size when it comes and goes.
    PushButton14 = Make<QPushButton>("PushButton14", Frame2);
    QSizePolicy keepPlace = PushButton14->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    PushButton14->setSizePolicy(keepPlace);
    PushButton14->hide();
    auto* status = new QVBoxLayout(Frame2);
    status->addWidget(ProgressBar1);
    status->addWidget(PushButton14);

    Frame3 = Make<QGroupBox>("Frame3", this, "Startup Option");
    Check9 = Make<QCheckBox>("Check9", Frame3, "Start in system tray");
    Check10 = Make<QCheckBox>("Check10", Frame3, "Load this software on Windows startup");
    auto* startup = new QVBoxLayout(Frame3);
    startup->addWidget(Check9);
    startup->addWidget(Check10);

    auto* controls = new QVBoxLayout;
    for (QWidget* control : std::initializer_list<QWidget*>{PushButton13, PushButton12, Frame2, Frame3}) {
        controls->addWidget(control);
    }
    controls->addStretch();
    auto* schedule = new QHBoxLayout;
    schedule->addWidget(ListView3);
    schedule->addLayout(controls, 1);

    BuildFailureList();

    auto* window = new QVBoxLayout(this);
    window->addWidget(Frame1);
    window->addLayout(folders);
    window->addLayout(schedule, 1);
}

// Plain lines to read and copy from, never to edit; long lines scroll rather than wrap, so one line is one record.
void QtForm1::BuildFailureList() {
    FailureList = Make<QDialog>("FailureList", this);
    FailureLines = Make<QPlainTextEdit>("FailureLines", FailureList);
    FailureLines->setReadOnly(true);
    FailureLines->setLineWrapMode(QPlainTextEdit::NoWrap);
    (new QVBoxLayout(FailureList))->addWidget(FailureLines);
    FailureList->resize(FailureList->fontMetrics().horizontalAdvance(QString(100, 'x')), 20 * fontMetrics().height());
}

} // namespace quillmere::qt
