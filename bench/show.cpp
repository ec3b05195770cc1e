// Start-up probe: main() of the program, quitting once the window has been
// painted. Built without SHAREDECK_WINDOW it shows an empty QDialog instead.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

#ifdef SHAREDECK_WINDOW
#include "sharedeck.h"
using Window = sharedeck;
#else
using Window = QDialog;
#endif

class QuitOnFirstPaint : public QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Quits after this paint has reached the screen.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Window window;
    QuitOnFirstPaint quitter;
    window.installEventFilter(&quitter);
    window.show();
    return app.exec();
}
