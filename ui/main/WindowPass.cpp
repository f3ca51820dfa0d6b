// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowPass.h"

#include <QMetaObject>
#include <QObject>

namespace quillmere {

void WindowPass::Prepare(std::vector<std::string> folder1, std::vector<std::string> folder2) {
    folder1_ = std::move(folder1);
    folder2_ = std::move(folder2);
    stop_.store(false);
}

void WindowPass::Report(const TrappedError& error) {
    // Message boxes belong to the window's thread; the pass goes on meanwhile. A report that arrives after the
    // window was closed is dropped: a box then would only hold up the end of the program.
    QMetaObject::invokeMethod(
        &context_,
        [this, error] {
            if (!StopRequested()) {
                reports_.Report(error);
            }
        },
        Qt::QueuedConnection);
}

} // namespace quillmere
