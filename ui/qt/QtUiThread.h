// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/main/UiThread.h"

#include <QObject>

namespace quillmere::qt {

// The thread of Qt's event loop: posted work is queued to this object, and dropped if it is gone by then.
class QtUiThread final : public QObject, public UiThread {
public:
    using QObject::QObject;
    void Post(std::function<void()> work) override;
    void ProcessPendingEvents() override;
};

} // namespace quillmere::qt
