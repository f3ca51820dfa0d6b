// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/Timer.h"

#include <QTimer>

#include <functional>

namespace quillmere::qt {

// A QTimer as the window logic starts and stops it, running the handler it stands for each time it elapses.
class QtTimer final : public Timer {
public:
    QtTimer() {
        QObject::connect(&clock_, &QTimer::timeout, [this] { Elapse(); });
    }
    void Start(int milliseconds) override { clock_.start(milliseconds); }
    void Stop() override { clock_.stop(); }
    bool IsActive() const { return clock_.isActive(); }
    int Interval() const { return clock_.interval(); }

    void SetHandler(std::function<void()> handler) { handler_ = std::move(handler); }
    // What the timer does when it elapses; tests call it to tick without waiting.
    void Elapse() {
        if (handler_) {
            handler_();
        }
    }

private:
    QTimer clock_;
    std::function<void()> handler_;
};

} // namespace quillmere::qt
