// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's mouse pointer setting and the rules that change it as the mouse moves: the hand over the
// push buttons, the default arrow over the window, its frames and lists, and never while the window is busy.
#pragma once

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
    static constexpr int kDefault = 0;
    static constexpr int kHourglass = 11; // also the window's busy flag
    static constexpr int kCustom = 99;

    enum class Area { Button, Plain };

    explicit WindowPointer(QWidget& window);

    // The window's custom mouse icon; with none, the custom pointer is the platform's pointing hand.
    void SetCustomIcon(std::optional<QCursor> icon);
    bool HasCustomIcon() const { return customIcon_.has_value(); }

    int MousePointer() const { return pointer_; }
    // Sets the window's pointer, whichever control is under the mouse.
    void SetMousePointer(int value);
    bool IsBusy() const { return pointer_ == kHourglass; }

    // What the mouse-move handlers do; nothing while the window is busy.
    void OverButton();
    void OverPlain();

    // Runs OverButton / OverPlain on every mouse move directly over widget (not over a child of it); a list
    // is watched through its viewport.
    void Watch(QWidget& widget, Area area);

    // What runs each mouse-move rule, with the watched widget it applies to. An exception must not reach Qt's
    // event loop, which would end the program, so the window puts its error report here; by default a failing
    // rule is ignored.
    using RuleRunner = std::function<void(const QWidget& over, const std::function<void()>& rule)>;
    void SetRuleRunner(RuleRunner runner) { runRule_ = std::move(runner); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCursor CursorFor(int value) const;

    QWidget& window_;
    int pointer_ = kDefault;
    std::optional<QCursor> customIcon_;
    struct Watched {
        QWidget* widget = nullptr; // as given to Watch: the list, not its viewport
        Area area = Area::Plain;
    };
    QHash<QObject*, Watched> watched_;
    RuleRunner runRule_;
};

} // namespace quillmere::look
