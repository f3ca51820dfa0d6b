// SPDX-License-Identifier: GPL-3.0-or-later
// Making the window: the window class, its controls as the design lists them, the font, the sizes at the
// window's dots per inch, and the progress bar's text.
#include "ui/win32/Win32Form1.h"

#include "tray/win32/ProgramIcons.h"
#include "ui/main/AccessKeys.h"
#include "ui/main/Form1Design.h"
#include "ui/win32/WindowClass.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>

namespace quillmere::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"QuillmereForm1";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kFirstControlId = 100; // clear of IDOK and IDCANCEL, which the dialog keys send
constexpr int kFontPoints = 9;

struct ClassAndStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
};

ClassAndStyle ClassOf(ControlKind kind, bool firstOfGroup) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
    case ControlKind::Frame:
        return {WC_BUTTONW, child | BS_GROUPBOX, 0};
    case ControlKind::OptionButton:
        return {WC_BUTTONW, child | WS_TABSTOP | BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP : 0), 0};
    case ControlKind::PushButton:
        return {WC_BUTTONW, child | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox:
        return {WC_BUTTONW, child | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0};
    case ControlKind::List:
        return {WC_LISTVIEWW,
                child | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                WS_EX_CLIENTEDGE};
    case ControlKind::Text:
        return {WC_STATICW, child | SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::ProgressBar:
        break;
    }
    return {PROGRESS_CLASSW, child, 0};
}

// The design text with its access key marked.
std::wstring CaptionOf(const ControlDesign& design) {
    return WindowText(WithAccessKey(design.text));
}

} // namespace

void InitCommonControlsForForm1() {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                                         ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

HWND Win32Form1::MakeWindow() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass = ProgramWindowClass(kWindowClass, &WindowProc);
        windowClass.hIcon = tray::PictureIcon(tray::Picture::ProgramIcon);
        windowClass.hIconSm = tray::PictureIcon(tray::Picture::TrayIcon);
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    return CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"", kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void Win32Form1::CreateControls() {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDesign& design = DesignOf(static_cast<Control>(i));
        const ClassAndStyle kind = ClassOf(design.kind, design.control == Control::Option1);
        const std::wstring caption = CaptionOf(design);
        items_[i] = CreateWindowExW(kind.extendedStyle, kind.windowClass, caption.c_str(), kind.style, 0, 0, 0, 0,
                                    window_, reinterpret_cast<HMENU>(kFirstControlId + i), GetModuleHandleW(nullptr),
                                    nullptr);
    }
    SendMessageW(Item(Control::Option1), BM_SETCHECK, BST_CHECKED, 0); // both directions, as designed
    for (Control list : {Control::ListView1, Control::ListView2, Control::ListView3}) {
        SendMessageW(Item(list), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        SendMessageW(Item(list), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(Item(Control::ProgressBar1), PBM_SETRANGE32, 0, 100);
    SetWindowSubclass(Item(Control::ProgressBar1), &ProgressBarProc, 0, reinterpret_cast<DWORD_PTR>(this));
    for (Control list : {Control::ListView1, Control::ListView2})
        SetWindowSubclass(Item(list), &FolderListProc, 0, reinterpret_cast<DWORD_PTR>(this));
    ShowWindow(Item(Control::PushButton14), SW_HIDE); // until a pass leaves something undone
    ShowWindow(Item(Control::Label1), SW_HIDE);       // until a watched folder cannot be trusted
    AddFolderListTips();
    ApplyDpi(static_cast<int>(GetDpiForWindow(window_)));
}

void Win32Form1::AddFolderListTips() {
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                            0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    std::wstring tip = WindowText(std::string(form1_design::kFolderListTip));
    for (Control list : {Control::ListView1, Control::ListView2}) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(Item(list));
        tool.lpszText = tip.data();
        SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// What the lists' header and rows measure in the window's font: a sample row is added and taken away again.
Metrics Win32Form1::Measure(int dpi) const {
    Metrics metrics;
    metrics.dpi = dpi;
    metrics.scrollBarWidth = GetSystemMetricsForDpi(SM_CXVSCROLL, static_cast<UINT>(dpi));
    const HWND list = Item(Control::ListView1);
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    metrics.listHeaderHeight = header.bottom - header.top;
    LVITEMW sample{};
    sample.mask = LVIF_TEXT;
    sample.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    sample.pszText = const_cast<wchar_t*>(L"Sample");
    const auto index = static_cast<WPARAM>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&sample)));
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
    SendMessageW(list, LVM_DELETEITEM, index, 0);
    metrics.listRowHeight = row.bottom - row.top;
    return metrics;
}

// Arial at its size in points, the columns at their width in twips, and every control where the layout puts it.
void Win32Form1::ApplyDpi(int dpi) {
    const HFONT old = font_;
    font_ = CreateFontW(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (HWND item : items_)
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    failureList_.SetFont(font_);
    if (old != nullptr)
        DeleteObject(old);
    for (Control list : {Control::ListView1, Control::ListView2, Control::ListView3})
        SendMessageW(Item(list), LVM_SETCOLUMNWIDTH, 0, form1_design::ListColumnWidth(dpi));

    const Layout layout = LayOut(Measure(dpi));
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const RECT& place = layout.places[i];
        MoveWindow(items_[i], place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
    }
    RECT frame{0, 0, layout.client.cx, layout.client.cy};
    AdjustWindowRectExForDpi(&frame, kFormStyle, FALSE, WS_EX_CONTROLPARENT, static_cast<UINT>(dpi));
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The bar as the system draws it, then its text over it, centred; drawn off screen first, so it never flickers.
void Win32Form1::PaintProgressBar(HWND bar) {
    PAINTSTRUCT paint;
    const HDC screen = BeginPaint(bar, &paint);
    RECT client;
    GetClientRect(bar, &client);
    const HDC drawing = CreateCompatibleDC(screen);
    const HBITMAP picture = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ oldPicture = SelectObject(drawing, picture);
    DefSubclassProc(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawing), PRF_CLIENT | PRF_ERASEBKGND);
    const HGDIOBJ oldFont = SelectObject(drawing, font_);
    SetBkMode(drawing, TRANSPARENT);
    SetTextColor(drawing, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(drawing, progressText_.c_str(), static_cast<int>(progressText_.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    BitBlt(screen, 0, 0, client.right, client.bottom, drawing, 0, 0, SRCCOPY);
    SelectObject(drawing, oldFont);
    SelectObject(drawing, oldPicture);
    DeleteObject(picture);
    DeleteDC(drawing);
    EndPaint(bar, &paint);
}

LRESULT CALLBACK Win32Form1::ProgressBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                             DWORD_PTR data) {
    switch (message) {
    case WM_PAINT:
        reinterpret_cast<Win32Form1*>(data)->PaintProgressBar(bar);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers it all
    case WM_NCDESTROY:
        RemoveWindowSubclass(bar, &ProgressBarProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(bar, message, wParam, lParam);
}

} // namespace quillmere::win32
