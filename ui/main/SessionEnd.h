// SPDX-License-Identifier: GPL-3.0-or-later
// Every way the session asks the program to end closes the main window, so that its close request (saving the
// folders, taking the tray icon down) runs before the process exits: SIGTERM, SIGHUP and SIGINT, the session
// manager's request to save before logging out, and a quit of the application.
#pragma once

#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;
class QWidget;

namespace quillmere {

class SessionEnd final : public QObject {
    Q_OBJECT
public:
    // Takes over the three signals, except those ignored already, until destroyed; one instance at a time.
    explicit SessionEnd(QWidget& window);
    ~SessionEnd() override;

    static constexpr std::array kSignals{SIGTERM, SIGHUP, SIGINT};

private:
    void SignalArrived();

    QWidget& window_;
    QSocketNotifier* notifier_;
    std::array<struct sigaction, kSignals.size()> previous_{};
};

} // namespace quillmere
