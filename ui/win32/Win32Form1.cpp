// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/Win32Form1.h"

#include "tray/win32/ProgramIcons.h"
#include "ui/main/AccessKeys.h"
#include "ui/main/Form1.h"
#include "ui/main/Form1Design.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>
#include <windowsx.h>

#include <iterator>

namespace quillmere::win32 {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kManualHold = 2;

// The option buttons in the order of the design's directions.
constexpr Control kOptions[] = {Control::Option1, Control::Option2, Control::Option3};
static_assert(std::size(kOptions) == std::size(form1_design::kDirectionOptions));

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace

Win32Form1::Win32Form1()
    : window_(MakeWindow()), timer1_(window_, kTimer1), manualHold_(window_, kManualHold), failureList_(window_) {
    CreateControls();
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Form1::~Win32Form1() {
    logic_ = nullptr;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    DeleteObject(font_);
}

Win32Form1::Attachment Win32Form1::Attach(Form1& logic) {
    logic_ = &logic;
    timer1_.SetHandler([this] { Forward([](Form1& form) { form.Timer1_Timer(); }); });
    manualHold_.SetHandler([this] { Forward([](Form1& form) { form.ManualHold_Timer(); }); });
    return Attachment(*this);
}

LRESULT CALLBACK Win32Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<Win32Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form != nullptr ? form->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (const auto control = ControlOf(reinterpret_cast<HWND>(lParam)); control && HIWORD(wParam) == BN_CLICKED)
            Clicked(*control);
        return 0;
    case WM_NOTIFY:
        Notified(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_TIMER:
        for (Win32Timer* timer : {&timer1_, &manualHold_})
            if (wParam == timer->Id())
                timer->Elapse();
        return 0;
    case WM_SIZE:
        Forward([&](Form1& form) { form.Form_Resize(wParam == SIZE_MINIMIZED); });
        return 0;
    // Every request to close runs the close request, a log-off or shutdown included, so the folders are saved.
    case WM_CLOSE:
        Close();
        return 0;
    case WM_QUERYENDSESSION:
        Close();
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            Close();
        return 0;
    case WM_SETCURSOR:
        if (HIWORD(lParam) == WM_MOUSEMOVE)
            MouseMoved(reinterpret_cast<HWND>(wParam));
        if (LOWORD(lParam) == HTCLIENT && ShowPointer())
            return TRUE;
        break;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, Background());
        return 1;
    }
    case WM_CTLCOLORSTATIC: // frames, option buttons and check boxes: the window's own colour
        SetBkColor(reinterpret_cast<HDC>(wParam), skinned_ ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(Background());
    case WM_DPICHANGED: {
        ApplyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

std::optional<Control> Win32Form1::ControlOf(HWND item) const {
    for (std::size_t i = 0; i < kControlCount; ++i)
        if (items_[i] == item && item != nullptr)
            return static_cast<Control>(i);
    return std::nullopt;
}

void Win32Form1::Clicked(Control control) {
    switch (control) {
    case Control::PushButton3:
        return Forward([](Form1& form) { form.PushButton3_Click(); });
    case Control::PushButton1:
        return Forward([](Form1& form) { form.PushButton1_Click(); });
    case Control::PushButton13:
        return Forward([](Form1& form) { form.PushButton13_Click(); });
    case Control::PushButton12:
        return Forward([](Form1& form) { form.PushButton12_Click(); });
    case Control::PushButton14:
        return Forward([](Form1& form) { form.PushButton14_Click(); });
    case Control::Check9:
        return Forward([this](Form1& form) { form.Check9_Click(IsChecked(Item(Control::Check9))); });
    case Control::Check10:
        return Forward([this](Form1& form) { form.Check10_Click(IsChecked(Item(Control::Check10))); });
    case Control::Check11:
        return Forward([this](Form1& form) { form.Check11_Click(IsChecked(Item(Control::Check11))); });
    case Control::Check12:
        return Forward([this](Form1& form) { form.Check12_Click(IsChecked(Item(Control::Check12))); });
    default:
        break;
    }
    for (std::size_t i = 0; i < std::size(kOptions); ++i)
        if (control == kOptions[i] && IsChecked(Item(control)))
            Forward([i](Form1& form) { form.Options_Click(form1_design::kDirectionOptions[i].direction); });
}

// A click on the interval list, or a change of its selection by keyboard, takes the interval; the logic's own
// selection is no click. A key pressed in a folder list goes to the logic, which knows the keys that remove.
void Win32Form1::Notified(const NMHDR& notice) {
    if (notice.code == LVN_KEYDOWN)
        FolderListKeyDown(notice.hwndFrom, reinterpret_cast<const NMLVKEYDOWN*>(&notice)->wVKey);
    if (notice.hwndFrom != Item(Control::ListView3) || quietSelection_)
        return;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(&notice);
    const bool selected = notice.code == LVN_ITEMCHANGED && (change->uChanged & LVIF_STATE) &&
                          (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
    if (notice.code == NM_CLICK || selected)
        Forward([this](Form1& form) { form.ListView3_Click(SelectedIndex(Control::ListView3)); });
}

// A double-click anywhere in a folder list removes its selected entry, whether on the entry or beside it.
void Win32Form1::FolderListDoubleClicked(HWND list) {
    if (list == Item(Control::ListView1))
        Forward([this](Form1& form) { form.ListView1_DblClick(SelectedIndex(Control::ListView1)); });
    else
        Forward([this](Form1& form) { form.ListView2_DblClick(SelectedIndex(Control::ListView2)); });
}

void Win32Form1::FolderListKeyDown(HWND list, WORD key) {
    if (list == Item(Control::ListView1))
        Forward([&](Form1& form) { form.ListView1_KeyDown(key, SelectedIndex(Control::ListView1)); });
    else if (list == Item(Control::ListView2))
        Forward([&](Form1& form) { form.ListView2_KeyDown(key, SelectedIndex(Control::ListView2)); });
}

// A list view takes a press beside its entries as a wish to select none, so the first click of a double-click
// there would leave nothing to remove: such a press is swallowed, and the double-click goes to the logic alone.
LRESULT CALLBACK Win32Form1::FolderListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                            DWORD_PTR data) {
    switch (message) {
    case WM_LBUTTONDBLCLK:
        reinterpret_cast<Win32Form1*>(data)->FolderListDoubleClicked(list);
        return 0;
    case WM_LBUTTONDOWN: {
        LVHITTESTINFO hit{};
        hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0)
            break;
        SetFocus(list); // as the press would have
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, &FolderListProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

// Mouse moves over the push buttons, the window, its frames and its lists go to the logic, which decides the
// pointer. A frame lets the mouse through to the window, so the window finds which frame lies under it.
void Win32Form1::MouseMoved(HWND over) {
    std::optional<Control> control = ControlOf(over);
    if (!control && over != window_)
        control = ControlOf(GetParent(over)); // a list's header
    if (over == window_) {
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(window_, &point);
        control = ControlOf(ChildWindowFromPointEx(window_, point, CWP_SKIPINVISIBLE));
    }
    const MoveReport report = control ? DesignOf(*control).move : MoveReport::Plain;
    if (report == MoveReport::None)
        return;
    const std::string name = control ? DesignOf(*control).name : "Form";
    const PointerArea area = report == MoveReport::Button ? PointerArea::Button : PointerArea::Plain;
    Forward([&](Form1& form) { form.MouseMove(name, area); });
}

// The window's pointer setting holds over all its controls; the default leaves each control its own.
bool Win32Form1::ShowPointer() const {
    switch (pointer_) {
    case MousePointer::Hourglass:
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return true;
    case MousePointer::Custom:
        SetCursor(handCursor_ ? handCursor_.get() : LoadCursorW(nullptr, IDC_HAND));
        return true;
    case MousePointer::Default:
        break;
    }
    return false;
}

void Win32Form1::Close() {
    if (logic_ != nullptr)
        logic_->Form_QueryUnload();
    else
        EndProgram();
}

HBRUSH Win32Form1::Background() const {
    return GetSysColorBrush(skinned_ ? COLOR_BTNFACE : COLOR_WINDOW);
}

HWND Win32Form1::List(FormList list) const {
    switch (list) {
    case FormList::ListView1:
        return Item(Control::ListView1);
    case FormList::ListView2:
        return Item(Control::ListView2);
    case FormList::ListView3:
        break;
    }
    return Item(Control::ListView3);
}

HWND Win32Form1::Box(FormCheckBox box) const {
    switch (box) {
    case FormCheckBox::Check9:
        return Item(Control::Check9);
    case FormCheckBox::Check10:
        return Item(Control::Check10);
    case FormCheckBox::Check11:
        return Item(Control::Check11);
    case FormCheckBox::Check12:
        break;
    }
    return Item(Control::Check12);
}

std::optional<int> Win32Form1::SelectedIndex(Control list) const {
    const auto index =
        static_cast<int>(SendMessageW(Item(list), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

// A frame's caption is drawn over what lay there before: a shorter one would leave the old text's end behind.
void Win32Form1::RedrawFrame(Control frame) {
    RECT place;
    GetWindowRect(Item(frame), &place);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
    RedrawWindow(window_, &place, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- Form1View ----

void Win32Form1::SetCaption(const std::string& caption) {
    SetWindowTextW(window_, WindowText(caption).c_str());
}

// The large sizes for the task switcher, the small one for the caption and the taskbar.
void Win32Form1::SetProgramIcon() {
    SendMessageW(window_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(tray::PictureIcon(tray::Picture::ProgramIcon)));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(tray::PictureIcon(tray::Picture::TrayIcon)));
}

// Windows names a program by its window's caption and its file's version resource; the title has nowhere else
// to go.
void Win32Form1::SetApplicationTitle(const std::string& /*title*/) {}

void Win32Form1::ApplySkin(const std::string& programFolder) {
    skinned_ = SkinPresent(programFolder);
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Form1::LoadHandCursor(const std::string& programFolder) {
    handCursor_ = win32::LoadHandCursor(programFolder);
}

// Shown at once when the mouse is over the window, not only at its next move.
void Win32Form1::SetMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    POINT point;
    GetCursorPos(&point);
    const HWND under = WindowFromPoint(point);
    if ((under == window_ || IsChild(window_, under)) && !ShowPointer())
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void Win32Form1::Show() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

void Win32Form1::ShowMinimized() {
    ShowWindow(window_, SW_SHOWMINIMIZED);
}

// A hidden window leaves the taskbar too. It keeps its minimized state; Restore brings it back normal.
void Win32Form1::Hide() {
    ShowWindow(window_, SW_HIDE);
}

void Win32Form1::Restore() {
    ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
}

void Win32Form1::EndProgram() {
    ShowWindow(window_, SW_HIDE);
    if (ended_)
        ended_();
}

void Win32Form1::SetColumnHeader(FormList list, const std::string& text) {
    std::wstring header = WindowText(text);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = header.data();
    SendMessageW(List(list), LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(List(list), LVM_SETCOLUMNWIDTH, 0,
                 form1_design::ListColumnWidth(static_cast<int>(GetDpiForWindow(window_))));
}

void Win32Form1::AddEntry(FormList list, const std::string& text) {
    std::wstring entry = WindowText(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageW(List(list), LVM_GETITEMCOUNT, 0, 0));
    item.pszText = entry.data();
    SendMessageW(List(list), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32Form1::RemoveEntry(FormList list, int index) {
    SendMessageW(List(list), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void Win32Form1::SelectEntry(FormList list, int index) {
    quietSelection_ = true;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(list), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
    SendMessageW(List(list), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    quietSelection_ = false;
}

void Win32Form1::SetAutoSyncCaption(const std::string& caption) {
    SetWindowTextW(Item(Control::PushButton13), WindowText(WithAccessKey(caption)).c_str());
}

void Win32Form1::SetStatus(const std::string& text) {
    SetWindowTextW(Item(Control::Frame2), WindowText(text).c_str());
    RedrawFrame(Control::Frame2);
}

void Win32Form1::SetProgressMaximum(int maximum) {
    SendMessageW(Item(Control::ProgressBar1), PBM_SETRANGE32, 0, maximum);
}

void Win32Form1::SetProgressValue(int value) {
    SendMessageW(Item(Control::ProgressBar1), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void Win32Form1::SetProgressText(const std::string& text) {
    progressText_ = WindowText(text);
    InvalidateRect(Item(Control::ProgressBar1), nullptr, TRUE);
}

// Hidden, the note keeps its place: the window does not change size when it comes and goes.
void Win32Form1::SetFailureNote(const std::string& text) {
    SetWindowTextW(Item(Control::PushButton14), WindowText(WithAccessKey(text)).c_str());
    ShowWindow(Item(Control::PushButton14), text.empty() ? SW_HIDE : SW_SHOW);
}

void Win32Form1::SetWatchNote(const std::string& text) {
    SetWindowTextW(Item(Control::Label1), WindowText(text).c_str());
    ShowWindow(Item(Control::Label1), text.empty() ? SW_HIDE : SW_SHOW);
}

void Win32Form1::ShowFailureList(const std::string& title, const std::vector<std::string>& lines) {
    failureList_.Show(title, lines);
}

void Win32Form1::SetChecked(FormCheckBox box, bool checked) {
    SendMessageW(Box(box), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Form1::SetVisible(FormCheckBox box, bool visible) {
    ShowWindow(Box(box), visible ? SW_SHOW : SW_HIDE);
}

} // namespace quillmere::win32
