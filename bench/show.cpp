// Start-up probe: main() of the program, quitting once the window has been
// painted. Built with SHAREDECK_FORM it shows only the window's form in a
// bare QDialog, built with neither an empty QDialog.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

#ifdef SHAREDECK_WINDOW
#include "sharedeck.h"
using Window = sharedeck;
#elif defined(SHAREDECK_FORM)
#include "ui_sharedeck.h"
struct Window : QDialog, Ui::sharedeck {
    Window() { setupUi(this); }
};
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
