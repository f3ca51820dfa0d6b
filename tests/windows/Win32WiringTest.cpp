// SPDX-License-Identifier: GPL-3.0-or-later
// The Win32 window is wiring and drawing only: each control's notification reaches its handler in the logic, and
// each view call reaches its control. The behaviour itself is tested against the logic in tests/ui.
#include "tests/windows/Win32Form1Fixture.h"

#include "tray/TrayMessages.h"

#include <commctrl.h>

#include <cstdlib>

namespace quillmere::test {
namespace {

using win32::Control;

const std::wstring kNext = L"Next sync will occur in ";

class Win32WiringTest : public Win32Form1Fixture {
protected:
    void SetUp() override {
        Store("OftenIndex", "1"); // every 5 seconds
        Load();
    }
    bool Checked(Control box) const { return SendMessageW(Item(box), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::wstring Header(Control list) const {
        wchar_t text[128] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 128;
        SendMessageW(Item(list), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        return text;
    }
};

TEST_F(Win32WiringTest, TheLoadStepFillsTheControls) {
    wchar_t caption[64] = {};
    GetWindowTextW(window_->Handle(), caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Quillmere");
    EXPECT_NE(SendMessageW(window_->Handle(), WM_GETICON, ICON_BIG, 0), 0) << "the program icon";
    EXPECT_EQ(Header(Control::ListView1), L"Folder 1");
    EXPECT_EQ(Header(Control::ListView3), L"How often would you like to sync?");
    ASSERT_EQ(Entries(Control::ListView3).size(), 15u);
    EXPECT_EQ(Entries(Control::ListView3)[14], L"Sync every 24 hours");
    EXPECT_EQ(Selected(Control::ListView3), 0);
    EXPECT_EQ(Stored("OftenIndex"), "1") << "restoring the selection is no click";
    EXPECT_EQ(Caption(Control::PushButton13), L"Turn Off Auto Sync");
    EXPECT_EQ(Text(Control::Frame2), kNext);
    EXPECT_EQ(window_->ProgressText(), L"Progress Bar");
    EXPECT_TRUE(window_->Timer1().IsActive());
    EXPECT_EQ(window_->Timer1().Interval(), 1000);
    EXPECT_TRUE(Checked(Control::Option1));
    EXPECT_EQ(Caption(Control::Check10), L"Load this software on Windows startup");
}

TEST_F(Win32WiringTest, TicksReachTheCountdownAndItsViewCallsTheBar) {
    Tick(window_->Timer1());
    Tick(window_->Timer1());
    EXPECT_EQ(Text(Control::Frame2), kNext + L"00:00:03");
    EXPECT_EQ(SendMessageW(Item(Control::ProgressBar1), PBM_GETRANGE, FALSE, 0), 5);
    EXPECT_EQ(SendMessageW(Item(Control::ProgressBar1), PBM_GETPOS, 0, 0), 2);
}

TEST_F(Win32WiringTest, TheButtonsReachTheirHandlers) {
    Click(Control::PushButton13);
    EXPECT_EQ(Caption(Control::PushButton13), L"Turn On Auto Sync");
    EXPECT_FALSE(window_->Timer1().IsActive());
    EXPECT_EQ(Stored("StartStopState"), "Off");

    Click(Control::PushButton12);
    EXPECT_EQ(Text(Control::Frame2), L"Syncing up files...");
    EXPECT_EQ(window_->Pointer(), MousePointer::Hourglass);
    runner_.Finish();
    EXPECT_EQ(SendMessageW(Item(Control::ProgressBar1), PBM_GETPOS, 0, 0), 0);
    EXPECT_TRUE(window_->ManualHold().IsActive());
    EXPECT_EQ(window_->ManualHold().Interval(), 5000);
    Tick(window_->ManualHold());
    EXPECT_FALSE(window_->ManualHold().IsActive());
    EXPECT_EQ(Text(Control::Frame2), kNext);
}

TEST_F(Win32WiringTest, ChoosingAndRemovingAFolderGoesThroughItsList) {
    chooser_.answers = {"C:\\srv\\data", "D:\\"};
    Click(Control::PushButton3);
    Click(Control::PushButton1);
    EXPECT_EQ(Entries(Control::ListView1), std::vector<std::wstring>{L"C:\\srv\\data\\"});
    EXPECT_EQ(Entries(Control::ListView2), std::vector<std::wstring>{L"D:\\"});

    const RECT entry = EntryPlace(Control::ListView1, 0);
    DoubleClick(Control::ListView1, POINT{(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
    EXPECT_TRUE(Entries(Control::ListView1).empty());
    EXPECT_EQ(Entries(Control::ListView2).size(), 1u);
}

// The list view would take the first press beside the entry as a wish to select none.
TEST_F(Win32WiringTest, ADoubleClickBesideTheSelectedEntryRemovesItToo) {
    chooser_.answers = {"D:\\"};
    Click(Control::PushButton1);
    Select(Control::ListView2, 0);
    const RECT entry = EntryPlace(Control::ListView2, 0);
    DoubleClick(Control::ListView2,
                POINT{(entry.left + entry.right) / 2, entry.bottom + 2 * (entry.bottom - entry.top)});
    EXPECT_TRUE(Entries(Control::ListView2).empty());
}

// Delete and BackSpace in a folder list remove its selected folder, as a double-click does; other keys do not.
TEST_F(Win32WiringTest, DeleteOrBackSpaceInAFolderListRemovesItsSelectedFolder) {
    chooser_.answers = {"C:\\one", "D:\\"};
    Click(Control::PushButton3);
    Click(Control::PushButton1);
    const auto press = [this](Control list, WPARAM key) { SendMessageW(Item(list), WM_KEYDOWN, key, 0); };
    Select(Control::ListView2, 0);
    press(Control::ListView2, 'A');
    press(Control::ListView2, VK_RETURN);
    EXPECT_EQ(Entries(Control::ListView2).size(), 1u);
    press(Control::ListView2, VK_DELETE);
    EXPECT_TRUE(Entries(Control::ListView2).empty());
    EXPECT_EQ(Entries(Control::ListView1).size(), 1u);
    Select(Control::ListView1, 0);
    press(Control::ListView1, VK_BACK);
    EXPECT_TRUE(Entries(Control::ListView1).empty());
}

// A click, and a change of the selection by keyboard, both take the interval.
TEST_F(Win32WiringTest, ClickingOrSelectingAnIntervalRestartsTheCount) {
    Tick(window_->Timer1());
    Notify(Control::ListView3, NM_CLICK, 1);
    EXPECT_EQ(Stored("OftenIndex"), "2");
    Tick(window_->Timer1());
    EXPECT_EQ(Text(Control::Frame2), kNext + L"00:00:09");

    Select(Control::ListView3, 2);
    EXPECT_EQ(Stored("OftenIndex"), "3");
}

// A Ctrl+click on the selected interval clears the selection and clicks: the logic puts it back.
TEST_F(Win32WiringTest, AClickThatClearsTheIntervalsSelectionLeavesItChosen) {
    Notify(Control::ListView3, NM_CLICK, 2);
    LVITEMW cleared{};
    cleared.stateMask = LVIS_SELECTED;
    SendMessageW(Item(Control::ListView3), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&cleared));
    Notify(Control::ListView3, NM_CLICK);
    EXPECT_EQ(Selected(Control::ListView3), 2);
    EXPECT_EQ(Stored("OftenIndex"), "3");
}

TEST_F(Win32WiringTest, TheChosenOptionIsTheDirectionOfTheNextPass) {
    StorePair();
    Load();
    const std::pair<Control, SyncDirection> options[] = {{Control::Option3, SyncDirection::Folder2ToFolder1},
                                                         {Control::Option2, SyncDirection::Folder1ToFolder2},
                                                         {Control::Option1, SyncDirection::BothWays}};
    for (const auto& [option, expected] : options) {
        Click(option);
        Click(Control::PushButton12);
        runner_.Finish();
        Tick(window_->ManualHold());
        EXPECT_EQ(lastDirection_, expected) << win32::DesignOf(option).name;
    }
}

TEST_F(Win32WiringTest, TheStartupBoxesReachTheirHandlers) {
    Click(Control::Check10);
    EXPECT_EQ(Stored("Windows Startup"), "On");
    Click(Control::Check9);
    EXPECT_EQ(Stored("Minimized"), "On");

    Click(Control::Check10);
    EXPECT_FALSE(Checked(Control::Check9));
    EXPECT_FALSE(Shown(Control::Check9));
    EXPECT_EQ(Stored("Minimized"), "Off");
    EXPECT_EQ(startup_.calls, (std::vector<std::string>{"add", "remove"}));
}

TEST_F(Win32WiringTest, TheKeepReplacedBoxReachesItsHandlerAndThePass) {
    StorePair();
    Load();
    EXPECT_TRUE(Checked(Control::Check11));
    Click(Control::Check11);
    EXPECT_EQ(Stored("Keep Replaced"), "Off");
    Click(Control::PushButton12);
    runner_.Finish();
    EXPECT_FALSE(lastOptions_.keepReplaced);
}

TEST_F(Win32WiringTest, TheSyncOnChangeBoxReachesItsHandler) {
    EXPECT_FALSE(Checked(Control::Check12));
    Click(Control::Check12);
    EXPECT_EQ(Stored("Sync On Change"), "On");
    Click(Control::Check12);
    EXPECT_EQ(Stored("Sync On Change"), "Off");
}

TEST_F(Win32WiringTest, TheWatchNoteShowsOnlyWithAText) {
    EXPECT_FALSE(Shown(Control::Label1));
    window_->SetWatchNote("Changes on Folder 2 are found by the timed pass only: a network folder");
    EXPECT_TRUE(Shown(Control::Label1));
    EXPECT_EQ(Text(Control::Label1), L"Changes on Folder 2 are found by the timed pass only: a network folder");
    window_->SetWatchNote("");
    EXPECT_FALSE(Shown(Control::Label1));
}

// The note shows only while the logic gives it a text.
TEST_F(Win32WiringTest, TheFailureNoteShowsOnlyWithAText) {
    EXPECT_FALSE(Shown(Control::PushButton14));
    window_->SetFailureNote("3 files not copied");
    EXPECT_TRUE(Shown(Control::PushButton14));
    EXPECT_EQ(Text(Control::PushButton14), L"3 files not copied");
    window_->SetFailureNote("");
    EXPECT_FALSE(Shown(Control::PushButton14));
}

// The list is a window of its own above the main one, to read only; shown again, it holds what it was given last,
// and closed, it waits to be shown again.
TEST_F(Win32WiringTest, TheFailureListShowsWhatItWasGivenLast) {
    const win32::FailureListWindow& list = window_->FailureList();
    window_->ShowFailureList("first", {"one"});
    window_->ShowFailureList("second", {"two", "three"});
    EXPECT_TRUE(IsWindowVisible(list.Handle()));
    EXPECT_EQ(GetWindow(list.Handle(), GW_OWNER), window_->Handle());
    EXPECT_EQ(WindowTextOf(list.Handle()), L"second");
    EXPECT_EQ(WindowTextOf(list.Lines()), L"two\r\nthree");
    EXPECT_TRUE(GetWindowLongW(list.Lines(), GWL_STYLE) & ES_READONLY);

    SendMessageW(list.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(list.Handle()));
    EXPECT_TRUE(IsWindow(list.Handle()));
}

TEST_F(Win32WiringTest, AClickOnTheFailureNoteListsWhatThePassLeftUndone) {
    pass_ = [](const SyncJob&, const SyncSettings&, SyncObserver& observer) {
        observer.NotRead("C:\\locked\\", "Access is denied");
        return SyncCounts{};
    };
    StorePair();
    Load();
    Click(Control::PushButton12);
    runner_.Finish();
    Tick(window_->ManualHold());
    EXPECT_TRUE(Shown(Control::PushButton14));
    Click(Control::PushButton14);
    EXPECT_TRUE(IsWindowVisible(window_->FailureList().Handle()));
    EXPECT_NE(WindowTextOf(window_->FailureList().Lines()).find(L"C:\\locked\\"), std::wstring::npos);
}

TEST_F(Win32WiringTest, MinimizingHidesTheWindowAndAReleaseOnTheIconBringsItBack) {
    form_->ShowAfterLoad();
    ShowWindow(window_->Handle(), SW_MINIMIZE);
    EXPECT_TRUE(form_->MinimizedToTray());
    EXPECT_FALSE(IsWindowVisible(window_->Handle()));
    tray_->Deliver(tray::messages::kRightButtonUp);
    EXPECT_TRUE(IsWindowVisible(window_->Handle()));
    EXPECT_FALSE(IsIconic(window_->Handle()));
}

// The push buttons show the hand, the rest of the window the default pointer; a check box tells nothing.
TEST_F(Win32WiringTest, MouseMovesTellTheLogicWhatLiesUnderThePointer) {
    const auto moveOver = [this](HWND over) {
        SendMessageW(window_->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    moveOver(Item(Control::PushButton12));
    EXPECT_EQ(window_->Pointer(), MousePointer::Custom);
    moveOver(Item(Control::Check9));
    EXPECT_EQ(window_->Pointer(), MousePointer::Custom);
    moveOver(reinterpret_cast<HWND>(SendMessageW(Item(Control::ListView3), LVM_GETHEADER, 0, 0)));
    EXPECT_EQ(window_->Pointer(), MousePointer::Default);
}

// Every way Windows asks the window to close runs the close request: the close box, a log-off, a shutdown.
class Win32CloseTest : public Win32Form1Fixture, public ::testing::WithParamInterface<UINT> {};

TEST_P(Win32CloseTest, SavesTheFoldersTakesTheIconDownAndEndsTheProgram) {
    Store("Folder 1", "C:\\one\\");
    Load();
    chooser_.answers = {"C:\\two"};
    Click(Control::PushButton1);
    const LRESULT answer = SendMessageW(window_->Handle(), GetParam(), TRUE, 0);
    EXPECT_EQ(ended_, 1);
    EXPECT_EQ(Stored("Folder 1"), "C:\\one\\");
    EXPECT_EQ(Stored("Folder 2"), "C:\\two\\");
    EXPECT_FALSE(IconInTray());
    EXPECT_EQ(answer, GetParam() == WM_QUERYENDSESSION ? TRUE : 0) << "a session may end";
    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ended_, 1) << "the program ends once";
}

INSTANTIATE_TEST_SUITE_P(Requests, Win32CloseTest, ::testing::Values(WM_CLOSE, WM_QUERYENDSESSION, WM_ENDSESSION));

TEST_F(Win32Form1Fixture, AnEndOfSessionThatDidNotHappenEndsNothing) {
    Load();
    SendMessageW(window_->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(ended_, 0);
    EXPECT_TRUE(IconInTray());
}

// The skin file gives the window and its plain controls the button face; without it they keep the window colour.
TEST_F(Win32Form1Fixture, TheSkinFileGivesThePlainControlsTheButtonFace) {
    Load();
    const auto colourOf = [this](Control control) {
        const HDC dc = GetDC(Item(control));
        const auto brush = SendMessageW(window_->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(Item(control)));
        ReleaseDC(Item(control), dc);
        return reinterpret_cast<HBRUSH>(brush);
    };
    EXPECT_EQ(colourOf(Control::Check9), GetSysColorBrush(COLOR_WINDOW));
    testing::MakeFolder(programFolder_ / "x");
    testing::WriteText(programFolder_ / "x\\o.cjs", "QWidget { }");
    Load();
    EXPECT_EQ(colourOf(Control::Frame1), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(colourOf(Control::Option2), GetSysColorBrush(COLOR_BTNFACE));
}

// A move to a screen of another scale lays the controls out again at that scale, in a font of that scale. (The
// window itself may not grow beyond the screen, as the test's screen is small.)
TEST_F(Win32Form1Fixture, AnotherScaleLaysTheWindowOutAgain) {
    Load();
    const auto listWidth = [this] {
        RECT place;
        GetWindowRect(Item(Control::ListView1), &place);
        return place.right - place.left;
    };
    const auto fontHeight = [this] {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(Control::Frame2), WM_GETFONT, 0, 0)), sizeof font, &font);
        return std::abs(font.lfHeight);
    };
    const LONG widthAt96 = listWidth();
    const LONG fontAt96 = fontHeight();
    RECT suggested{0, 0, 2000, 1000};
    SendMessageW(window_->Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_GT(listWidth(), 19 * widthAt96 / 10);
    EXPECT_LT(listWidth(), 21 * widthAt96 / 10);
    EXPECT_EQ(fontHeight(), 2 * fontAt96);
}

} // namespace
} // namespace quillmere::test
