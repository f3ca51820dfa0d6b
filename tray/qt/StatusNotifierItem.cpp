// SPDX-License-Identifier: GPL-3.0-or-later
#include "tray/qt/StatusNotifierItem.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QImage>

#include <atomic>

namespace quillmere::tray {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// A watcher that hangs must not hold up the start for long.
constexpr int kFirstAnswerMilliseconds = 1000;

QDBusMessage AskWatcherForHost() {
    QDBusMessage ask = QDBusMessage::createMethodCall(kWatcher, kWatcherPath, kProperties, QStringLiteral("Get"));
    ask << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    return ask;
}

StatusNotifierItem::Host HostFromAnswer(const QDBusMessage& answer) {
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty()) {
        return StatusNotifierItem::Host::Absent;
    }
    const bool registered = answer.arguments().front().value<QDBusVariant>().variant().toBool();
    return registered ? StatusNotifierItem::Host::Present : StatusNotifierItem::Host::Absent;
}

// Each item of the process has a name of its own: the protocol's form is the name, the process and a number.
QString NewServiceName() {
    static std::atomic<int> made{0};
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(++made);
}

} // namespace

StatusNotifierImages ImagesOf(const QIcon& icon) {
    StatusNotifierImages images;
    for (const QSize& size : icon.availableSizes()) {
        const QImage image = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        StatusNotifierImage picture{image.width(), image.height(), {}};
        picture.pixels.reserve(static_cast<qsizetype>(image.width()) * image.height() * 4);
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                for (int shift : {24, 16, 8, 0}) { // alpha, red, green, blue: the most significant byte first
                    picture.pixels.append(static_cast<char>((row[x] >> shift) & 0xFF));
                }
            }
        }
        images.append(picture);
    }
    return images;
}

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, TrayActivity& activity)
    : bus_(std::move(bus)), activity_(activity),
      watcher_(new QDBusServiceWatcher(kWatcher, bus_, QDBusServiceWatcher::WatchForOwnerChange, this)),
      serviceName_(NewServiceName()) {
    qDBusRegisterMetaType<StatusNotifierImage>();
    qDBusRegisterMetaType<StatusNotifierImages>();
    qDBusRegisterMetaType<StatusNotifierToolTip>();
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, &StatusNotifierItem::WatcherChanged);
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
        bus_.connect(kWatcher, kWatcherPath, kWatcher, QString::fromLatin1(signal), this, SLOT(HostsChanged()));
    }
    // The first answer is awaited, so that a start in the tray finds the tray that is there.
    if (bus_.isConnected() && bus_.interface()->isServiceRegistered(kWatcher)) {
        host_ = HostFromAnswer(bus_.call(AskWatcherForHost(), QDBus::Block, kFirstAnswerMilliseconds));
    } else {
        host_ = Host::Absent;
    }
}

StatusNotifierItem::~StatusNotifierItem() {
    Hide();
}

QString StatusNotifierItem::Id() const {
    const QString desktopFile = QGuiApplication::desktopFileName();
    return desktopFile.isEmpty() ? QCoreApplication::applicationName() : desktopFile;
}

QString StatusNotifierItem::Title() const {
    return QGuiApplication::applicationDisplayName();
}

StatusNotifierToolTip StatusNotifierItem::ToolTip() const {
    return {QString(), {}, tip_, QString()};
}

void StatusNotifierItem::Show() {
    if (shown_ || !bus_.isConnected()) {
        return;
    }
    shown_ = bus_.registerService(serviceName_) &&
             bus_.registerObject(kItemPath, this,
                                 QDBusConnection::ExportAllProperties | QDBusConnection::ExportScriptableContents |
                                     QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    if (shown_) {
        RegisterWithWatcher();
    }
}

void StatusNotifierItem::Hide() {
    if (!shown_) {
        return;
    }
    shown_ = false;
    bus_.unregisterObject(kItemPath);
    bus_.unregisterService(serviceName_);
}

void StatusNotifierItem::SetIcon(const QIcon& icon) {
    images_ = ImagesOf(icon);
    emit NewIcon();
}

void StatusNotifierItem::SetToolTip(const QString& tip) {
    tip_ = tip;
    emit NewToolTip();
}

// No watcher yet is no fault: the item registers when one comes.
void StatusNotifierItem::RegisterWithWatcher() {
    QDBusMessage registration =
        QDBusMessage::createMethodCall(kWatcher, kWatcherPath, kWatcher, QStringLiteral("RegisterStatusNotifierItem"));
    registration << serviceName_;
    bus_.asyncCall(registration);
}

void StatusNotifierItem::WatcherChanged(const QString& /*service*/, const QString& /*oldOwner*/,
                                        const QString& newOwner) {
    if (newOwner.isEmpty()) {
        SetHost(Host::Absent);
        return;
    }
    if (shown_) {
        RegisterWithWatcher();
    }
    AskForHost();
}

void StatusNotifierItem::HostsChanged() {
    AskForHost();
}

void StatusNotifierItem::AskForHost() {
    auto* answer = new QDBusPendingCallWatcher(bus_.asyncCall(AskWatcherForHost()), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        SetHost(HostFromAnswer(call->reply()));
        call->deleteLater();
    });
}

void StatusNotifierItem::SetHost(Host host) {
    if (host == host_) {
        return;
    }
    host_ = host;
    if (hostChanged_) {
        hostChanged_();
    }
}

void StatusNotifierItem::Activate(int /*x*/, int /*y*/) {
    emit activity_.activated(QSystemTrayIcon::Trigger);
}

void StatusNotifierItem::SecondaryActivate(int /*x*/, int /*y*/) {
    emit activity_.activated(QSystemTrayIcon::MiddleClick);
}

void StatusNotifierItem::ContextMenu(int /*x*/, int /*y*/) {
    emit activity_.activated(QSystemTrayIcon::Context);
}

void StatusNotifierItem::Scroll(int /*delta*/, const QString& /*orientation*/) {}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierImage& image) {
    argument.beginStructure();
    argument << image.width << image.height << image.pixels;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierImage& image) {
    argument.beginStructure();
    argument >> image.width >> image.height >> image.pixels;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& tip) {
    argument.beginStructure();
    argument << tip.iconName << tip.images << tip.title << tip.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& tip) {
    argument.beginStructure();
    argument >> tip.iconName >> tip.images >> tip.title >> tip.text;
    argument.endStructure();
    return argument;
}

} // namespace quillmere::tray
