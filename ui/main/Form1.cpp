// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/Form1.h"

#include "fs/Main.h"
#include "startup/StartupChoice.h"
#include "tray/ProgramIcons.h"
#include "tray/cSysTray.h"
#include "ui/look/ApplySkin.h"
#include "ui/look/HandCursor.h"
#include "ui/main/FolderChooser.h"
#include "ui/main/MessageBoxes.h"
#include "ui/main/PassRunner.h"
#include "ui/main/ProductName.h"
#include "ui/main/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QGroupBox>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

// Statements that can fail run under Trap with the line number their report names. The numbers follow each
// handler's steps in order, from 100 in steps of 2, so that a report points at one step.

namespace quillmere {
namespace {

const QString kNextSync = QStringLiteral("Next sync will occur in ");
const QString kTurnOn = QStringLiteral("Turn On Auto Sync");
const QString kTurnOff = QStringLiteral("Turn Off Auto Sync");
const QString kProgressBarText = QStringLiteral("Progress Bar");
constexpr int kManualHoldMilliseconds = 5000;
constexpr int kTickMilliseconds = 1000;

std::vector<std::string> EntriesOf(const QTreeWidget* list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        entries.push_back(list->topLevelItem(i)->text(0).toStdString());
    }
    return entries;
}

void AddEntry(QTreeWidget* list, const QString& text) {
    list->addTopLevelItem(new QTreeWidgetItem({text}));
}

// The stored interval index read as a 16-bit integer: blanks around the digits are allowed, nothing else.
int ToInteger16(const QString& text) {
    bool isNumber = false;
    const int value = text.trimmed().toInt(&isNumber);
    if (!isNumber) {
        throw std::invalid_argument("Type mismatch");
    }
    if (value < -32768 || value > 32767) {
        throw std::out_of_range("Overflow");
    }
    return value;
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), chooser_(services.chooser), boxes_(services.boxes), runner_(services.runner),
      pass_(std::move(services.pass)), random_(std::move(services.random)), openUrl_(std::move(services.openUrl)),
      programFolder_(std::move(services.programFolder)), reports_(services.boxes, this), tickReports_(reports_),
      windowPass_(*this, reports_) {
    BuildControls();
    cSysTray1 = new tray::cSysTray(std::move(services.tray), true, this);
    cSysTray1->setTrayIcon(tray::TrayPicture());
    ConnectHandlers();
    WatchPointer();
    manualHold_.setSingleShot(true);
    manualHold_.setInterval(kManualHoldMilliseconds);
    Options_Click();
}

Form1::~Form1() {
    StopPass();
}

void Form1::ConnectHandlers() {
    const auto on = [this](std::string_view label, void (Form1::*handler)()) {
        return [this, label, handler] { Guarded(label, [this, handler] { (this->*handler)(); }); };
    };
    connect(PushButton3, &QPushButton::clicked, this, on("Form1.PushButton3_Click", &Form1::PushButton3_Click));
    connect(PushButton1, &QPushButton::clicked, this, on("Form1.PushButton1_Click", &Form1::PushButton1_Click));
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this,
            on("Form1.ListView1_DblClick", &Form1::ListView1_DblClick));
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this,
            on("Form1.ListView2_DblClick", &Form1::ListView2_DblClick));
    connect(&Timer1, &IntervalTimer::Timer, this, on("Form1.Timer1", &Form1::Timer1_Timer));
    connect(PushButton13, &QPushButton::clicked, this, on("Form1.PushButton13_Click", &Form1::PushButton13_Click));
    connect(PushButton12, &QPushButton::clicked, this, on("Form1.PushButton12_Click", &Form1::PushButton12_Click));
    // A click on the selected entry changes no selection, and a change by keyboard or by dragging raises no
    // click: both count. A click that changes the selection is handled twice, to the same effect.
    connect(ListView3, &QTreeWidget::itemClicked, this, on("Form1.ListView3_Click", &Form1::ListView3_Click));
    connect(ListView3, &QTreeWidget::itemSelectionChanged, this, on("Form1.ListView3_Click", &Form1::ListView3_Click));
    for (QRadioButton* option : {Option1, Option2, Option3}) {
        connect(option, &QRadioButton::toggled, this, on("Form1.Options_Click", &Form1::Options_Click));
    }
    connect(&manualHold_, &QTimer::timeout, this, on("Form1.PushButton12_Click", &Form1::ManualHold_Timer));
    connect(&runner_, &PassRunner::Finished, this, &Form1::PassFinished);
    // A release of either button brings the window back; the button and the icon's id do not matter.
    connect(cSysTray1, &tray::cSysTray::MouseUp, this, on("Form1.cSysTray1_MouseUp", &Form1::cSysTray1_MouseUp));
    // A change of value by the program raises the handlers as a click does: the load step relies on it.
    connect(Check9, &QCheckBox::toggled, this, on("Form1.Check9_Click", &Form1::Check9_Click));
    connect(Check10, &QCheckBox::toggled, this, on("Form1.Check10_Click", &Form1::Check10_Click));
}

// ---- Load and close ----

// One bad stored value or a missing file never stops the rest of the start-up: each step is trapped on its own.
void Form1::Form_Load() {
    constexpr std::string_view label = "Form1.Form_Load";
    FormLoading = true;
    Trap(label, 102, [this] { look::ApplySkin(*this, programFolder_); });
    Trap(label, 104, [this] { pointer_.SetCustomIcon(look::LoadHandCursor(programFolder_)); });
    Trap(label, 106, [this] { MaybeShowHomePage(random_, openUrl_); });
    Trap(label, 108, [this] { SetAppTitle(); });
    Trap(label, 110, [this] { AddColumns(); });
    Trap(label, 112, [this] { AddIntervals(); });
    Trap(label, 114, [this] { RestoreFolder(ListView1, "Folder 1"); });
    Trap(label, 116, [this] { RestoreFolder(ListView2, "Folder 2"); });
    RestoreInterval();
    Trap(label, 122, [this] { RestoreAutoSync(); });
    // The icon stays in the tray for the whole run, whether the window is shown or not.
    Trap(label, 124, [this] { cSysTray1->setTrayTip(kProductName); });
    Trap(label, 126, [this] { cSysTray1->setInTray(true); });
    RestoreStartupBoxes();
    FormLoading = false;
}

// Setting a box raises its handler: Check10's ignores it while loading, Check9's stores the value it was given.
// The window, not shown yet, goes straight to the tray: a minimized state given to a window before it was ever
// mapped can reach X after the window is first shown from the tray, and hide it again.
void Form1::RestoreStartupBoxes() {
    constexpr std::string_view label = "Form1.Form_Load";
    Trap(label, 128, [this] { Check10->setChecked(startup::IsOn(GetSetting("Windows Startup").toStdString())); });
    Trap(label, 130, [this] { Check9->setChecked(startup::IsOn(GetSetting("Minimized").toStdString())); });
    Trap(label, 132, [this] {
        if (Check9->isChecked()) {
            HideToTray();
        }
    });
}

// A start in the tray on a desktop without one starts minimized instead.
void Form1::ShowAfterLoad() {
    if (MinimizedToTray) {
        return;
    }
    if (Check9->isChecked()) {
        showMinimized();
    } else {
        show();
    }
}

// The caption is the product name; the application title, made from it, names the program in its notices.
void Form1::SetAppTitle() {
    setWindowTitle(kProductName);
    setWindowIcon(tray::ProgramIcon());
    AppTitle = QString::fromStdString(AppTitleFromProductName(kProductName));
    QApplication::setApplicationDisplayName(AppTitle);
}

void Form1::AddColumns() {
    const std::pair<QTreeWidget*, QString> columns[] = {
        {ListView1, "Folder 1"}, {ListView2, "Folder 2"}, {ListView3, "How often would you like to sync?"}};
    for (const auto& [list, header] : columns) {
        list->setHeaderLabels({header});
        list->setColumnWidth(0, ListColumnWidth());
    }
}

void Form1::AddIntervals() {
    for (const SyncInterval& interval : SyncIntervals()) {
        AddEntry(ListView3,
                 QString::fromUtf8(interval.caption.data(), static_cast<qsizetype>(interval.caption.size())));
    }
}

// The stored text is taken as it is: neither checked against the disk nor normalized.
void Form1::RestoreFolder(QTreeWidget* list, std::string_view key) {
    const QString folder = GetSetting(key);
    if (!folder.isEmpty()) {
        AddEntry(list, folder);
    }
}

// A text that is no number gives two reports (the conversion, then the lookup of entry 0); a number outside the
// list gives one. Either way no entry is selected and the next tick reports the missing interval.
void Form1::RestoreInterval() {
    int index = 0;
    Trap("Form1.Form_Load", 118, [&] { index = ToInteger16(GetSetting("OftenIndex")); });
    Trap("Form1.Form_Load", 120, [&] {
        QTreeWidgetItem* entry = index >= 1 ? ListView3->topLevelItem(index - 1) : nullptr;
        if (entry == nullptr) {
            throw std::out_of_range("Index out of bounds");
        }
        // Restoring is no click: the countdown reads the selection at its next tick.
        const QSignalBlocker quiet(ListView3);
        ListView3->setCurrentItem(entry);
        entry->setSelected(true);
    });
}

// Only "On" and "Off", exactly, are recognized; any other text leaves Auto Sync as the window was designed.
void Form1::RestoreAutoSync() {
    const QString state = GetSetting("StartStopState");
    if (state == "Off") {
        PushButton13->setText(kTurnOn);
        Frame2->setTitle("Auto Sync is Turned Off.");
        Timer1.SetInterval(0);
    } else if (state == "On") {
        PushButton13->setText(kTurnOff);
        Timer1.SetInterval(kTickMilliseconds);
    }
}

// An emptied list is saved as empty text, so that a folder the user removed does not come back at the next start.
void Form1::Form_QueryUnload() {
    const auto saveFirstEntry = [](const QTreeWidget* list, std::string_view key) {
        const QTreeWidgetItem* first = list->topLevelItem(0);
        SaveSetting(key, first != nullptr ? first->text(0) : QString());
    };
    Trap("Form1.Form_QueryUnload", 100, [&] { saveFirstEntry(ListView1, "Folder 1"); });
    Trap("Form1.Form_QueryUnload", 102, [&] { saveFirstEntry(ListView2, "Folder 2"); });
    Trap("Form1.Form_QueryUnload", 104, [this] { cSysTray1->setInTray(false); });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Every close request is granted and handled alike, whatever its cause; a second one, as the end of the
// session may bring, finds the work done. The pass stops first, so that no tick, pass or report of it runs
// while the close request lets pending events run.
void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    StopPass();
    Guarded("Form1.Form_QueryUnload", [this] { Form_QueryUnload(); });
    emit Unloaded();
}

// A running pass stops before its next file (no file is left half-written) and is waited for; no tick or
// pause outlives the window.
void Form1::StopPass() {
    Timer1.SetInterval(0);
    manualHold_.stop();
    windowPass_.RequestStop();
    runner_.Join();
    passKind_ = PassKind::None;
    manualRequested_ = false;
}

// ---- Folder lists ----

void Form1::PushButton3_Click() {
    ChooseFolder(ListView1, "Form1.PushButton3_Click");
}
void Form1::PushButton1_Click() {
    ChooseFolder(ListView2, "Form1.PushButton1_Click");
}
void Form1::ListView1_DblClick() {
    RemoveSelectedFolder(ListView1);
}
void Form1::ListView2_DblClick() {
    RemoveSelectedFolder(ListView2);
}

// Each list holds at most one folder: to replace it the user removes it first.
void Form1::ChooseFolder(QTreeWidget* list, std::string_view label) {
    if (list->topLevelItemCount() != 0) {
        boxes_.Inform(this, AppTitle, "You already have a folder selected.");
        return;
    }
    QString chosen;
    Trap(label, 104, [&] { chosen = chooser_.BrowseForFolder(this, "Please select folder", QString()); });
    if (chosen.isEmpty()) {
        return;
    }
    Trap(label, 108, [&] { SaveSetting("LastFolder", chosen); });
    // The hourglass marks the window busy while the entry is added; a manual pass's hourglass stays up after.
    const int before = pointer_.MousePointer();
    pointer_.SetMousePointer(look::WindowPointer::kHourglass);
    Trap(label, 112, [&] {
        const std::string withSeparator = chosen.toStdString() + SeparatorOf(kNativePathStyle);
        AddEntry(list, QString::fromStdString(NormalizePath(withSeparator)));
    });
    pointer_.SetMousePointer(before);
}

void Form1::RemoveSelectedFolder(QTreeWidget* list) {
    if (pointer_.IsBusy()) {
        return;
    }
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (!selected.isEmpty()) {
        delete selected.front();
    }
}

// ---- Direction ----

// Read by the pass for every pair, so a change made during a pass applies to the pairs that follow.
void Form1::Options_Click() {
    SyncDirection direction = SyncDirection::None;
    if (Option1->isChecked()) {
        direction = SyncDirection::BothWays;
    } else if (Option2->isChecked()) {
        direction = SyncDirection::Folder1ToFolder2;
    } else if (Option3->isChecked()) {
        direction = SyncDirection::Folder2ToFolder1;
    }
    windowPass_.SetDirection(direction);
}

// ---- Scheduler ----

QTreeWidgetItem* Form1::SelectedInterval() const {
    const QList<QTreeWidgetItem*> selected = ListView3->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

std::int32_t Form1::SelectedIntervalSeconds() const {
    const QTreeWidgetItem* selected = SelectedInterval();
    if (selected == nullptr) {
        throw std::logic_error("No sync interval is selected");
    }
    return GetSyncIntervalSeconds(selected->text(0).toStdString());
}

// While the automatic pass that a tick started runs, that tick has not ended: later ticks leave the countdown
// and the status line to it. A fault of the interval lookup is shown once, not at every tick, until the lookup
// has worked again.
void Form1::Timer1_Timer() {
    if (Timer1.Interval() == 0) {
        Frame2->setTitle("Auto Sync is Off.");
        return;
    }
    if (passKind_ == PassKind::Automatic) {
        return;
    }
    constexpr int lookupLine = 102;
    if (RunTrapped(tickReports_, ProcedureText("Form1.Timer1"), lookupLine,
                   [this] { IntervalSeconds = SelectedIntervalSeconds(); })) {
        tickReports_.Succeeded(lookupLine);
    }
    ++ElapsedSeconds;
    ProgressBar1->setMaximum(IntervalSeconds);
    if (ElapsedSeconds <= IntervalSeconds) {
        ProgressBar1->setValue(ElapsedSeconds);
    }
    // Never a negative time left, even while no interval has ever been selected.
    Frame2->setTitle(kNextSync + QString::fromStdString(FormatSeconds(std::max(0, IntervalSeconds - ElapsedSeconds))));
    if (ElapsedSeconds == IntervalSeconds) {
        StartAutomaticPass();
    }
}

// A due pass while a manual one runs is skipped: the manual pass is bringing the folders in step already, and
// the countdown starts again.
void Form1::StartAutomaticPass() {
    if (passKind_ != PassKind::None) {
        ElapsedSeconds = 0;
        return;
    }
    SavedStatusCaption = Frame2->title();
    Frame2->setTitle("Sync is running in background...");
    StartPass(PassKind::Automatic, "Form1.Timer1", 120);
}

void Form1::PushButton13_Click() {
    constexpr std::string_view label = "Form1.PushButton13_Click";
    const QString caption = PushButton13->text();
    if (caption == kTurnOn) {
        PushButton13->setText(kTurnOff);
        Timer1.SetInterval(kTickMilliseconds);
        Trap(label, 108, [] { SaveSetting("StartStopState", "On"); });
    } else if (caption == kTurnOff) {
        PushButton13->setText(kTurnOn);
        Timer1.SetInterval(0);
        Trap(label, 116, [] { SaveSetting("StartStopState", "Off"); });
    }
}

// Two passes never run at once: a click while a pass runs is kept and its pass starts as soon as the running
// one has ended (several such clicks make one pass).
void Form1::PushButton12_Click() {
    if (passKind_ != PassKind::None) {
        manualRequested_ = true;
        return;
    }
    StartManualPass();
}

// A click during the pause after a manual pass keeps the caption that pass had kept.
void Form1::StartManualPass() {
    if (manualHold_.isActive()) {
        manualHold_.stop();
    } else {
        manualKeptCaption_ = Frame2->title();
    }
    Frame2->setTitle("Syncing up files...");
    pointer_.SetMousePointer(look::WindowPointer::kHourglass);
    StartPass(PassKind::Manual, "Form1.PushButton12_Click", 106);
}

void Form1::StartPass(PassKind kind, std::string_view label, int line) {
    // A handler that was waiting in a message box when the window closed goes on afterwards: no pass then.
    if (unloaded_) {
        return;
    }
    passKind_ = kind;
    windowPass_.Prepare(EntriesOf(ListView1), EntriesOf(ListView2));
    const std::string procedure = ProcedureText(label);
    const bool started = Trap(label, line, [&] {
        runner_.Start([this, procedure, line] {
            RunTrapped(windowPass_, procedure, line, [this] { pass_(windowPass_, windowPass_); });
        });
    });
    if (!started) {
        PassFinished();
    }
}

void Form1::PassFinished() {
    if (passKind_ == PassKind::Automatic) {
        Guarded("Form1.Timer1", [this] { AutomaticPassFinished(); });
        return;
    }
    passKind_ = PassKind::None;
    Guarded("Form1.PushButton12_Click", [this] { ManualPassFinished(); });
    if (manualRequested_) {
        manualRequested_ = false;
        StartManualPass();
    }
}

// The completion text stands until pending events have been handled once; then the countdown text comes back.
void Form1::AutomaticPassFinished() {
    const QString now = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    Frame2->setTitle("Auto Sync Complete at " + now);
    QMetaObject::invokeMethod(
        this, [this] { Guarded("Form1.Timer1", [this] { EndAutomaticPass(); }); }, Qt::QueuedConnection);
}

void Form1::EndAutomaticPass() {
    Frame2->setTitle(SavedStatusCaption);
    ElapsedSeconds = 0;
    passKind_ = PassKind::None;
    if (manualRequested_) {
        manualRequested_ = false;
        StartManualPass();
    }
}

void Form1::ManualPassFinished() {
    pointer_.SetMousePointer(look::WindowPointer::kDefault);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(kProgressBarText);
    manualHold_.start();
}

// An automatic pass that a tick started during the pause keeps "Sync is running in background..." until it ends,
// and then puts back the countdown text it saved itself.
void Form1::ManualHold_Timer() {
    if (passKind_ == PassKind::Automatic) {
        return;
    }
    Frame2->setTitle(manualKeptCaption_);
}

// A click, or a change of the selection by keyboard, takes the selected interval and restarts the countdown.
void Form1::ListView3_Click() {
    QTreeWidgetItem* selected = SelectedInterval();
    if (selected == nullptr) {
        return;
    }
    const int index = ListView3->indexOfTopLevelItem(selected) + 1;
    Trap("Form1.ListView3_Click", 100, [index] { SaveSetting("OftenIndex", QString::number(index)); });
    IntervalSeconds = GetSyncIntervalSeconds(selected->text(0).toStdString());
    ElapsedSeconds = 0;
}

} // namespace quillmere
