// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/win32/ShellFolderChooser.h"

#include "platform/windows/WideText.h"
#include "ui/win32/WindowText.h"

#include <shlobj.h>

#include <algorithm>

namespace quillmere::win32 {

namespace {
// The longest path the system knows, in UTF-16 units with the NUL.
constexpr DWORD kLongestPath = 32768;
} // namespace

int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM /*parameter*/, LPARAM data) {
    const auto* startFolder = reinterpret_cast<const wchar_t*>(data);
    if (message == BFFM_INITIALIZED && startFolder != nullptr && *startFolder != L'\0')
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data); // TRUE: the data is a path, not an item list
    return 0;
}

// The start folder reaches the callback through the dialog's own data argument.
std::string ShellFolderChooser::BrowseForFolder(const std::string& prompt, const std::string& startFolder) {
    const std::wstring title = WindowText(prompt);
    const std::wstring start = WindowText(startFolder);
    BROWSEINFOW description{};
    description.hwndOwner = owner_;
    description.lpszTitle = title.c_str();
    description.ulFlags = BIF_RETURNONLYFSDIRS;
    description.lpfn = &BrowseCallbackProc;
    description.lParam = reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&description);
    if (chosen == nullptr)
        return {}; // cancelled
    std::wstring path(kLongestPath, L'\0');
    const BOOL resolved = SHGetPathFromIDListEx(chosen, path.data(), kLongestPath, GPFIDL_DEFAULT);
    CoTaskMemFree(chosen);
    if (!resolved)
        return {}; // an item without a file-system path
    path.resize(std::min(path.find(L'\0'), path.size()));
    return platform::windows::ToUtf8(path).value_or(std::string());
}

} // namespace quillmere::win32
