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

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

namespace {

// "--help" and "--version" print and end, as every desktop program's do, before any window or display is needed.
// The exit status, when the first argument was one of them.
std::optional<int> AnswerInfoArgument(int argc, char* argv[]) {
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (first == "--help" || first == "-h") {
        std::printf("usage: quillmere [--help | --version]\n\n"
                    "Keeps two folders in step: choose Folder 1 and Folder 2, a direction and an interval in the\n"
                    "window, and turn Auto Sync on. quillmere-sync runs the same pass from the command line.\n"
                    "See quillmere(1).\n");
        return 0;
    }
    if (first == "--version") {
        std::printf("quillmere %s\n", quillmere::build::kVersion);
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace quillmere;
    if (const std::optional<int> status = AnswerInfoArgument(argc, argv)) {
        return *status;
    }
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
                 qt::LocalTimeText, QCoreApplication::applicationDirPath().toStdString(), [] { std::_Exit(0); },
                 build::kHomePage, WatchServices{}});
    const qt::QtForm1::Attachment attachment = window.Attach(logic);
    QObject::connect(&window, &qt::QtForm1::Unloaded, &application, &QCoreApplication::quit);
    qt::SessionEnd sessionEnd(window);
    logic.Form_Load();
    logic.ShowAfterLoad();
    return application.exec();
}
