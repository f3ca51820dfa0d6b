// SPDX-License-Identifier: GPL-3.0-or-later
// The signals with which a user or a session asks a program to stop (Ctrl-C, SIGTERM, and SIGHUP where the
// system has it), turned into a stop request by a handler of the program's own. The window and the command line
// both take them over this way.
#pragma once

#include <memory>
#include <span>

namespace quillmere::platform {

// The stop signals, in the order they are taken over.
std::span<const int> StopSignalNumbers();

// Hands every stop signal to handler from construction to destruction, which puts the earlier handlers back.
// A signal ignored from the start stays ignored: "nohup program &" must survive the terminal's hang-up, and a
// program a shell started in the background must not end on the terminal's interrupt. The handler runs in
// signal context: it may only do what a signal handler may, such as setting a lock-free atomic or writing to a
// pipe. One instance at a time.
class StopSignals {
public:
    using Handler = void (*)(int signalNumber);

    explicit StopSignals(Handler handler);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct Earlier; // the handlers to put back, as each system records them
    std::unique_ptr<Earlier> earlier_;
};

} // namespace quillmere::platform
