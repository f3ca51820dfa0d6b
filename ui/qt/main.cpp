// SPDX-License-Identifier: GPL-3.0-or-later
// The program as Qt runs it: the Qt window, Qt's implementations of what the window logic asks of the world,
// and the logic itself, wired together.
#include "BuildValues.h"
#include "engine/modSync.h"
#include "platform/FileSystem.h"
#include "tray/qt/QtTrayBackend.h"
#include "ui/main/Form1.h"
#include "ui/main/HomePage.h"
#include "ui/main/StartupEntry.h"
#include "ui/main/ThreadPassRunner.h"
#include "ui/qt/QtFolderChooser.h"
#include "ui/qt/QtForm1.h"
#include "ui/qt/QtMessageBoxes.h"
#include "ui/qt/QtSettingsStore.h"
#include "ui/qt/QtSystem.h"
#include "ui/qt/QtUiThread.h"
#include "ui/qt/SessionEnd.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    using namespace quillmere;
    // A copy that meets the file-size limit fails like any other, instead of ending the program.
    platform::IgnoreFileSizeLimitSignal();
    QApplication application(argc, argv);
    application.setApplicationName(build::kProductName);
    // Docks, task switchers and notification settings find the program's name and icon through its desktop entry.
    QGuiApplication::setDesktopFileName(build::kDesktopFileName);
    // The window hidden in the tray is no closed window, and a notice closing while it hides must not end the
    // program: only closing the main window does.
    application.setQuitOnLastWindowClosed(false);

    qt::QtForm1 window;
    qt::QtSettingsStore settings;
    qt::QtFolderChooser chooser(&window);
    qt::QtMessageBoxes boxes(&window);
    qt::QtUiThread ui;
    ThreadPassRunner runner(ui);
    SystemStartupEntry startup;
    Form1 logic({window, settings, chooser, boxes, ui, runner, window.Timer1(), window.ManualHold(), startup,
                 std::make_unique<tray::QtTrayBackend>(), SyncFolders, TimeOfDayFraction, qt::OpenUrl,
                 qt::LocalTimeText, QCoreApplication::applicationDirPath().toStdString()});
    const qt::QtForm1::Attachment attachment = window.Attach(logic);
    QObject::connect(&window, &qt::QtForm1::Unloaded, &application, &QCoreApplication::quit);
    qt::SessionEnd sessionEnd(window);
    logic.Form_Load();
    logic.ShowAfterLoad();
    return application.exec();
}
