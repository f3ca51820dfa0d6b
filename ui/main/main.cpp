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
    return application.exec();
}
