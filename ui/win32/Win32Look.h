// SPDX-License-Identifier: GPL-3.0-or-later
// The two optional files of the program's folder as native controls can use them. The skin file x\o.cjs (a Qt
// style sheet) cannot restyle the system's controls, which keep the system's visual style: its presence gives the
// window, its frames, option buttons and check boxes the system's button-face colour. HAND-M.CUR becomes the
// pointer over the push buttons.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace quillmere::win32 {

// True when the file's last change can be read, i.e. it names something that exists; never fails.
bool FileIsPresent(const std::wstring& path);

// folder, one backslash, name.
std::wstring InFolder(const std::string& folder, const wchar_t* name);

// Whether the skin file is there (a file, not a folder).
bool SkinPresent(const std::string& programFolder);

struct CursorDeleter {
    void operator()(HICON cursor) const { DestroyCursor(cursor); }
};
using OwnedCursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDeleter>;

// The hand pointer when its file is present, none without it. Throws std::runtime_error when the file is there
// but is no cursor.
OwnedCursor LoadHandCursor(const std::string& programFolder);

} // namespace quillmere::win32
