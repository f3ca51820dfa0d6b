// SPDX-License-Identifier: GPL-3.0-or-later
// The program as Windows runs it: the Win32 window, the Windows implementations of what the window logic asks
// of the world, and the logic itself, wired together around the thread's message loop.
#include "BuildValues.h"
#include "engine/modSync.h"
#include "startup/ProgramFile.h"
#include "tray/win32/Win32TrayBackend.h"
#include "ui/main/Form1.h"
#include "ui/main/HomePage.h"
#include "ui/main/StartupEntry.h"
#include "ui/main/ThreadPassRunner.h"
#include "ui/win32/RegistrySettingsStore.h"
#include "ui/win32/ShellFolderChooser.h"
#include "ui/win32/Win32Form1.h"
#include "ui/win32/Win32MessageBoxes.h"
#include "ui/win32/Win32System.h"
#include "ui/win32/Win32UiThread.h"

#include <objbase.h>

#include <memory>

namespace {

// Tab and the arrow keys move between the controls, as in a dialog.
int RunMessageLoop(HWND window) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int main() {
    using namespace quillmere;
    // The shell's folder browser needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    win32::InitCommonControlsForForm1();
    int status = 0;
    {
        win32::Win32Form1 window;
        win32::RegistrySettingsStore settings;
        win32::ShellFolderChooser chooser(window.Handle());
        win32::Win32MessageBoxes boxes(window.Handle());
        win32::Win32UiThread ui;
        ThreadPassRunner runner(ui);
        SystemStartupEntry startup;
        Form1 logic({window, settings, chooser, boxes, ui, runner, window.Timer1(), window.ManualHold(), startup,
                     std::make_unique<tray::Win32TrayBackend>(), SyncFolders, TimeOfDayFraction, win32::OpenUrl,
                     win32::LocalTimeText, startup::ProgramFolder(),
                     // Nothing more may run: the pass's thread may hold any lock of the run-time.
                     [] { TerminateProcess(GetCurrentProcess(), 0); }, build::kHomePage, WatchServices{}});
        const win32::Win32Form1::Attachment attachment = window.Attach(logic);
        window.SetEndHandler([] { PostQuitMessage(0); });
        logic.Form_Load();
        logic.ShowAfterLoad();
        status = RunMessageLoop(window.Handle());
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
