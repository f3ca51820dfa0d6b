// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtForm1.h"

#include "tray/qt/ProgramIcons.h"
#include "ui/look/ApplySkin.h"
#include "ui/look/HandCursor.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace quillmere::qt {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The 0-based index of the list's selected entry, if any.
std::optional<int> SelectedIndex(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return list->indexOfTopLevelItem(selected.front());
}

} // namespace

QtForm1::QtForm1(QWidget* parent) : QWidget(parent) {
    BuildControls();
    ConnectControls();
    WatchPointer();
}

QtForm1::~QtForm1() {
    logic_ = nullptr;
}

QtForm1::Attachment QtForm1::Attach(Form1& logic) {
    logic_ = &logic;
    return Attachment(*this);
}

void QtForm1::ConnectControls() {
    const auto on = [this](void (Form1::*handler)()) {
        return [this, handler] { Forward([handler](Form1& logic) { (logic.*handler)(); }); };
    };
    connect(PushButton3, &QPushButton::clicked, this, on(&Form1::PushButton3_Click));
    connect(PushButton1, &QPushButton::clicked, this, on(&Form1::PushButton1_Click));
    connect(PushButton13, &QPushButton::clicked, this, on(&Form1::PushButton13_Click));
    connect(PushButton12, &QPushButton::clicked, this, on(&Form1::PushButton12_Click));
    connect(PushButton14, &QPushButton::clicked, this, on(&Form1::PushButton14_Click));
    timer1_.SetHandler(on(&Form1::Timer1_Timer));
    manualHold_.SetHandler(on(&Form1::ManualHold_Timer));
    ListView1->viewport()->installEventFilter(this);
    ListView2->viewport()->installEventFilter(this);
    // A click on the selected entry changes no selection, and a change by keyboard or by dragging raises no
    // click: both count. A click that changes the selection is handled twice, to the same effect.
    const auto intervalClicked = [this] {
        Forward([this](Form1& logic) { logic.ListView3_Click(SelectedIndex(ListView3)); });
    };
    connect(ListView3, &QTreeWidget::itemClicked, this, intervalClicked);
    connect(ListView3, &QTreeWidget::itemSelectionChanged, this, intervalClicked);
    const std::pair<QRadioButton*, SyncDirection> options[] = {{Option1, SyncDirection::BothWays},
                                                               {Option2, SyncDirection::Folder1ToFolder2},
                                                               {Option3, SyncDirection::Folder2ToFolder1}};
    for (const auto& [option, direction] : options) {
        connect(option, &QRadioButton::toggled, this, [this, chosen = direction](bool checked) {
            if (checked) {
                Forward([chosen](Form1& logic) { logic.Options_Click(chosen); });
            }
        });
    }
    connect(Check9, &QCheckBox::toggled, this,
            [this](bool checked) { Forward([checked](Form1& logic) { logic.Check9_Click(checked); }); });
    connect(Check10, &QCheckBox::toggled, this,
            [this](bool checked) { Forward([checked](Form1& logic) { logic.Check10_Click(checked); }); });
    connect(Check11, &QCheckBox::toggled, this,
            [this](bool checked) { Forward([checked](Form1& logic) { logic.Check11_Click(checked); }); });
    pointer_.SetMoveHandler([this](const QWidget& over, PointerArea area) {
        const std::string name = &over == this ? std::string("Form") : over.objectName().toStdString();
        Forward([&](Form1& logic) { logic.MouseMove(name, area); });
    });
}

void QtForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    Forward([](Form1& logic) { logic.Form_QueryUnload(); });
}

void QtForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Forward([this](Form1& logic) { logic.Form_Resize(isMinimized()); });
    }
}

// A double-click anywhere in a folder list removes its selected entry. A press beside the entry, as the first
// click of such a double-click, leaves the selection as it is.
bool QtForm1::eventFilter(QObject* watched, QEvent* event) {
    const std::pair<QTreeWidget*, void (Form1::*)(std::optional<int>)> folderLists[] = {
        {ListView1, &Form1::ListView1_DblClick}, {ListView2, &Form1::ListView2_DblClick}};
    for (const auto& [list, handler] : folderLists) {
        if (watched != list->viewport()) {
            continue;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            Forward([list, handler](Form1& logic) { (logic.*handler)(SelectedIndex(list)); });
            return true;
        }
        return event->type() == QEvent::MouseButtonPress &&
               list->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == nullptr;
    }
    return QWidget::eventFilter(watched, event);
}

// The hand over the push buttons, the arrow over the window, its frames and its lists.
void QtForm1::WatchPointer() {
    for (QPushButton* button : {PushButton1, PushButton3, PushButton12, PushButton13, PushButton14}) {
        pointer_.Watch(*button, PointerArea::Button);
    }
    pointer_.Watch(*this, PointerArea::Plain);
    for (QWidget* plain : std::initializer_list<QWidget*>{Frame1, Frame2, Frame3, ListView1, ListView2, ListView3}) {
        pointer_.Watch(*plain, PointerArea::Plain);
    }
}

QTreeWidget* QtForm1::List(FormList list) const {
    switch (list) {
    case FormList::ListView1:
        return ListView1;
    case FormList::ListView2:
        return ListView2;
    case FormList::ListView3:
        break;
    }
    return ListView3;
}

QCheckBox* QtForm1::Box(FormCheckBox box) const {
    switch (box) {
    case FormCheckBox::Check9:
        return Check9;
    case FormCheckBox::Check10:
        return Check10;
    case FormCheckBox::Check11:
        break;
    }
    return Check11;
}

// ---- Form1View ----

void QtForm1::SetCaption(const std::string& caption) {
    setWindowTitle(Text(caption));
}

void QtForm1::SetProgramIcon() {
    setWindowIcon(tray::ProgramIcon());
}

void QtForm1::SetApplicationTitle(const std::string& title) {
    QApplication::setApplicationDisplayName(Text(title));
}

void QtForm1::ApplySkin(const std::string& programFolder) {
    look::ApplySkin(*this, Text(programFolder));
}

void QtForm1::LoadHandCursor(const std::string& programFolder) {
    pointer_.SetCustomIcon(look::LoadHandCursor(Text(programFolder)));
}

void QtForm1::SetMousePointer(MousePointer pointer) {
    pointer_.Show(pointer);
}

void QtForm1::Show() {
    show();
}

void QtForm1::ShowMinimized() {
    showMinimized();
}

// The window keeps its minimized state while hidden: setting it back to normal here would have X map the
// hidden window again. Restore brings it back in its normal state.
void QtForm1::Hide() {
    hide();
}

void QtForm1::Restore() {
    showNormal();
    raise();
    activateWindow();
}

void QtForm1::EndProgram() {
    emit Unloaded();
}

void QtForm1::SetColumnHeader(FormList list, const std::string& text) {
    List(list)->setHeaderLabels({Text(text)});
    List(list)->setColumnWidth(0, ListColumnWidth());
}

void QtForm1::AddEntry(FormList list, const std::string& text) {
    List(list)->addTopLevelItem(new QTreeWidgetItem({Text(text)}));
}

void QtForm1::RemoveEntry(FormList list, int index) {
    delete List(list)->topLevelItem(index);
}

void QtForm1::SelectEntry(FormList list, int index) {
    QTreeWidget* widget = List(list);
    const QSignalBlocker quiet(widget);
    if (QTreeWidgetItem* entry = widget->topLevelItem(index)) {
        widget->setCurrentItem(entry);
        entry->setSelected(true);
    }
}

void QtForm1::SetAutoSyncCaption(const std::string& caption) {
    PushButton13->setText(Text(caption));
}

void QtForm1::SetStatus(const std::string& text) {
    Frame2->setTitle(Text(text));
}

void QtForm1::SetProgressMaximum(int maximum) {
    ProgressBar1->setMaximum(maximum);
}

void QtForm1::SetProgressValue(int value) {
    ProgressBar1->setValue(value);
}

void QtForm1::SetProgressText(const std::string& text) {
    ProgressBar1->setFormat(Text(text));
}

void QtForm1::SetFailureNote(const std::string& text) {
    PushButton14->setText(Text(text));
    PushButton14->setVisible(!text.empty());
}

void QtForm1::ShowFailureList(const std::string& title, const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) {
        texts << Text(line);
    }
    FailureList->setWindowTitle(Text(title));
    FailureLines->setPlainText(texts.join('\n'));
    FailureList->show();
    FailureList->raise();
    FailureList->activateWindow();
}

void QtForm1::SetChecked(FormCheckBox box, bool checked) {
    const QSignalBlocker quiet(Box(box));
    Box(box)->setChecked(checked);
}

void QtForm1::SetVisible(FormCheckBox box, bool visible) {
    Box(box)->setVisible(visible);
}

} // namespace quillmere::qt
