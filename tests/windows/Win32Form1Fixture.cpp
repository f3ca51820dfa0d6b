// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/windows/Win32Form1Fixture.h"

#include "platform/windows/WideText.h"
#include "ui/main/AccessKeys.h"
#include "ui/win32/WindowText.h"

#include <commctrl.h>

namespace quillmere::test {

RegistrySettingsFixture::RegistrySettingsFixture()
    : keyPath_(L"Software\\QuillmereTest" + std::to_wstring(GetCurrentProcessId())),
      settings_(HKEY_CURRENT_USER, keyPath_) {}

RegistrySettingsFixture::~RegistrySettingsFixture() {
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
}

Win32Form1Fixture::~Win32Form1Fixture() {
    attachment_.reset();
    form_.reset();
}

win32::Win32Form1& Win32Form1Fixture::Load() {
    attachment_.reset();
    form_.reset(); // the window before takes its icon down first
    window_ = std::make_unique<win32::Win32Form1>();
    window_->SetEndHandler([this] { ++ended_; });
    auto tray = std::make_unique<tray::testing::FakeTrayBackend>(trayLog_);
    tray->available = trayAvailable_;
    tray_ = tray.get();
    form_ = std::make_unique<Form1>(Form1Services{
        *window_, settings_, chooser_, boxes_, ui_, runner_, window_->Timer1(), window_->ManualHold(), startup_,
        std::move(tray), pass_, [] { return 0.5; }, [](const std::string& page) { ADD_FAILURE() << "opened " << page; },
        [] { return std::string("now"); }, programFolder_.path(), EndAtOnce(), ""});
    attachment_.emplace(window_->Attach(*form_));
    form_->Form_Load();
    return *window_;
}

void Win32Form1Fixture::Click(win32::Control control) const {
    SendMessageW(Item(control), BM_CLICK, 0, 0);
}

void Win32Form1Fixture::Select(win32::Control list, int index) const {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(Item(list), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
}

RECT Win32Form1Fixture::EntryPlace(win32::Control list, int index) const {
    RECT place{};
    place.left = LVIR_BOUNDS;
    SendMessageW(Item(list), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&place));
    return place;
}

void Win32Form1Fixture::DoubleClick(win32::Control list, POINT where) const {
    const LPARAM point = MAKELPARAM(where.x, where.y);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(Item(list), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
}

void Win32Form1Fixture::Notify(win32::Control list, UINT code, int index) const {
    if (index >= 0)
        Select(list, index);
    NMITEMACTIVATE notice{};
    notice.hdr.hwndFrom = Item(list);
    notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Item(list)));
    notice.hdr.code = code;
    notice.iItem = index;
    SendMessageW(window_->Handle(), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

void Win32Form1Fixture::Tick(win32::Win32Timer& timer) const {
    SendMessageW(window_->Handle(), WM_TIMER, timer.Id(), 0);
}

std::wstring WindowTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring Win32Form1Fixture::Caption(win32::Control control) const {
    const std::string caption = platform::windows::ToUtf8(Text(control)).value_or(std::string());
    return win32::WindowText(ShownCaption(caption));
}

std::vector<std::wstring> Win32Form1Fixture::Entries(win32::Control list) const {
    std::vector<std::wstring> entries;
    const auto count = SendMessageW(Item(list), LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(Item(list), LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        entries.emplace_back(text);
    }
    return entries;
}

std::optional<int> Win32Form1Fixture::Selected(win32::Control list) const {
    const auto index =
        static_cast<int>(SendMessageW(Item(list), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

} // namespace quillmere::test
