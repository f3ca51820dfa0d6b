// SPDX-License-Identifier: GPL-3.0-or-later
// Windows has no SIGHUP. The console's Ctrl-C and Ctrl-Break come to a handler of the console's own, on a thread
// the system starts for each: the C run-time's signal() would set its handler back to the default before calling
// it, so a second Ctrl-C would end the program at once, a copy cut off, and it leaves Ctrl-Break to end it so
// from the start. SIGTERM is raised only by the program itself, through the C run-time.
#include "platform/StopSignals.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <csignal>

namespace quillmere::platform {

namespace {

constexpr std::array kStopSignals{SIGINT, SIGBREAK, SIGTERM};
using SignalHandler = void (*)(int);

std::atomic<StopSignals::Handler> consoleHandler{nullptr};

// Ctrl-C started with the console's own ignoring of it (a program a shell started in the background) never comes
// here: the system keeps such a process's Ctrl-C from every handler.
BOOL WINAPI TakeConsoleEvent(DWORD event) {
    const StopSignals::Handler handler = consoleHandler.load();
    if (handler == nullptr || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)) {
        return FALSE;
    }
    handler(event == CTRL_C_EVENT ? SIGINT : SIGBREAK);
    return TRUE;
}

} // namespace

struct StopSignals::Earlier {
    SignalHandler terminate = SIG_DFL;
};

std::span<const int> StopSignalNumbers() {
    return kStopSignals;
}

StopSignals::StopSignals(Handler handler) : earlier_(std::make_unique<Earlier>()) {
    consoleHandler.store(handler);
    SetConsoleCtrlHandler(TakeConsoleEvent, TRUE);
    earlier_->terminate = std::signal(SIGTERM, handler);
    if (earlier_->terminate == SIG_IGN) {
        std::signal(SIGTERM, SIG_IGN);
    }
}

StopSignals::~StopSignals() {
    SetConsoleCtrlHandler(TakeConsoleEvent, FALSE);
    consoleHandler.store(nullptr);
    if (earlier_->terminate != SIG_ERR) {
        std::signal(SIGTERM, earlier_->terminate);
    }
}

} // namespace quillmere::platform
