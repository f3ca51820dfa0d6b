// SPDX-License-Identifier: GPL-3.0-or-later
// The window's design: its controls with their design names and texts, laid out as a desktop utility.
#include "ui/qt/QtForm1.h"

#include "ui/main/AccessKeys.h"
#include "ui/main/Form1Design.h"
#include "ui/main/SyncIntervals.h"

#include <QCheckBox>
#include <QDialog>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace quillmere::qt {
namespace {

using namespace form1_design;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a screen reader tells of a folder list besides its name.
const QString kFolderListDescription = QStringLiteral("Double-click item to remove it");

template <class Widget, class... Arguments> Widget* Make(const char* name, QWidget* parent, Arguments&&... arguments) {
    auto* widget = new Widget(std::forward<Arguments>(arguments)..., parent);
    widget->setObjectName(name);
    return widget;
}

// A button-like control with its caption and the caption's access key.
template <class Widget> Widget* MakeCaptioned(const char* name, QWidget* parent, std::string_view caption) {
    return Make<Widget>(name, parent, QString::fromStdString(WithAccessKey(caption)));
}

// A report-view list that gives way first. Asked while the window measures the room it wants, it wants its
// column and all its rows; otherwise it asks for its least size, so that a window smaller than it wants takes the
// room from the lists before any other control, and the lists grow into the room of a larger one.
class ReportList final : public QTreeWidget {
public:
    ReportList(QWidget* parent, int columnWidth, int visibleRows, int fewestRows)
        : QTreeWidget(parent), columnWidth_(columnWidth), visibleRows_(visibleRows), fewestRows_(fewestRows) {}

    // Measures the sizes anew in the list's present font and style.
    void Measure() {
        const int frame = 2 * frameWidth();
        const int width = columnWidth_ + verticalScrollBar()->sizeHint().width() + frame;
        const int header = this->header()->sizeHint().height() + frame;
        const int row = RowHeight();
        // Narrower than its column, the list scrolls sideways, and its scroll bar must leave its rows in sight.
        const bool scrollsSideways = horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
        const int sideways = scrollsSideways ? horizontalScrollBar()->sizeHint().height() : 0;
        wanted_ = QSize(width, header + row * visibleRows_);
        least_ = QSize(width / 4, header + row * fewestRows_ + sideways);
        if (limited_ == Qt::Horizontal) {
            setMaximumWidth(wanted_.width());
        } else if (limited_ == Qt::Vertical) {
            setMaximumHeight(wanted_.height());
        }
        updateGeometry();
    }
    // The list never grows beyond what it wants along that direction.
    void LimitAlong(Qt::Orientation direction) {
        limited_ = direction;
        Measure();
    }
    void AskForAllRoom(bool all) {
        askingForAll_ = all;
        updateGeometry();
    }
    QSize sizeHint() const override { return askingForAll_ ? wanted_ : least_; }
    QSize minimumSizeHint() const override { return least_; }

private:
    // The height the style gives one row of text, measured on an entry, or on a sample row in an empty list.
    int RowHeight() {
        if (topLevelItemCount() > 0) {
            return sizeHintForRow(0);
        }
        addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("Sample")}));
        const int height = sizeHintForRow(0);
        clear();
        return height;
    }

    const int columnWidth_;
    const int visibleRows_;
    const int fewestRows_;
    QSize wanted_;
    QSize least_;
    bool askingForAll_ = false;
    std::optional<Qt::Orientation> limited_;
};

// The status frame: its caption, the status line, is cut in a narrow window rather than holding the window wide.
class StatusFrame final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;
    QSize minimumSizeHint() const override {
        return {layout()->totalMinimumSize().width(), QGroupBox::minimumSizeHint().height()};
    }
};

// Layouts keep what they measured; after a change of what their controls ask for, every one of them measures
// again.
void ForgetMeasures(QLayout& layout) {
    for (int i = 0; i < layout.count(); ++i) {
        if (QLayout* inner = layout.itemAt(i)->layout()) {
            ForgetMeasures(*inner);
        }
    }
    layout.invalidate();
}

// A report-view list: one column, rows of plain text, one row selected at a time. It wants to be wide enough for
// its column and high enough for visibleRows rows, and can shrink to fewestRows rows and a quarter of its column.
QTreeWidget* MakeList(const char* name, QWidget* parent, int columnWidth, int visibleRows, int fewestRows) {
    auto* list = new ReportList(parent, columnWidth, visibleRows, fewestRows);
    list->setObjectName(name);
    list->setColumnCount(1);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAllColumnsShowFocus(true);
    // The column keeps its own width; the user drags its edge, or scrolls, to read long paths.
    list->header()->setStretchLastSection(false);
    list->Measure();
    return list;
}

} // namespace

int QtForm1::ListColumnWidth() const {
    return form1_design::ListColumnWidth(logicalDpiX());
}

void QtForm1::BuildControls() {
    setObjectName("Form1");
    setFont(QFont("Arial", 9));
    QWidget* content = BuildScrolledContent();
    BuildOptions(content);
    QLayout* folders = BuildFolderLists(content);
    auto* schedule = new QHBoxLayout;
    schedule->addWidget(BuildIntervals(content));
    schedule->addLayout(BuildAutoSync(content));
    BuildFailureList();

    auto* window = new QVBoxLayout(content);
    window->addWidget(Frame1);
    window->addLayout(folders);
    window->addLayout(schedule);
    // Laid out at once, as a window that is never shown (in a test) has its controls where they would be.
    const QSize fitting = FittingSize();
    content_->resize(fitting);
    content_->layout()->activate();
    resize(fitting);
}

// Frame1: the direction and whether replaced files are kept.
void QtForm1::BuildOptions(QWidget* content) {
    Frame1 = Make<QGroupBox>("Frame1", content, Text(kFrame1));
    Option1 = MakeCaptioned<QRadioButton>("Option1", Frame1, kDirectionOptions[0].caption);
    Option2 = MakeCaptioned<QRadioButton>("Option2", Frame1, kDirectionOptions[1].caption);
    Option3 = MakeCaptioned<QRadioButton>("Option3", Frame1, kDirectionOptions[2].caption);
    Option1->setChecked(true);
    Check11 = MakeCaptioned<QCheckBox>("Check11", Frame1, kCheck11);
    Check12 = MakeCaptioned<QCheckBox>("Check12", Frame1, kCheck12);
    // Five rows set close, as a dialog's option rows are: on a small screen with large fonts the window still fits.
    auto* options = new QVBoxLayout(Frame1);
    const QMargins margins = options->contentsMargins();
    options->setContentsMargins(margins.left(), margins.top() / 2, margins.right(), margins.bottom() / 2);
    options->setSpacing(1);
    for (QWidget* option : std::initializer_list<QWidget*>{Option1, Option2, Option3, Check11, Check12}) {
        options->addWidget(option);
    }
}

// The two folder lists side by side under their buttons. They never grow beyond their rows: a taller window gives
// the room to the intervals.
QLayout* QtForm1::BuildFolderLists(QWidget* content) {
    PushButton3 = MakeCaptioned<QPushButton>("PushButton3", content, kPushButton3);
    ListView1 = MakeList("ListView1", content, ListColumnWidth(), 3, 1);
    PushButton1 = MakeCaptioned<QPushButton>("PushButton1", content, kPushButton1);
    ListView2 = MakeList("ListView2", content, ListColumnWidth(), 3, 1);
    for (QTreeWidget* folderList : {ListView1, ListView2}) {
        folderList->setToolTip(Text(kFolderListTip));
        folderList->setAccessibleDescription(kFolderListDescription);
        static_cast<ReportList*>(folderList)->LimitAlong(Qt::Vertical);
    }
    auto* folders = new QGridLayout;
    folders->addWidget(PushButton3, 0, 0);
    folders->addWidget(ListView1, 1, 0);
    folders->addWidget(PushButton1, 0, 1);
    folders->addWidget(ListView2, 1, 1);
    return folders;
}

QTreeWidget* QtForm1::BuildIntervals(QWidget* content) {
    ListView3 = MakeList("ListView3", content, ListColumnWidth(), static_cast<int>(SyncIntervals().size()), 3);
    // Its texts are far shorter than its column: narrowed, it never scrolls sideways to show the empty rest.
    ListView3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    static_cast<ReportList*>(ListView3)->LimitAlong(Qt::Horizontal);
    return ListView3;
}

// The Auto Sync buttons, the status frame and the start-up frame, one above the other.
QLayout* QtForm1::BuildAutoSync(QWidget* content) {
    // The texts of the Auto Sync button, the status line and the bar are the window logic's.
    PushButton13 = Make<QPushButton>("PushButton13", content);
    PushButton12 = MakeCaptioned<QPushButton>("PushButton12", content, kPushButton12);
    BuildStatus(content);
    Frame3 = Make<QGroupBox>("Frame3", content, Text(kFrame3));
    Check9 = MakeCaptioned<QCheckBox>("Check9", Frame3, kCheck9);
    Check10 = MakeCaptioned<QCheckBox>("Check10", Frame3, kCheck10);
    auto* startup = new QVBoxLayout(Frame3);
    startup->addWidget(Check9);
    startup->addWidget(Check10);

    auto* controls = new QVBoxLayout;
    for (QWidget* control : std::initializer_list<QWidget*>{PushButton13, PushButton12, Frame2, Frame3}) {
        controls->addWidget(control);
    }
    controls->addStretch();
    return controls;
}

// Frame2: the bar and the note of what the last pass could not do. It asks for room for the longest status line,
// so the window's first size does not depend on the line shown then.
void QtForm1::BuildStatus(QWidget* content) {
    Frame2 = Make<StatusFrame>("Frame2", content);
    ProgressBar1 = Make<QProgressBar>("ProgressBar1", Frame2);
    ProgressBar1->setValue(0);
    // Its text is the window logic's; shown only while the last pass left something undone. Its place is kept
    // while it is hidden, so the window does not change size when it comes and goes.
    PushButton14 = Make<QPushButton>("PushButton14", Frame2);
    QSizePolicy keepPlace = PushButton14->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    PushButton14->setSizePolicy(keepPlace);
    PushButton14->hide();
    // Shown only while a watched folder's changes cannot be trusted; it wraps rather than widen the window.
    Label1 = Make<QLabel>("Label1", Frame2);
    Label1->setWordWrap(true);
    Label1->hide();
    auto* status = new QVBoxLayout(Frame2);
    status->addWidget(ProgressBar1);
    status->addWidget(PushButton14);
    status->addWidget(Label1);
    const int longestStatus =
        Frame2->fontMetrics().horizontalAdvance("Auto Sync Complete at 00/00/0000 00:00:00 AM, 99 files not copied");
    status->addItem(new QSpacerItem(longestStatus + 20, 0, QSizePolicy::Preferred, QSizePolicy::Minimum));
}

QWidget* QtForm1::BuildScrolledContent() {
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setFocusPolicy(Qt::NoFocus); // Tab goes from control to control, never to the scroller
    content_ = new QWidget(scroller);
    scroller->setWidget(content_);
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(scroller);
    return content_;
}

// The size the controls ask for, the lists' whole columns and rows included, within the room the screen leaves
// for the window and its frame.
QSize QtForm1::FittingSize() const {
    const auto askForAllRoom = [this](bool all) {
        for (QTreeWidget* list : {ListView1, ListView2, ListView3}) {
            auto* reportList = static_cast<ReportList*>(list);
            if (all) {
                reportList->Measure();
            }
            reportList->AskForAllRoom(all);
        }
        ForgetMeasures(*content_->layout());
    };
    askForAllRoom(true);
    const QSize wanted = content_->sizeHint();
    askForAllRoom(false);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QSize room = screen()->availableGeometry().size() - QSize(2 * frame, titleBar + 2 * frame);
    return wanted.boundedTo(room);
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
