// SPDX-License-Identifier: GPL-3.0-or-later
// The console's Ctrl-C and Ctrl-Break reach the program's stop handler, every time they come. They are delivered
// as the system delivers them: its CtrlRoutine, which a console runs on a new thread of the program at each press,
// calls the handlers in turn, the last one set first; the system's own, which ends the program, comes last.
#include "platform/StopSignals.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <csignal>

namespace quillmere::platform {
namespace {

std::atomic<int> gLastSignal{0};
std::atomic<int> gCount{0};

extern "C" void NoteSignal(int signalNumber) {
    gLastSignal.store(signalNumber);
    ++gCount;
}

std::atomic<int> gPassedOn{0};

extern "C" void EarlierHandler(int) {}

// Set before the stop handler: what the stop handler passes on comes here, not to the system's end of the program.
BOOL WINAPI CatchPassedOn(DWORD) {
    ++gPassedOn;
    return TRUE;
}

void PressOnConsole(DWORD event) {
    using Routine = DWORD(WINAPI*)(void*);
    const auto routine =
        reinterpret_cast<Routine>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CtrlRoutine"));
    ASSERT_NE(routine, nullptr);
    routine(reinterpret_cast<void*>(static_cast<ULONG_PTR>(event)));
}

struct ConsoleKey {
    const char* name;
    DWORD event;
    int signalNumber;
};

TEST(WindowsStopSignals, CtrlCAndCtrlBreakReachTheHandlerEachTimeTheyCome) {
    for (const ConsoleKey key : {ConsoleKey{"Ctrl-C", CTRL_C_EVENT, SIGINT},
                                 ConsoleKey{"Ctrl-Break", CTRL_BREAK_EVENT, SIGBREAK}}) {
        gLastSignal.store(0);
        gCount.store(0);
        gPassedOn.store(0);
        ASSERT_TRUE(SetConsoleCtrlHandler(CatchPassedOn, TRUE));
        const StopSignals stop(NoteSignal);
        // The second press comes while the program is still stopping: it must not end it.
        PressOnConsole(key.event);
        PressOnConsole(key.event);
        EXPECT_EQ(gLastSignal.load(), key.signalNumber) << key.name;
        EXPECT_EQ(gCount.load(), 2) << key.name;
        EXPECT_EQ(gPassedOn.load(), 0) << key.name << " went on to end the program";
        SetConsoleCtrlHandler(CatchPassedOn, FALSE);
    }
}

TEST(WindowsStopSignals, SigtermReachesTheHandlerAndTheEarlierOneComesBack) {
    const auto outside = std::signal(SIGTERM, EarlierHandler);
    {
        gLastSignal.store(0);
        const StopSignals stop(NoteSignal);
        ASSERT_EQ(std::raise(SIGTERM), 0);
        EXPECT_EQ(gLastSignal.load(), SIGTERM);
    }
    EXPECT_EQ(std::signal(SIGTERM, outside), &EarlierHandler);
}

} // namespace
} // namespace quillmere::platform
