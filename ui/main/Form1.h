// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window as plain C++: the two folder lists with their choose buttons, the direction, the
// interval list, the Auto Sync countdown with its status line and bar, the start-up options, the tray icon and
// the close. Its handlers keep the design names of the controls and events they stand for; a front end (the Qt
// window, ui/qt/QtForm1) calls them. What the window shows goes out through a Form1View and nothing comes back
// from it; everything else the window needs comes in through Form1Services.
#pragma once

#include "engine/modSync.h"
#include "tray/cSysTray.h"
#include "ui/main/ChangeWatch.h"
#include "ui/main/ErrorReport.h"
#include "ui/main/Form1Steps.h"
#include "ui/main/Form1View.h"
#include "ui/main/HomePage.h"
#include "ui/main/PassFailures.h"
#include "ui/main/RepeatedReportFilter.h"
#include "ui/main/UiThread.h"
#include "ui/main/WindowPass.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

class FolderChooser;
class MessageBoxes;
class PassRunner;
class SettingsStore;
class StartupEntry;
class Timer;

using PassFunction = std::function<SyncCounts(const SyncJob&, const SyncSettings&, SyncObserver&)>;
// The current local date and time as text, in the system's general date format: the short date and the long time,
// seconds included.
using LocalTimeText = std::function<std::string()>;
// Ends the process at once, with nothing more run: for a close that finds the pass still inside a copy.
using EndAtOnce = std::function<void()>;

// What the window asks of the world; tests put scripted versions in place.
struct Form1Services {
    Form1View& view;
    SettingsStore& settings;
    FolderChooser& chooser;
    MessageBoxes& boxes;
    UiThread& ui;
    PassRunner& runner;
    Timer& timer1;     // the countdown's tick: Timer1_Timer once a second while Auto Sync is on
    Timer& manualHold; // ManualHold_Timer ends the pause that follows a manual pass
    StartupEntry& startup;
    std::unique_ptr<tray::TrayBackend> tray; // the notification area, for the tray control cSysTray1
    PassFunction pass;
    RandomFraction random; // the draw for the home page
    UrlOpener openUrl;     // the system's opener of web addresses
    LocalTimeText now;
    std::string programFolder; // where the optional skin and cursor files lie
    EndAtOnce endAtOnce;
    std::string homePage; // opened on one start in a hundred; none in a build without one
    WatchServices watch;  // for "Sync as soon as files change"
};

class Form1 {
public:
    // Puts the window's state as designed into the view.
    explicit Form1(Form1Services services);
    // Stops a running pass and waits for it.
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Event handlers. Each runs under the error report: whatever fails in it is reported, never thrown.
    void Form_Load();
    // Shows the window after the load step, unless the load step hid it in the tray. A start in the tray that
    // found no notification area waits a while for one, then hides in it or shows the window minimized.
    void ShowAfterLoad();
    // Every request to close the window, whatever its cause; the program ends after it, within about a second
    // whatever the pass is doing.
    void Form_QueryUnload();
    void Form_Resize(bool minimized);
    void PushButton3_Click();
    void PushButton1_Click();
    // selected: the 0-based index of the list's selected entry, if any.
    void ListView1_DblClick(std::optional<int> selected);
    void ListView2_DblClick(std::optional<int> selected);
    // A key pressed in a folder list, by its number in ui/main/Keys.h.
    void ListView1_KeyDown(int keyCode, std::optional<int> selected);
    void ListView2_KeyDown(int keyCode, std::optional<int> selected);
    // A click on the interval list, or any other change of its selection.
    void ListView3_Click(std::optional<int> selected);
    // The option button that was chosen, by the direction it stands for.
    void Options_Click(SyncDirection direction);
    void Timer1_Timer();
    void PushButton13_Click();
    void PushButton12_Click();
    void ManualHold_Timer();
    // The note of what the last pass could not do: opens its list.
    void PushButton14_Click();
    // The box's new value, whether the user or the program changed it.
    void Check9_Click(bool checked);
    void Check10_Click(bool checked);
    void Check11_Click(bool checked);
    void Check12_Click(bool checked);
    // The watch of the pair has news: a pass is due, or what it can trust changed.
    void ChangeWatch_News();
    void cSysTray1_MouseUp(int button, int id);
    // The mouse moved over the control of that design name ("Form" for the window itself).
    void MouseMove(std::string_view control, PointerArea area);

    // State, as the handlers left it.
    bool FormLoading() const { return formLoading_; }
    bool MinimizedToTray() const { return minimizedToTray_; }
    std::int32_t IntervalSeconds() const { return intervalSeconds_; }
    std::int32_t ElapsedSeconds() const { return elapsedSeconds_; }
    const std::string& SavedStatusCaption() const { return savedStatusCaption_; }

private:
    enum class PassKind { None, Automatic, Manual, Change };

    template <class Statement> bool Trap(Form1Step step, Statement&& statement);
    template <class Handler> void Guarded(std::string_view procedure, Handler&& handler);

    // Load step.
    void SetAppTitle();
    void AddColumns();
    void AddIntervals();
    void RestoreFolder(FormList list, std::string_view key);
    void RestoreInterval();
    void RestoreAutoSync();
    void RestoreStartupBoxes();
    bool KeepReplacedSetting() const;

    // Folder lists.
    // A folder of a list: its text as the list shows it (as chosen, or as stored) and the folder a pass takes,
    // made from that text where it entered the window.
    struct ListedFolder {
        std::string shown;
        std::string folder;
    };
    std::vector<ListedFolder>& Folders(FormList list);
    void ChooseFolder(FormList list);
    void PairChanged();
    // The text of the list's folder; none while the list is empty.
    const std::string* ShownFolder(FormList list);
    // True when the lists' folders lie inside each other, which the status line then says.
    bool RefusePair();
    void RemoveSelectedFolder(FormList list, std::optional<int> selected);

    // What the window shows.
    void SetStatus(std::string text);
    void SetAutoSync(bool on);
    void SetBusy(bool busy);
    // Sets a start-up box; a change raises the box's click handler, as a click would.
    void SetBox(FormCheckBox box, bool checked);

    // Scheduler.
    std::int32_t SelectedIntervalSeconds() const;
    void StartAutomaticPass();
    void StartManualPass();
    void StartPass(PassKind kind, Form1Step step);
    std::optional<SyncJob> PassJob() const;
    void PassFinished();
    void AutomaticPassFinished();
    void EndAutomaticPass();
    void ManualPassFinished();
    void ChangePassFinished();
    // True when no pass runs any more: the running one stopped within limit.
    bool StopPass(std::optional<std::chrono::milliseconds> limit);

    // Sync as soon as files change.
    // Watches the pair while the box is ticked, Auto Sync is on and the lists hold a pair that can run.
    void UpdateWatch();
    void ShowDoubts();
    // The schedule hears of the pass's end; a pass asked for during a change pass starts.
    void EndWatchedPass();

    // What a pass could not do.
    void TellPassFailures();
    void TellTray(const std::string& failures);

    // Tray.
    void HideToTray();
    void EndStartInTray();
    void cSysTray1_AvailabilityChanged();

    Form1View& view_;
    SettingsStore& settings_;
    FolderChooser& chooser_;
    MessageBoxes& boxes_;
    UiThread& ui_;
    PassRunner& runner_;
    Timer& timer1_;
    Timer& manualHold_;
    StartupEntry& startup_;
    PassFunction pass_;
    RandomFraction random_;
    UrlOpener openUrl_;
    LocalTimeText now_;
    std::string programFolder_;
    EndAtOnce endAtOnce_;
    std::string homePage_;
    ErrorReport reports_;
    RepeatedReportFilter tickReports_;
    WindowPass windowPass_;
    OwnedPoster poster_;
    tray::cSysTray cSysTray1_;

    // The window.
    bool formLoading_ = false;
    bool minimizedToTray_ = false;
    bool unloaded_ = false;
    bool busy_ = false; // shown by the hourglass: a folder is being added or a manual pass runs
    std::string appTitle_;
    std::vector<ListedFolder> folder1_;
    std::vector<ListedFolder> folder2_;
    bool check9_ = false;
    bool check10_ = false;
    bool check12_ = false;

    // The countdown.
    bool autoSyncOn_ = false;
    std::optional<int> interval_; // 0-based index of the selected interval
    std::int32_t intervalSeconds_ = 0;
    std::int32_t elapsedSeconds_ = 0;
    std::string status_;
    std::string savedStatusCaption_;
    std::string pairRefusal_; // why the lists' folders run no pass, shown in the status line until they change

    // The passes.
    PassKind passKind_ = PassKind::None;
    bool manualRequested_ = false;
    bool manualHoldRunning_ = false;
    std::string manualKeptCaption_;
    std::string passEndedAt_;   // the local time the last pass ended
    PassFailures lastFailures_; // what the last pass could not do

    // Sync as soon as files change.
    WatchServices watchServices_;
    std::shared_ptr<ChangeWatch> watch_;     // while the pair is watched
    std::shared_ptr<ChangeWatch> passWatch_; // the watch the running pass went through, if any
    bool timedRequested_ = false;            // the countdown's pass fell due during a change pass
};

template <class Statement> bool Form1::Trap(Form1Step step, Statement&& statement) {
    return RunTrapped(reports_, StepOf(step), std::forward<Statement>(statement));
}

// Every handler runs inside this guard: a failure that its own steps do not trap is reported with line 0 and
// never ends the program.
template <class Handler> void Form1::Guarded(std::string_view procedure, Handler&& handler) {
    RunTrapped(reports_, TrapStep{procedure, 0}, std::forward<Handler>(handler));
}

} // namespace quillmere
