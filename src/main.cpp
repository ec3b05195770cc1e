#include "sharedeck.h"
#include "systempaths.h"
#include "translation.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The texts are German; an English interface gets the compiled-in catalogue.
    QTranslator english;
    if (prefersEnglish(QLocale::system().uiLanguages()) && english.load(QStringLiteral(":/i18n/sharedeck_en.qm")))
        QApplication::installTranslator(&english);
    // The keep-alive's period can be shortened to watch it work without waiting five minutes.
    if (const int seconds = qEnvironmentVariableIntValue("SHAREDECK_KEEPALIVE_SECONDS"); seconds > 0 && seconds < 300)
        systemPaths().keepAlivePeriodMs = seconds * 1000;
    // SHAREDECK_NO_DISCOVERY (any value) keeps the chooser to server.conf: nothing is sent on the network.
    systemPaths().discover = !qEnvironmentVariableIsSet("SHAREDECK_NO_DISCOVERY");
    sharedeck dialog;
    dialog.show();
    return app.exec();
}
