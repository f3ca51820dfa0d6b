// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qt/QtUiThread.h"

#include <QCoreApplication>

namespace quillmere::qt {

void QtUiThread::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void QtUiThread::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

} // namespace quillmere::qt
