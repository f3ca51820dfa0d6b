// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtForm1.h"

#include "tray/qt/ProgramIcons.h"
#include "ui/look/ApplySkin.h"
#include "ui/look/HandCursor.h"
#include "ui/main/AccessKeys.h"
#include "ui/main/Form1.h"
#include "ui/main/Form1Design.h"
#include "ui/main/Keys.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <iterator>

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

// The keys the window logic acts on, by its numbers; none for the others.
std::optional<int> LogicKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Delete:
        return keys::kDelete;
    case Qt::Key_Backspace:
        return keys::kBack;
    default:
        return std::nullopt;
    }
}

// Qt takes a plain top-level widget for a mere part of a window ("filler"); a screen reader should meet a frame.
QAccessibleInterface* WindowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(QtForm1::staticMetaObject.className()) && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

} // namespace

QtForm1::QtForm1(QWidget* parent) : QWidget(parent) {
    static const bool accessible = [] {
        QAccessible::installFactory(&WindowAccessible);
        return true;
    }();
    (void)accessible;
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
    for (QTreeWidget* folderList : {ListView1, ListView2}) {
        folderList->installEventFilter(this);
        folderList->viewport()->installEventFilter(this);
    }
    // A click on the selected entry changes no selection, and a change by keyboard or by dragging raises no
    // click: both count. A click that changes the selection is handled twice, to the same effect.
    const auto intervalClicked = [this] {
        Forward([this](Form1& logic) { logic.ListView3_Click(SelectedIndex(ListView3)); });
    };
    connect(ListView3, &QTreeWidget::itemClicked, this, intervalClicked);
    connect(ListView3, &QTreeWidget::itemSelectionChanged, this, intervalClicked);
    QRadioButton* const options[] = {Option1, Option2, Option3};
    static_assert(std::size(options) == std::size(form1_design::kDirectionOptions));
    for (std::size_t i = 0; i < std::size(options); ++i) {
        connect(options[i], &QRadioButton::toggled, this,
                [this, chosen = form1_design::kDirectionOptions[i].direction](bool checked) {
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
    connect(Check12, &QCheckBox::toggled, this,
            [this](bool checked) { Forward([checked](Form1& logic) { logic.Check12_Click(checked); }); });
    pointer_.SetMoveHandler([this](const QWidget& over, PointerArea area) {
        const bool window = &over == this || &over == content_;
        const std::string name = window ? std::string("Form") : over.objectName().toStdString();
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
// click of such a double-click, leaves the selection as it is. Keys pressed in the list go to the logic too.
bool QtForm1::eventFilter(QObject* watched, QEvent* event) {
    struct FolderList {
        QTreeWidget* list;
        void (Form1::*doubleClicked)(std::optional<int>);
        void (Form1::*keyDown)(int, std::optional<int>);
    };
    const FolderList folderLists[] = {{ListView1, &Form1::ListView1_DblClick, &Form1::ListView1_KeyDown},
                                      {ListView2, &Form1::ListView2_DblClick, &Form1::ListView2_KeyDown}};
    for (const auto& [list, doubleClicked, keyDown] : folderLists) {
        if (watched == list && event->type() == QEvent::KeyPress) {
            if (const auto key = LogicKey(static_cast<QKeyEvent*>(event)->key())) {
                Forward(
                    [&, list = list, keyDown = keyDown](Form1& logic) { (logic.*keyDown)(*key, SelectedIndex(list)); });
            }
            return false;
        }
        if (watched != list->viewport()) {
            continue;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            Forward([list = list, doubleClicked = doubleClicked](Form1& logic) {
                (logic.*doubleClicked)(SelectedIndex(list));
            });
            return true;
        }
        return event->type() == QEvent::MouseButtonPress &&
               list->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == nullptr;
    }
    return QWidget::eventFilter(watched, event);
}

// The first showing gives the window the size its controls ask for, as far as the screen has room for it.
void QtForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!sized_) {
        sized_ = true;
        resize(FittingSize());
    }
}

// The hand over the push buttons, the arrow over the window, its frames and its lists.
void QtForm1::WatchPointer() {
    for (QPushButton* button : {PushButton1, PushButton3, PushButton12, PushButton13, PushButton14}) {
        pointer_.Watch(*button, PointerArea::Button);
    }
    pointer_.Watch(*this, PointerArea::Plain);
    pointer_.Watch(*content_, PointerArea::Plain);
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
        return Check11;
    case FormCheckBox::Check12:
        break;
    }
    return Check12;
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

// A list is named after its column, so a screen reader tells the three apart.
void QtForm1::SetColumnHeader(FormList list, const std::string& text) {
    List(list)->setHeaderLabels({Text(text)});
    List(list)->setColumnWidth(0, ListColumnWidth());
    List(list)->setAccessibleName(Text(text));
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
    PushButton13->setText(Text(WithAccessKey(caption)));
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
    PushButton14->setText(Text(WithAccessKey(text)));
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

void QtForm1::SetWatchNote(const std::string& text) {
    Label1->setText(Text(text));
    Label1->setVisible(!text.empty());
}

void QtForm1::SetChecked(FormCheckBox box, bool checked) {
    const QSignalBlocker quiet(Box(box));
    Box(box)->setChecked(checked);
}

void QtForm1::SetVisible(FormCheckBox box, bool visible) {
    Box(box)->setVisible(visible);
}

} // namespace quillmere::qt
