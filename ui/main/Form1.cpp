// SPDX-License-Identifier: GPL-3.0-or-later
// Form1: its state as designed, the load step, the close request and the two folder lists.
#include "ui/main/Form1.h"

#include "BuildValues.h"
#include "fs/FolderNesting.h"
#include "fs/Main.h"
#include "ui/main/AppTitle.h"
#include "ui/main/FolderChooser.h"
#include "ui/main/Form1Texts.h"
#include "ui/main/Keys.h"
#include "ui/main/MessageBoxes.h"
#include "ui/main/PassRunner.h"
#include "ui/main/Settings.h"
#include "ui/main/SyncIntervals.h"
#include "ui/main/Timer.h"

#include <charconv>
#include <stdexcept>

// Steps that can fail run under Trap with the step their report names (ui/main/Form1Steps.h).

namespace quillmere {
namespace {

using namespace form1_texts;
namespace procedure = form1_procedure;

// A close waits this long for the pass to stop between two files; a pass still inside a copy then is left to the
// end of the process, which leaves only a marked temporary file for the next pass to remove.
constexpr std::chrono::milliseconds kCloseWait{500};

// Why the two folders may not be synchronized, naming them as the lists show them; empty while a list is empty or
// they lie apart.
std::string PairProblem(const std::string* folder1, const std::string* folder2) {
    if (folder1 == nullptr || folder2 == nullptr) {
        return {};
    }
    return NestedFoldersProblem({"Folder 1", *folder1}, {"Folder 2", *folder2});
}

// The stored interval index read as a 16-bit integer: blanks around it and a sign before its digits are allowed,
// nothing else. A number beyond 32 bits is no number at all; one beyond 16 bits overflows.
int ToInteger16(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\n\v\f\r";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        throw std::invalid_argument("Type mismatch");
    }
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw std::invalid_argument("Type mismatch");
    }
    if (value < -32768 || value > 32767) {
        throw std::out_of_range("Overflow");
    }
    return value;
}

} // namespace

Form1::Form1(Form1Services services)
    : view_(services.view), settings_(services.settings), chooser_(services.chooser), boxes_(services.boxes),
      ui_(services.ui), runner_(services.runner), timer1_(services.timer1), manualHold_(services.manualHold),
      startup_(services.startup), pass_(std::move(services.pass)), random_(std::move(services.random)),
      openUrl_(std::move(services.openUrl)), now_(std::move(services.now)),
      programFolder_(std::move(services.programFolder)), endAtOnce_(std::move(services.endAtOnce)),
      homePage_(std::move(services.homePage)), reports_(services.boxes), tickReports_(reports_),
      windowPass_(services.ui, reports_), poster_(services.ui), cSysTray1_(std::move(services.tray), true),
      status_(kNextSync), watchServices_(std::move(services.watch)) {
    view_.SetStatus(status_);
    view_.SetAutoSyncCaption(std::string(kTurnOn));
    view_.SetProgressText(std::string(kProgressBar));
    cSysTray1_.setTrayIcon(tray::Picture::TrayIcon);
    // A release of either button brings the window back; the button and the icon's id do not matter.
    cSysTray1_.MouseUp = [this](int button, int id) { cSysTray1_MouseUp(button, id); };
    cSysTray1_.AvailabilityChanged = [this] { cSysTray1_AvailabilityChanged(); };
}

Form1::~Form1() {
    StopPass(std::nullopt);
}

// ---- Load and close ----

// One bad stored value or a missing file never stops the rest of the start-up: each step is trapped on its own.
void Form1::Form_Load() {
    formLoading_ = true;
    Trap(Form1Step::ApplySkin, [this] { view_.ApplySkin(programFolder_); });
    Trap(Form1Step::LoadHandCursor, [this] { view_.LoadHandCursor(programFolder_); });
    Trap(Form1Step::ShowHomePage, [this] { MaybeShowHomePage(random_, openUrl_, homePage_); });
    Trap(Form1Step::SetAppTitle, [this] { SetAppTitle(); });
    Trap(Form1Step::AddColumns, [this] { AddColumns(); });
    Trap(Form1Step::AddIntervals, [this] { AddIntervals(); });
    Trap(Form1Step::RestoreFolder1, [this] { RestoreFolder(FormList::ListView1, "Folder 1"); });
    Trap(Form1Step::RestoreFolder2, [this] { RestoreFolder(FormList::ListView2, "Folder 2"); });
    RestoreInterval();
    Trap(Form1Step::RestoreAutoSync, [this] { RestoreAutoSync(); });
    // The icon stays in the tray for the whole run, whether the window is shown or not.
    Trap(Form1Step::SetTrayTip, [this] { cSysTray1_.setTrayTip(build::kProductName); });
    Trap(Form1Step::PutInTray, [this] { cSysTray1_.setInTray(true); });
    RestoreStartupBoxes();
    // Restoring the box is no click: a first start writes nothing.
    Trap(Form1Step::RestoreKeepReplaced, [this] { view_.SetChecked(FormCheckBox::Check11, KeepReplacedSetting()); });
    // A pair stored by an older run may lie inside each other: say so before the countdown starts.
    Trap(Form1Step::RefuseStoredPair, [this] { RefusePair(); });
    Trap(Form1Step::RestoreSyncOnChange, [this] {
        check12_ = ReadOnOff(settings_, "Sync On Change");
        view_.SetChecked(FormCheckBox::Check12, check12_);
        UpdateWatch();
    });
    formLoading_ = false;
}

// Setting a box raises its handler: Check10's ignores it while loading, Check9's stores the value it was given.
// The window, not shown yet, goes straight to the tray: a minimized state given to a window before it was ever
// mapped can reach the desktop after the window is first shown from the tray, and hide it again.
void Form1::RestoreStartupBoxes() {
    Trap(Form1Step::RestoreStartWithSystem,
         [this] { SetBox(FormCheckBox::Check10, ReadOnOff(settings_, "Windows Startup")); });
    Trap(Form1Step::RestoreStartInTray, [this] { SetBox(FormCheckBox::Check9, ReadOnOff(settings_, "Minimized")); });
    Trap(Form1Step::StartInTray, [this] {
        if (check9_) {
            HideToTray();
        }
    });
}

bool Form1::KeepReplacedSetting() const {
    return ReadOnOff(settings_, "Keep Replaced");
}

// The caption is the product name; the application title, made from it, names the program in its notices.
void Form1::SetAppTitle() {
    view_.SetCaption(build::kProductName);
    view_.SetProgramIcon();
    appTitle_ = AppTitleFromProductName(build::kProductName);
    view_.SetApplicationTitle(appTitle_);
}

void Form1::AddColumns() {
    view_.SetColumnHeader(FormList::ListView1, "Folder 1");
    view_.SetColumnHeader(FormList::ListView2, "Folder 2");
    view_.SetColumnHeader(FormList::ListView3, "How often would you like to sync?");
}

void Form1::AddIntervals() {
    for (const SyncInterval& interval : SyncIntervals()) {
        view_.AddEntry(FormList::ListView3, std::string(interval.caption));
    }
}

// The list shows the stored text as it is; it is not checked against the disk.
void Form1::RestoreFolder(FormList list, std::string_view key) {
    std::string stored = GetSetting(settings_, key);
    if (!stored.empty()) {
        Folders(list).push_back(ListedFolder{stored, EnteredFolder(stored)});
        view_.AddEntry(list, stored);
    }
}

// A text that is no number gives two reports (the conversion, then the lookup of entry 0); a number outside the
// list gives one. Either way no entry is selected and the next tick reports the missing interval. Restoring is
// no click: the countdown reads the selection at its next tick.
void Form1::RestoreInterval() {
    int index = 0;
    Trap(Form1Step::ReadInterval, [&] { index = ToInteger16(GetSetting(settings_, "OftenIndex")); });
    Trap(Form1Step::SelectInterval, [&] {
        if (index < 1 || index > static_cast<int>(SyncIntervals().size())) {
            throw std::out_of_range("Index out of bounds");
        }
        interval_ = index - 1;
        view_.SelectEntry(FormList::ListView3, *interval_);
    });
}

// Only "On" and "Off", exactly, are recognized; any other text leaves Auto Sync as the window was designed.
void Form1::RestoreAutoSync() {
    const std::optional<bool> on = ReadOnOffExactly(settings_, "StartStopState");
    if (on == false) {
        SetAutoSync(false);
        SetStatus(std::string(kTurnedOff));
    } else if (on == true) {
        SetAutoSync(true);
    }
}

// An emptied list is saved as empty text, so that a folder the user removed does not come back at the next start.
// Every close request is granted and handled alike, whatever its cause; a second one, as the end of the session
// may bring, finds the work done. The pass is asked to stop first, so that no tick, pass or report of it runs
// while the close request lets pending events run; a pass still inside a copy after a short wait is not waited
// for: the folders are saved, the icon taken down, and the process ends at once.
void Form1::Form_QueryUnload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    const bool passEnded = StopPass(kCloseWait);
    Guarded(procedure::kFormQueryUnload, [&] {
        const auto saveFirstEntry = [this](FormList list, std::string_view key) {
            const std::vector<ListedFolder>& folders = Folders(list);
            SaveSetting(settings_, key, folders.empty() ? std::string() : folders.front().shown);
        };
        Trap(Form1Step::SaveFolder1, [&] { saveFirstEntry(FormList::ListView1, "Folder 1"); });
        Trap(Form1Step::SaveFolder2, [&] { saveFirstEntry(FormList::ListView2, "Folder 2"); });
        Trap(Form1Step::TakeOutOfTray, [this] { cSysTray1_.setInTray(false); });
        ui_.ProcessPendingEvents();
        ui_.ProcessPendingEvents();
    });
    if (!passEnded && endAtOnce_) {
        endAtOnce_();
    }
    view_.EndProgram();
}

// ---- Folder lists ----

std::vector<Form1::ListedFolder>& Form1::Folders(FormList list) {
    return list == FormList::ListView1 ? folder1_ : folder2_;
}

void Form1::PushButton3_Click() {
    ChooseFolder(FormList::ListView1);
}

void Form1::PushButton1_Click() {
    ChooseFolder(FormList::ListView2);
}

void Form1::ListView1_DblClick(std::optional<int> selected) {
    Guarded(procedure::kListView1DblClick, [&] { RemoveSelectedFolder(FormList::ListView1, selected); });
}

void Form1::ListView2_DblClick(std::optional<int> selected) {
    Guarded(procedure::kListView2DblClick, [&] { RemoveSelectedFolder(FormList::ListView2, selected); });
}

// Delete and BackSpace remove the selected folder as a double-click does: the keyboard can change a folder too.
void Form1::ListView1_KeyDown(int keyCode, std::optional<int> selected) {
    if (keyCode == keys::kDelete || keyCode == keys::kBack) {
        ListView1_DblClick(selected);
    }
}

void Form1::ListView2_KeyDown(int keyCode, std::optional<int> selected) {
    if (keyCode == keys::kDelete || keyCode == keys::kBack) {
        ListView2_DblClick(selected);
    }
}

// Each list holds at most one folder: to replace it the user removes it first. The hourglass marks the window
// busy while the entry is added; a manual pass's hourglass stays up after.
void Form1::ChooseFolder(FormList list) {
    const bool first = list == FormList::ListView1;
    Guarded(first ? procedure::kPushButton3 : procedure::kPushButton1, [&] {
        if (!Folders(list).empty()) {
            boxes_.Inform(appTitle_, "You already have a folder selected.");
            return;
        }
        std::string chosen;
        Trap(first ? Form1Step::BrowseFolder1 : Form1Step::BrowseFolder2,
             [&] { chosen = chooser_.BrowseForFolder("Please select folder", std::string()); });
        if (chosen.empty()) {
            return;
        }
        const std::string folder = EnteredFolder(chosen);
        const std::string* other = ShownFolder(first ? FormList::ListView2 : FormList::ListView1);
        if (const std::string problem = first ? PairProblem(&folder, other) : PairProblem(other, &folder);
            !problem.empty()) {
            boxes_.Inform(appTitle_, problem + ".\n\nA pass would copy the files of one into the other, again at "
                                               "every pass. Choose two folders that lie apart.");
            return;
        }
        Trap(first ? Form1Step::SaveLastFolder1 : Form1Step::SaveLastFolder2,
             [&] { SaveSetting(settings_, "LastFolder", chosen); });
        const bool wasBusy = busy_;
        SetBusy(true);
        Trap(first ? Form1Step::AddFolder1 : Form1Step::AddFolder2, [&] {
            Folders(list).push_back(ListedFolder{folder, folder});
            view_.AddEntry(list, folder);
            PairChanged();
        });
        SetBusy(wasBusy);
    });
}

// A new pair is judged at its next pass; the old pair's refusal no longer stands.
void Form1::PairChanged() {
    Trap(Form1Step::WatchPair, [this] { UpdateWatch(); });
    if (pairRefusal_.empty()) {
        return;
    }
    if (status_ == pairRefusal_) {
        SetStatus(std::string(kNextSync));
    }
    pairRefusal_.clear();
}

const std::string* Form1::ShownFolder(FormList list) {
    const std::vector<ListedFolder>& folders = Folders(list);
    return folders.empty() ? nullptr : &folders.front().shown;
}

bool Form1::RefusePair() {
    const std::string problem = PairProblem(ShownFolder(FormList::ListView1), ShownFolder(FormList::ListView2));
    pairRefusal_ = problem.empty() ? std::string() : "No sync: " + problem + ".";
    if (!pairRefusal_.empty()) {
        SetStatus(pairRefusal_);
    }
    return !pairRefusal_.empty();
}

void Form1::RemoveSelectedFolder(FormList list, std::optional<int> selected) {
    std::vector<ListedFolder>& folders = Folders(list);
    if (busy_ || !selected || *selected < 0 || *selected >= static_cast<int>(folders.size())) {
        return;
    }
    folders.erase(folders.begin() + *selected);
    view_.RemoveEntry(list, *selected);
    PairChanged();
}

// ---- What the window shows ----

void Form1::SetStatus(std::string text) {
    status_ = std::move(text);
    view_.SetStatus(status_);
}

// The button's caption says what a click will do; the timer ticks only while Auto Sync is on.
void Form1::SetAutoSync(bool on) {
    autoSyncOn_ = on;
    view_.SetAutoSyncCaption(std::string(on ? kTurnOff : kTurnOn));
    if (on) {
        timer1_.Start(1000);
    } else {
        timer1_.Stop();
    }
    if (!formLoading_) {
        Trap(Form1Step::WatchPair, [this] { UpdateWatch(); });
    }
}

void Form1::SetBusy(bool busy) {
    busy_ = busy;
    view_.SetMousePointer(busy ? MousePointer::Hourglass : MousePointer::Default);
}

} // namespace quillmere
