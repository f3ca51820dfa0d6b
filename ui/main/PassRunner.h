// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one synchronization pass at a time away from the window's thread, so the window stays live during it.
#pragma once

#include <QObject>

#include <functional>

namespace quillmere {

class PassRunner : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // True from Start until Finished is emitted or Join returns.
    virtual bool Running() const = 0;
    // Called on the window's thread, only while nothing runs. work must not throw.
    virtual void Start(std::function<void()> work) = 0;
    // Waits for the running work to return; Finished is then not emitted for it.
    virtual void Join() = 0;

signals:
    // Emitted on the window's thread after the work has returned.
    void Finished();
};

} // namespace quillmere
