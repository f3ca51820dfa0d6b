// SPDX-License-Identifier: GPL-3.0-or-later
// Every way the session asks the program to end closes the main window, so that its close request (saving the
// folders, taking the tray icon down) runs before the process exits: the stop signals (SIGTERM, SIGHUP,
// SIGINT), the session manager's request to save before logging out, and a quit of the application.
#pragma once

#include "platform/StopSignals.h"

#include <QObject>

#include <optional>

class QSocketNotifier;
class QWidget;

namespace quillmere::qt {

class SessionEnd final : public QObject {
    Q_OBJECT
public:
    // Takes over the stop signals, except those ignored already, until destroyed; one instance at a time.
    explicit SessionEnd(QWidget& window);
    ~SessionEnd() override;

private:
    void SignalArrived();

    QWidget& window_;
    QSocketNotifier* notifier_;
    std::optional<platform::StopSignals> stopSignals_;
};

} // namespace quillmere::qt
