// SPDX-License-Identifier: GPL-3.0-or-later
// The window hook that lets the tray control hear the shell: the shell sends its notifications for the icon as
// TrayCallbackMessage to the control's window, whose procedure is replaced by TrayWindowProc. That procedure
// hands this one message to the control and passes every message, that one included, on to the procedure it
// replaced. One window at a time is hooked.
#pragma once

#include <windows.h>

namespace quillmere::tray {
class cSysTray;
}

namespace quillmere::tray::mSysTray {

inline constexpr UINT TrayCallbackMessage = WM_USER + 101;

// Replaces window's procedure and keeps the control's address in its user-data slot.
void Install(HWND window, cSysTray& control);
// Puts the replaced procedure back; the message no longer reaches the control.
void Remove(HWND window);

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace quillmere::tray::mSysTray
