// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "tray/QtTrayBackend.h"
#include "ui/main/DialogFolderChooser.h"
#include "ui/main/Form1.h"
#include "ui/main/ProductName.h"
#include "ui/main/QtMessageBoxes.h"
#include "ui/main/SessionEnd.h"
#include "ui/main/ThreadPassRunner.h"

#include <QApplication>
#include <QDesktopServices>

#include <memory>

int main(int argc, char* argv[]) {
    quillmere::platform::IgnoreFileSizeLimitSignal();
    QApplication application(argc, argv);
    application.setApplicationName(quillmere::kProductName);
    // The window hidden in the tray is no closed window, and a notice closing while it hides must not end the
    // program: only closing the main window does.
    application.setQuitOnLastWindowClosed(false);

    quillmere::DialogFolderChooser chooser;
    quillmere::QtMessageBoxes boxes;
    quillmere::ThreadPassRunner runner;
    quillmere::Form1 window({chooser, boxes, runner,
                             [](const quillmere::SyncSettings& settings, quillmere::SyncObserver& observer) {
                                 return quillmere::SyncFolders(settings, observer);
                             },
                             std::make_unique<quillmere::tray::QtTrayBackend>(), quillmere::TimeOfDayFraction,
                             [](const QUrl& page) { QDesktopServices::openUrl(page); },
                             QCoreApplication::applicationDirPath()});
    QObject::connect(&window, &quillmere::Form1::Unloaded, &application, &QCoreApplication::quit);
    quillmere::SessionEnd sessionEnd(window);
    window.Form_Load();
    window.ShowAfterLoad();
    return application.exec();
}
