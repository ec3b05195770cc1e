#include "sharedeck.h"
#include "systempaths.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The keep-alive's period can be shortened to watch it work without waiting five minutes.
    if (const int seconds = qEnvironmentVariableIntValue("SHAREDECK_KEEPALIVE_SECONDS"); seconds > 0 && seconds < 300)
        systemPaths().keepAlivePeriodMs = seconds * 1000;
    sharedeck dialog;
    dialog.show();
    return app.exec();
}
