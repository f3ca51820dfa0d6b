// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/win32/Win32TrayBackend.h"

#include "platform/windows/WideText.h"
#include "tray/win32/ProgramIcons.h"
#include "tray/win32/mSysTray.h"

#include <algorithm>

namespace quillmere::tray {

namespace {

constexpr wchar_t kWindowClass[] = L"QuillmereTrayWindow";
constexpr UINT_PTR kBalloonTimer = 1;
constexpr UINT_PTR kAreaTimer = 2;

// The control has cut the text to the field already; a text that is no UTF-8 shows as nothing.
template <std::size_t N> void CopyField(wchar_t (&field)[N], const std::wstring& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
    field[length] = L'\0';
}

std::wstring Wide(const std::string& text) {
    return platform::windows::ToWide(text).value_or(std::wstring());
}

void RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.cbWndExtra = sizeof(LONG_PTR); // the backend: the user-data slot is the hook's
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

BOOL Win32TrayBackend::CallShell(DWORD message, const NOTIFYICONDATAW& record) {
    NOTIFYICONDATAW copy = record;
    return Shell_NotifyIconW(message, &copy);
}

// A hidden top-level window, not a message-only one: only top-level windows hear the "TaskbarCreated" broadcast.
Win32TrayBackend::Win32TrayBackend(ShellNotify notify)
    : notify_(std::move(notify)), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    RegisterWindowClass(&WindowProc);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, 0, reinterpret_cast<LONG_PTR>(this));
}

Win32TrayBackend::~Win32TrayBackend() {
    KillTimer(window_, kBalloonTimer);
    KillTimer(window_, kAreaTimer);
    DestroyWindow(window_);
}

// The shell's own window holds the notification area.
bool Win32TrayBackend::Available() const {
    return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

void Win32TrayBackend::WatchAvailability(std::function<void()> changed) {
    availabilityChanged_ = std::move(changed);
}

bool Win32TrayBackend::IsIcon(Picture picture) const {
    return PictureIcon(picture) != nullptr;
}

void Win32TrayBackend::InstallHook(cSysTray& control) {
    mSysTray::Install(window_, control);
}

void Win32TrayBackend::RemoveHook(cSysTray& /*control*/) {
    mSysTray::Remove(window_);
}

NOTIFYICONDATAW Win32TrayBackend::Record(UINT flags) const {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = window_;
    record.uID = 0;
    record.uFlags = flags;
    if (flags & NIF_MESSAGE)
        record.uCallbackMessage = mSysTray::TrayCallbackMessage;
    if (flags & NIF_ICON)
        record.hIcon = PictureIcon(icon_);
    if (flags & NIF_TIP)
        CopyField(record.szTip, tip_);
    if (flags & NIF_INFO) {
        CopyField(record.szInfoTitle, balloonTitle_);
        CopyField(record.szInfo, balloonText_);
        record.uTimeout = balloonTimeout_;
    }
    return record;
}

// An add names the icon and the tip only when there are some.
UINT Win32TrayBackend::AddFlags() const {
    return NIF_MESSAGE | (icon_ != Picture::None ? NIF_ICON : 0) | (!tip_.empty() ? NIF_TIP : 0);
}

void Win32TrayBackend::Send(DWORD message, UINT flags) {
    notify_(message, Record(flags));
}

void Win32TrayBackend::AddIcon(Picture icon, const std::string& tip) {
    icon_ = icon;
    tip_ = Wide(tip);
    added_ = true;
    Send(NIM_ADD, AddFlags());
}

void Win32TrayBackend::ModifyIcon(Picture icon) {
    icon_ = icon;
    Send(NIM_MODIFY, NIF_ICON);
}

void Win32TrayBackend::ModifyTip(const std::string& tip) {
    tip_ = Wide(tip);
    Send(NIM_MODIFY, NIF_TIP);
}

void Win32TrayBackend::DeleteIcon() {
    added_ = false;
    Send(NIM_DELETE, 0);
}

void Win32TrayBackend::ShowBalloon(const std::string& title, const std::string& text, int timeoutMilliseconds) {
    balloonTitle_ = Wide(title);
    balloonText_ = Wide(text);
    balloonTimeout_ = static_cast<UINT>(timeoutMilliseconds);
    Send(NIM_MODIFY, NIF_INFO);
}

// A balloon change without title and text takes the balloon down.
void Win32TrayBackend::HideBalloon() {
    balloonTitle_.clear();
    balloonText_.clear();
    balloonTimeout_ = 0;
    Send(NIM_MODIFY, NIF_INFO);
}

void Win32TrayBackend::StartBalloonTimer(int milliseconds, std::function<void()> elapsed) {
    balloonElapsed_ = std::move(elapsed);
    SetTimer(window_, kBalloonTimer, static_cast<UINT>(milliseconds), nullptr);
}

void Win32TrayBackend::StopBalloonTimer() {
    KillTimer(window_, kBalloonTimer);
}

void Win32TrayBackend::StartAreaTimer(int milliseconds, std::function<void()> elapsed) {
    areaElapsed_ = std::move(elapsed);
    SetTimer(window_, kAreaTimer, static_cast<UINT>(milliseconds), nullptr);
}

// Each timer runs once, as the control asked.
void Win32TrayBackend::TimerElapsed(UINT_PTR timer) {
    KillTimer(window_, timer);
    const std::function<void()>& elapsed = timer == kBalloonTimer ? balloonElapsed_ : areaElapsed_;
    if (elapsed)
        elapsed();
}

void Win32TrayBackend::TaskbarCreated() {
    if (added_)
        Send(NIM_ADD, AddFlags());
    if (availabilityChanged_)
        availabilityChanged_();
}

// The procedure the hook passes every message on to.
LRESULT CALLBACK Win32TrayBackend::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* backend = reinterpret_cast<Win32TrayBackend*>(GetWindowLongPtrW(window, 0));
    if (backend != nullptr) {
        if (message == backend->taskbarCreated_ && message != 0) {
            backend->TaskbarCreated();
            return 0;
        }
        if (message == WM_TIMER && (wParam == kBalloonTimer || wParam == kAreaTimer)) {
            backend->TimerElapsed(wParam);
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace quillmere::tray
