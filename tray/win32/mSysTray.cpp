// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/win32/mSysTray.h"

#include "tray/cSysTray.h"

namespace quillmere::tray::mSysTray {

namespace {
// The procedure TrayWindowProc replaced: one for the whole program, as one window at a time is hooked.
WNDPROC PrevWndProc = nullptr;
} // namespace

void Install(HWND window, cSysTray& control) {
    // The slot holds the control's address for the procedure to find; it owns nothing.
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    PrevWndProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWindowProc)));
}

void Remove(HWND window) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevWndProc));
}

// Classic notifications: lParam holds the mouse action or balloon report, wParam the icon's identifier.
LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TrayCallbackMessage) {
        if (auto* control = reinterpret_cast<cSysTray*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            control->HandleTrayMessage(static_cast<int>(lParam), static_cast<int>(wParam));
    }
    return CallWindowProcW(PrevWndProc, window, message, wParam, lParam);
}

} // namespace quillmere::tray::mSysTray
