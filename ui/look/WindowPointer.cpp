// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/look/WindowPointer.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QWidget>

namespace quillmere::look {

WindowPointer::WindowPointer(QWidget& window) : QObject(&window), window_(window) {}

void WindowPointer::SetCustomIcon(std::optional<QCursor> icon) {
    customIcon_ = std::move(icon);
    if (shown_ == MousePointer::Custom) {
        Show(shown_);
    }
}

void WindowPointer::Show(MousePointer pointer) {
    shown_ = pointer;
    switch (pointer) {
    case MousePointer::Default:
        window_.unsetCursor();
        break;
    case MousePointer::Hourglass:
        window_.setCursor(Qt::WaitCursor);
        break;
    case MousePointer::Custom:
        window_.setCursor(customIcon_.value_or(QCursor(Qt::PointingHandCursor)));
        break;
    }
}

void WindowPointer::Watch(QWidget& widget, PointerArea area) {
    auto* list = qobject_cast<QAbstractScrollArea*>(&widget);
    QWidget& target = list ? *list->viewport() : widget;
    target.setMouseTracking(true);
    target.installEventFilter(this);
    watched_.insert(&target, {&widget, area});
    connect(&target, &QObject::destroyed, this, [this](QObject* gone) { watched_.remove(gone); });
}

bool WindowPointer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove || !watched_.contains(watched) || !moved_) {
        return false;
    }
    // A move over a child reaches its parents too when the child ignores it; only the widget directly under
    // the mouse has its handler run, so the frame around a button does not undo the button's hand.
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        return false;
    }
    const Watched over = watched_.value(watched);
    moved_(*over.widget, over.area);
    return false;
}

} // namespace quillmere::look
