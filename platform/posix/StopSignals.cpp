// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/StopSignals.h"

#include <array>
#include <csignal>

namespace quillmere::platform {

namespace {
constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};
} // namespace

struct StopSignals::Earlier {
    std::array<struct sigaction, kStopSignals.size()> actions{};
};

std::span<const int> StopSignalNumbers() {
    return kStopSignals;
}

StopSignals::StopSignals(Handler handler) : earlier_(std::make_unique<Earlier>()) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A read or a wait that the signal interrupts goes on; the program sees the request at its next check.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], nullptr, &earlier_->actions[i]);
        if (earlier_->actions[i].sa_handler != SIG_IGN) {
            ::sigaction(kStopSignals[i], &action, nullptr);
        }
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], &earlier_->actions[i], nullptr);
    }
}

} // namespace quillmere::platform
