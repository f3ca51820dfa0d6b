// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

namespace quillmere {

// A timer whose interval is its on/off switch, as the window's countdown clock uses it: 0 means no ticks, any
// other value a tick every that many milliseconds. (A QTimer with interval 0 would fire without pause instead.)
class IntervalTimer : public QObject {
    Q_OBJECT
public:
    explicit IntervalTimer(QObject* parent = nullptr);
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

signals:
    void Timer();

private:
    QTimer clock_;
    int interval_ = 0;
};

} // namespace quillmere
