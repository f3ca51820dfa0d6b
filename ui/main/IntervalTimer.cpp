// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/IntervalTimer.h"

namespace quillmere {

IntervalTimer::IntervalTimer(QObject* parent) : QObject(parent) {
    connect(&clock_, &QTimer::timeout, this, &IntervalTimer::Timer);
}

void IntervalTimer::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    if (milliseconds == 0) {
        clock_.stop();
    } else {
        clock_.start(milliseconds);
    }
}

} // namespace quillmere
