// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/SessionEnd.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace quillmere::qt {

namespace {

// A signal handler may do almost nothing safely: it writes one byte into a socket pair, and the UI thread
// reads it through a notifier. [0] is written by the handler, [1] read by the notifier.
int gPair[2] = {-1, -1};

void WriteSignalByte(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // A full socket already holds a wake-up; losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(gPair[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

SessionEnd::SessionEnd(QWidget& window) : QObject(&window), window_(window) {
    if (gPair[0] != -1) {
        throw std::logic_error("Only one SessionEnd may watch the signals at a time");
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gPair) != 0) {
        throw std::runtime_error("Cannot watch the session's end signals: " + std::to_string(errno));
    }
    notifier_ = new QSocketNotifier(gPair[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SessionEnd::SignalArrived);
    stopSignals_.emplace(WriteSignalByte);

    // The session manager asks for the data to be saved before a log-out; a quit that does not come from the
    // window (a platform's own quit) must still run the close request.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] { window_.close(); });
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, [this] { window_.close(); });
}

SessionEnd::~SessionEnd() {
    stopSignals_.reset();
    delete notifier_;
    ::close(gPair[0]);
    ::close(gPair[1]);
    gPair[0] = gPair[1] = -1;
}

void SessionEnd::SignalArrived() {
    char bytes[16];
    while (::read(gPair[1], bytes, sizeof bytes) > 0) {
    }
    window_.close();
}

} // namespace quillmere::qt
