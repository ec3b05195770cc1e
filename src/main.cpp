#include "sharedeck.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    sharedeck dialog;
    dialog.show();
    return app.exec();
}
