// The main window's mouse pointer setting and the rules that change it as the mouse moves: the hand over the
// push buttons, the default arrow over the window, its frames and lists, and never while the window is busy.
#pragma once

#include <QCursor>
#include <QHash>
#include <QObject>

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCursor CursorFor(int value) const;

    QWidget& window_;
    int pointer_ = kDefault;
    std::optional<QCursor> customIcon_;
    QHash<QObject*, Area> watched_;
};

} // namespace quillmere::look
