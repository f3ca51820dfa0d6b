#include "ui/main/DialogFolderChooser.h"
#include "ui/main/Form1.h"
#include "ui/main/QtMessageBoxes.h"
#include "ui/main/ThreadPassRunner.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setApplicationName("Quillmere");

    quillmere::DialogFolderChooser chooser;
    quillmere::QtMessageBoxes boxes;
    quillmere::ThreadPassRunner runner;
    quillmere::Form1 window(
        {chooser, boxes, runner, [](const quillmere::SyncSettings& settings, quillmere::SyncObserver& observer) {
             return quillmere::SyncFolders(settings, observer);
         }});
    window.Form_Load();
    window.show();
    // A session that ends (log-off, shutdown) quits without closing the window: close it, so the folders are
    // saved and a running pass is stopped just as when the user closes it.
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &window, &QWidget::close);
    return application.exec();
}
