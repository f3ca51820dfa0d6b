// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/look/WindowPointer.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QWidget>

namespace quillmere::look {

WindowPointer::WindowPointer(QWidget& window) : QObject(&window), window_(window) {}

void WindowPointer::SetCustomIcon(std::optional<QCursor> icon) {
    customIcon_ = std::move(icon);
    if (pointer_ == kCustom)
        window_.setCursor(CursorFor(pointer_));
}

QCursor WindowPointer::CursorFor(int value) const {
    switch (value) {
    case kHourglass:
        return Qt::WaitCursor;
    case kCustom:
        return customIcon_.value_or(QCursor(Qt::PointingHandCursor));
    default:
        return Qt::ArrowCursor;
    }
}

void WindowPointer::SetMousePointer(int value) {
    pointer_ = value;
    if (value == kDefault)
        window_.unsetCursor();
    else
        window_.setCursor(CursorFor(value));
}

void WindowPointer::OverButton() {
    if (!IsBusy())
        SetMousePointer(kCustom);
}

void WindowPointer::OverPlain() {
    if (!IsBusy())
        SetMousePointer(kDefault);
}

void WindowPointer::Watch(QWidget& widget, Area area) {
    auto* list = qobject_cast<QAbstractScrollArea*>(&widget);
    QWidget& target = list ? *list->viewport() : widget;
    target.setMouseTracking(true);
    target.installEventFilter(this);
    watched_.insert(&target, {&widget, area});
    connect(&target, &QObject::destroyed, this, [this](QObject* gone) { watched_.remove(gone); });
}

bool WindowPointer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove || !watched_.contains(watched))
        return false;
    // A move over a child reaches its parents too when the child ignores it; only the widget directly under
    // the mouse has its rule applied, so the frame around a button does not undo the button's hand.
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
        return false;
    const Watched over = watched_.value(watched);
    const auto rule = [this, over] { over.area == Area::Button ? OverButton() : OverPlain(); };
    try {
        if (runRule_)
            runRule_(*over.widget, rule);
        else
            rule();
    } catch (...) {
        // Ignored: the pointer stays as it was, and the program goes on.
    }
    return false;
}

} // namespace quillmere::look
