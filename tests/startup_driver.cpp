// Runs the dialog as the program does, on a given program directory and with
// given paths for the tool checks, and prints every box as it opens:
//   startup_driver PROGRAM_DIR SMBCLIENT MOUNT_CIFS
// It answers boxes with Ok; without any box it quits once the queued start-up
// checks have run.
#include "support.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    systemPaths() = {argv[2], argv[3], argv[1]};
    BoxAnswerer answerer({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
    answerer.onSeen = [](const SeenBox& box) {
        std::printf("box cursor=%d window=%d icon=%d %s | %s\n", QApplication::overrideCursor() != nullptr,
                    box.windowShown, int(box.icon), qPrintable(box.title), qPrintable(box.text));
        std::fflush(stdout);
    };
    sharedeck dialog;
    dialog.show();
    QTimer::singleShot(0, &app, [] {
        if (QApplication::activeModalWidget())
            return; // a check failed; its box ends the process
        std::puts("running");
        QApplication::quit();
    });
    return app.exec();
}
