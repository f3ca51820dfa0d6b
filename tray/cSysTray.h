// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon in the notification area: adds, changes and removes it, shows a balloon notice on it, and
// raises the four mouse events for its host. All shell traffic goes through a TrayBackend.
#pragma once

#include "tray/TrayBackend.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace quillmere::tray {

class cSysTray final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool InTray READ InTray WRITE setInTray NOTIFY InTrayChanged)
    Q_PROPERTY(QIcon TrayIcon READ TrayIcon WRITE setTrayIcon NOTIFY TrayIconChanged)
    Q_PROPERTY(QString TrayTip READ TrayTip WRITE setTrayTip NOTIFY TrayTipChanged)

public:
    // How much of each text reaches the shell (its fixed fields, less the terminating NUL).
    static constexpr int kTipChars = 127;
    static constexpr int kBalloonTextChars = 255;
    static constexpr int kBalloonTitleChars = 63;
    // The longest balloon time whose milliseconds fit a 32-bit value.
    static constexpr int kMaxShowTimerSeconds = 2'147'483;

    // live: the host runs as the program, not as a design surface; only then does the icon reach the shell.
    cSysTray(std::unique_ptr<TrayBackend> backend, bool live, QObject* parent = nullptr);
    ~cSysTray() override;

    bool InTray() const { return inTray_; }
    void setInTray(bool show);
    QIcon TrayIcon() const { return trayIcon_; }
    // A null icon, or one with no image behind it, is not an icon picture: the call changes nothing.
    void setTrayIcon(const QIcon& icon);
    QString TrayTip() const { return trayTip_; }
    void setTrayTip(const QString& tip);

    bool IconAdded() const { return iconAdded_; }
    bool BalloonVisible() const { return balloonVisible_; }
    int BalloonShowCount() const { return balloonShowCount_; }
    int IconId() const { return 0; }
    // Whether the icon can be seen: a desktop without a notification area shows none.
    bool TrayAvailable() const { return backend_->Available(); }

    // Shows a balloon and returns at once. With showTimer > 0 a timer takes the balloon down after that many
    // seconds unless it closed first. With showOnce, only the first such balloon of this control is shown.
    // Throws std::overflow_error, before anything is sent, when showTimer exceeds kMaxShowTimerSeconds.
    void ShowBalloon(const QString& tip, const QString& sTitle, int showTimer, bool showOnce);

    // The one place the icon's notifications are acted on; message numbers as in TrayMessages.h.
    void HandleTrayMessage(int message, int id);

signals:
    void MouseMove(int Id);
    void MouseDown(int Button, int Id);
    void MouseUp(int Button, int Id);
    void MouseDblClick(int Button, int Id);

    void InTrayChanged();
    void TrayIconChanged();
    void TrayTipChanged();

private:
    void AddTrayIcon();
    void TakeIconDown();
    void TakeBalloonDown();

    std::unique_ptr<TrayBackend> backend_;
    const bool live_;
    bool inTray_ = false;
    bool iconAdded_ = false;
    QIcon trayIcon_;
    QString trayTip_ = QStringLiteral("Telnet Server"); // what a freshly placed control shows until told
    bool balloonVisible_ = false;
    int balloonShowCount_ = 0;
    QTimer* balloonTimer_; // a child, so tests can find and fire it
};

// The part of text the shell receives from a field of maxChars: up to the first NUL, and never a broken
// surrogate pair at the cut.
QString FieldText(const QString& text, int maxChars);

} // namespace quillmere::tray
