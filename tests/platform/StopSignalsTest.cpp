// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StopSignals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <string>

namespace quillmere::platform {
namespace {

std::atomic<int> gReceived{0};

extern "C" void NoteSignal(int signalNumber) {
    gReceived.store(signalNumber);
}

extern "C" void EarlierHandler(int) {}

// Each case sets the signal's handler as a test leaves it, and puts back what the test program had.
class StopSignalsTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        gReceived.store(0);
        ASSERT_EQ(::sigaction(GetParam(), nullptr, &outside_), 0);
    }
    void TearDown() override { ::sigaction(GetParam(), &outside_, nullptr); }
    void SetHandler(void (*handler)(int)) {
        struct sigaction action {};
        action.sa_handler = handler;
        ASSERT_EQ(::sigaction(GetParam(), &action, nullptr), 0);
    }
    void (*CurrentHandler() const)(int) {
        struct sigaction now {};
        ::sigaction(GetParam(), nullptr, &now);
        return now.sa_handler;
    }

    struct sigaction outside_ {};
};

TEST_P(StopSignalsTest, TheSignalReachesTheHandlerAndTheEarlierOneComesBack) {
    SetHandler(EarlierHandler);
    {
        const StopSignals stop(NoteSignal);
        ASSERT_EQ(std::raise(GetParam()), 0);
        EXPECT_EQ(gReceived.load(), GetParam());
    }
    EXPECT_EQ(CurrentHandler(), &EarlierHandler);
}

TEST_P(StopSignalsTest, ASignalIgnoredFromTheStartStaysIgnored) {
    SetHandler(SIG_IGN);
    {
        const StopSignals stop(NoteSignal);
        EXPECT_EQ(CurrentHandler(), SIG_IGN);
        ASSERT_EQ(std::raise(GetParam()), 0);
    }
    EXPECT_EQ(gReceived.load(), 0);
    EXPECT_EQ(CurrentHandler(), SIG_IGN);
}

std::string SignalName(const ::testing::TestParamInfo<int>& info) {
    std::string name = sigabbrev_np(info.param);
    return "SIG" + name;
}

INSTANTIATE_TEST_SUITE_P(EveryStopSignal, StopSignalsTest, ::testing::ValuesIn(StopSignalNumbers()), SignalName);

} // namespace
} // namespace quillmere::platform
