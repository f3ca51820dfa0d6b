// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window: the two folder lists with their choose buttons, the direction options, the interval
// list, the Auto Sync countdown with its status frame and bar, and the start-up options.
#pragma once

#include "engine/modSync.h"
#include "tray/TrayBackend.h"
#include "ui/look/WindowPointer.h"
#include "ui/main/ErrorReport.h"
#include "ui/main/HomePage.h"
#include "ui/main/IntervalTimer.h"
#include "ui/main/RepeatedReportFilter.h"
#include "ui/main/WindowPass.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class QCheckBox;
class QGroupBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quillmere {

namespace tray {
class cSysTray;
}

class FolderChooser;
class MessageBoxes;
class PassRunner;

using PassFunction = std::function<SyncCounts(const SyncSettings&, SyncObserver&)>;

// What the window asks of the world; tests put scripted versions in place.
struct Form1Services {
    FolderChooser& chooser;
    MessageBoxes& boxes;
    PassRunner& runner;
    PassFunction pass;
    std::unique_ptr<tray::TrayBackend> tray; // the notification area
    RandomFraction random;                   // the draw for the home page
    UrlOpener openUrl;                       // the system's URL opener
    QString programFolder;                   // where the optional skin and cursor files lie
};

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // Controls, by their design names.
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QPushButton* PushButton3;
    QPushButton* PushButton1;
    QTreeWidget* ListView1;
    QTreeWidget* ListView2;
    QTreeWidget* ListView3;
    QPushButton* PushButton13;
    QPushButton* PushButton12;
    QGroupBox* Frame2;
    QProgressBar* ProgressBar1;
    QGroupBox* Frame3;
    QCheckBox* Check9;
    QCheckBox* Check10;
    IntervalTimer Timer1;
    tray::cSysTray* cSysTray1;

    // Countdown state.
    std::int32_t IntervalSeconds = 0;
    std::int32_t ElapsedSeconds = 0;
    QString SavedStatusCaption;

    bool FormLoading = false;
    // Set while the window is hidden in the tray.
    bool MinimizedToTray = false;
    // The application title, used by the window's notices.
    QString AppTitle;

    // The window's mouse pointer (0, 11 or 99); the hourglass doubles as the sign that the window is busy.
    look::WindowPointer& Pointer() { return pointer_; }

    // Event handlers.
    void Form_Load();
    // Shows the window after the load step, unless the load step hid it in the tray.
    void ShowAfterLoad();
    void Form_QueryUnload();
    void Form_Resize();
    void cSysTray1_MouseUp();
    void Check9_Click();
    void Check10_Click();
    void PushButton3_Click();
    void PushButton1_Click();
    void ListView1_DblClick();
    void ListView2_DblClick();
    void Timer1_Timer();
    void PushButton13_Click();
    void PushButton12_Click();
    void ListView3_Click();
    void Options_Click();
    // The end of the pause that keeps "Syncing up files..." on show after a manual pass.
    void ManualHold_Timer();
    bool ManualHoldRunning() const { return manualHold_.isActive(); }

signals:
    // The window has closed: the program ends.
    void Unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class PassKind { None, Automatic, Manual };

    void BuildControls();
    int ListColumnWidth() const;
    void ConnectHandlers();
    void WatchPointer();
    template <class Statement> bool Trap(std::string_view label, int line, Statement&& statement);
    template <class Handler> void Guarded(std::string_view label, Handler&& handler);

    // Load step.
    void SetAppTitle();
    void RestoreStartupBoxes();
    void HideToTray();
    void AddColumns();
    void AddIntervals();
    void RestoreFolder(QTreeWidget* list, std::string_view key);
    void RestoreInterval();
    void RestoreAutoSync();

    // Folder lists.
    void ChooseFolder(QTreeWidget* list, std::string_view label);
    void RemoveSelectedFolder(QTreeWidget* list);

    // Scheduler.
    QTreeWidgetItem* SelectedInterval() const;
    std::int32_t SelectedIntervalSeconds() const;
    void StartAutomaticPass();
    void StartManualPass();
    void StartPass(PassKind kind, std::string_view label, int line);
    void PassFinished();
    void AutomaticPassFinished();
    void EndAutomaticPass();
    void ManualPassFinished();
    void StopPass();

    FolderChooser& chooser_;
    MessageBoxes& boxes_;
    PassRunner& runner_;
    PassFunction pass_;
    RandomFraction random_;
    UrlOpener openUrl_;
    QString programFolder_;
    ErrorReport reports_;
    RepeatedReportFilter tickReports_;
    WindowPass windowPass_;
    QTimer manualHold_;
    look::WindowPointer pointer_{*this};
    bool unloaded_ = false;
    PassKind passKind_ = PassKind::None;
    bool manualRequested_ = false;
    QString manualKeptCaption_;
};

template <class Statement> bool Form1::Trap(std::string_view label, int line, Statement&& statement) {
    return RunTrapped(reports_, ProcedureText(label), line, std::forward<Statement>(statement));
}

// Every handler runs inside this guard: a failure that its own steps do not trap is reported with line 0 and
// never ends the program.
template <class Handler> void Form1::Guarded(std::string_view label, Handler&& handler) {
    Trap(label, 0, std::forward<Handler>(handler));
}

} // namespace quillmere
