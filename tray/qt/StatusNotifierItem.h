// SPDX-License-Identifier: GPL-3.0-or-later
// The icon on a StatusNotifier tray, the only kind a Wayland desktop has (Plasma, GNOME's AppIndicator, waybar)
// and the kind xfce4-panel and lxqt-panel prefer: an item on the session bus that the tray's watcher lists, and
// that the tray host shows and sends clicks to. The item watches for the watcher coming, going and coming back
// (at login a panel often starts after the programs) and registers anew with each one.
#pragma once

#include "tray/qt/TrayActivity.h"

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QDBusServiceWatcher;

namespace quillmere::tray {

// One picture of the icon as the protocol carries it: its size and its ARGB32 pixels in network byte order.
struct StatusNotifierImage {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using StatusNotifierImages = QList<StatusNotifierImage>;

struct StatusNotifierToolTip {
    QString iconName;
    StatusNotifierImages images;
    QString title;
    QString text;
};

// Every size the icon has, as the protocol carries pictures.
StatusNotifierImages ImagesOf(const QIcon& icon);

class StatusNotifierItem final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ Category)
    Q_PROPERTY(QString Id READ Id)
    Q_PROPERTY(QString Title READ Title)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(int WindowId READ WindowId)
    Q_PROPERTY(QString IconThemePath READ NoName)
    Q_PROPERTY(QString IconName READ NoName)
    Q_PROPERTY(quillmere::tray::StatusNotifierImages IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ NoName)
    Q_PROPERTY(quillmere::tray::StatusNotifierImages OverlayIconPixmap READ NoImages)
    Q_PROPERTY(QString AttentionIconName READ NoName)
    Q_PROPERTY(quillmere::tray::StatusNotifierImages AttentionIconPixmap READ NoImages)
    Q_PROPERTY(QString AttentionMovieName READ NoName)
    Q_PROPERTY(quillmere::tray::StatusNotifierToolTip ToolTip READ ToolTip)
    // No Menu: a right click comes as ContextMenu, which brings the window back as any release on the icon does.
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)

public:
    // Whether a tray host shows what the watcher lists: not known until the watcher has answered.
    enum class Host { Unknown, Absent, Present };

    // Clicks on the item, reported as Qt reports clicks on its own tray icons, go to activity.
    StatusNotifierItem(QDBusConnection bus, TrayActivity& activity);
    ~StatusNotifierItem() override;

    Host HostState() const { return host_; }
    // Called each time HostState() changes.
    void SetHostHandler(std::function<void()> changed) { hostChanged_ = std::move(changed); }

    // Puts the item on the bus and registers it with the watcher, now and whenever a watcher comes; Hide takes
    // it off the bus, which tells the host to drop it.
    void Show();
    void Hide();
    void SetIcon(const QIcon& icon);
    void SetToolTip(const QString& tip);
    // The name the item has on the bus, which the watcher lists.
    const QString& ServiceName() const { return serviceName_; }

    // The protocol's properties.
    QString Category() const { return QStringLiteral("ApplicationStatus"); }
    QString Id() const;
    QString Title() const;
    QString Status() const { return QStringLiteral("Active"); }
    int WindowId() const { return 0; }
    QString NoName() const { return {}; }
    StatusNotifierImages IconPixmap() const { return images_; }
    StatusNotifierImages NoImages() const { return {}; }
    StatusNotifierToolTip ToolTip() const;
    bool ItemIsMenu() const { return false; }

public slots:
    // The protocol's methods: the host's clicks (the position does not matter here) and the wheel.
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int delta, const QString& orientation);

signals:
    void NewIcon();
    void NewToolTip();

private slots:
    void WatcherChanged(const QString& service, const QString& oldOwner, const QString& newOwner);
    void HostsChanged();

private:
    void AskForHost();
    void SetHost(Host host);
    void RegisterWithWatcher();

    QDBusConnection bus_;
    TrayActivity& activity_;
    QDBusServiceWatcher* watcher_;
    QString serviceName_;
    bool shown_ = false;
    Host host_ = Host::Unknown;
    std::function<void()> hostChanged_;
    StatusNotifierImages images_;
    QString tip_;
};

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierImage& image);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierImage& image);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& tip);

} // namespace quillmere::tray

Q_DECLARE_METATYPE(quillmere::tray::StatusNotifierImage)
Q_DECLARE_METATYPE(quillmere::tray::StatusNotifierToolTip)
