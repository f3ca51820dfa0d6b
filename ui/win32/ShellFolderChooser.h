// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/FolderChooser.h"

#include <windows.h>

namespace quillmere::win32 {

// The shell's folder browser (SHBrowseForFolderW), modal over its owner: the prompt above the folder tree, only
// file-system folders confirmable, the start folder selected when the dialog opens. Needs COM on the calling
// thread. Paths beyond the classic 260 characters come back whole.
class ShellFolderChooser final : public FolderChooser {
public:
    explicit ShellFolderChooser(HWND owner) : owner_(owner) {}
    std::string BrowseForFolder(const std::string& prompt, const std::string& startFolder) override;

private:
    HWND owner_;
};

// The browser's callback: when the dialog opens it selects the start folder whose text data points to (an empty
// text selects nothing). Every message is answered with 0.
int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM parameter, LPARAM data);

} // namespace quillmere::win32
