// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's mouse pointer as Qt shows it (the default arrow, the hourglass, the hand), and the mouse
// moves over the controls whose handlers decide it.
#pragma once

#include "ui/main/Form1View.h"

#include <QCursor>
#include <QHash>
#include <QObject>

#include <functional>
#include <optional>

class QWidget;

namespace quillmere::look {

class WindowPointer final : public QObject {
    Q_OBJECT

public:
    explicit WindowPointer(QWidget& window);

    // The window's custom mouse icon; with none, the custom pointer is the platform's pointing hand.
    void SetCustomIcon(std::optional<QCursor> icon);

    // Shows the window's pointer setting, whichever control is under the mouse.
    void Show(MousePointer pointer);

    // Hands every mouse move directly over widget (not over a child of it) to the move handler, with the
    // widget as given and its area; a list is watched through its viewport.
    void Watch(QWidget& widget, PointerArea area);
    using MoveHandler = std::function<void(const QWidget& over, PointerArea area)>;
    void SetMoveHandler(MoveHandler handler) { moved_ = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    MousePointer shown_ = MousePointer::Default;
    std::optional<QCursor> customIcon_;
    struct Watched {
        QWidget* widget = nullptr; // as given to Watch: the list, not its viewport
        PointerArea area = PointerArea::Plain;
    };
    QHash<QObject*, Watched> watched_;
    MoveHandler moved_;
};

} // namespace quillmere::look
