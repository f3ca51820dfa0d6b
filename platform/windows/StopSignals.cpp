// SPDX-License-Identifier: GPL-3.0-or-later
// Windows has no SIGHUP; the C run-time turns Ctrl-C into SIGINT, and SIGTERM is raised only by the program.
#include "platform/StopSignals.h"

#include <array>
#include <csignal>

namespace quillmere::platform {

namespace {
constexpr std::array kStopSignals{SIGINT, SIGTERM};
using SignalHandler = void (*)(int);
} // namespace

struct StopSignals::Earlier {
    std::array<SignalHandler, kStopSignals.size()> handlers{};
};

std::span<const int> StopSignalNumbers() {
    return kStopSignals;
}

StopSignals::StopSignals(Handler handler) : earlier_(std::make_unique<Earlier>()) {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        earlier_->handlers[i] = std::signal(kStopSignals[i], handler);
        if (earlier_->handlers[i] == SIG_IGN) {
            std::signal(kStopSignals[i], SIG_IGN);
        }
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        if (earlier_->handlers[i] != SIG_ERR) {
            std::signal(kStopSignals[i], earlier_->handlers[i]);
        }
    }
}

} // namespace quillmere::platform
