// SPDX-License-Identifier: GPL-3.0-or-later
// Puts the tray control's icon into a real tray and prints what it raises, for real_tray_check.sh: "icon X Y W H"
// once the icon is embedded, "first balloon X Y W H" where the balloon asked for at once (before the tray gave the
// icon its place) came up, one line per event, and on a double click whether a balloon came up and whether the
// control's timer took it down again.
#include "tray/cSysTray.h"
#include "tray/qt/QtTrayBackend.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

using quillmere::tray::cSysTray;

namespace {

void Say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString Place(const QRect& where) {
    return QString("%1 %2 %3 %4").arg(where.x()).arg(where.y()).arg(where.width()).arg(where.height());
}

// Qt's balloon on screen, if one is.
const QWidget* Balloon() {
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->inherits("QBalloonTip"))
            return window;
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto owned = std::make_unique<quillmere::tray::QtTrayBackend>();
    quillmere::tray::QtTrayBackend& backend = *owned;
    QSystemTrayIcon& icon = owned->XEmbedIcon();
    cSysTray tray(std::move(owned), true);
    tray.setTrayIcon(quillmere::tray::Picture::TrayIcon);
    tray.setTrayTip("Quillmere");
    tray.setInTray(true);
    // As a start in the tray does: the notice straight after the icon, before the tray has given it a place.
    tray.ShowBalloon("has been minimized to the system tray.", "Quillmere", 8, false);
    QTimer firstBalloon;
    QObject::connect(&firstBalloon, &QTimer::timeout, [&] {
        if (const QWidget* balloon = Balloon()) {
            firstBalloon.stop();
            Say("first balloon " + Place(balloon->frameGeometry()));
            backend.BalloonTimer().start(0);
        }
    });
    firstBalloon.start(50);

    tray.MouseDown = [](int button, int) { Say(QString("down %1").arg(button)); };
    tray.MouseUp = [](int button, int) { Say(QString("up %1").arg(button)); };
    tray.MouseDblClick = [&](int button, int) {
        Say(QString("dblclick %1").arg(button));
        tray.ShowBalloon("has been minimized to the system tray.", "Quillmere", 60, false);
        QTimer::singleShot(500, [&] {
            Say(quillmere::tray::QtBalloonShown() ? "balloon up" : "balloon missing");
            backend.BalloonTimer().start(0); // the control's own take-down, without waiting its 60 s
            QTimer::singleShot(500, [&] {
                Say(quillmere::tray::QtBalloonShown() ? "balloon still up" : "balloon down");
                QApplication::quit();
            });
        });
    };

    QTimer embedded;
    QObject::connect(&embedded, &QTimer::timeout, [&] {
        const QRect where = icon.geometry();
        if (!QSystemTrayIcon::isSystemTrayAvailable() || where.isEmpty())
            return;
        embedded.stop();
        Say("icon " + Place(where));
    });
    embedded.start(100);
    return app.exec();
}
