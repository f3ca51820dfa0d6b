// SPDX-License-Identifier: GPL-3.0-or-later
// A timer of the UI thread that the window logic starts and stops; its front end calls the handler it stands
// for each time it elapses (Form1::Timer1_Timer, Form1::ManualHold_Timer). Tests drive those handlers
// themselves.
#pragma once

namespace quillmere {

class Timer {
public:
    virtual ~Timer() = default;
    // (Re)starts the timer: it elapses every milliseconds until stopped.
    virtual void Start(int milliseconds) = 0;
    virtual void Stop() = 0;
};

} // namespace quillmere
