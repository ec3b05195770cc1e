#pragma once
// Driving the dialog in tests: its state, answers to its modal boxes, a program directory.

#include "dialogsupport.h"
#include "sharedeck.h"
#include "systempaths.h"

#include <QtTest>
#include <QtWidgets>

// A wait is a bound on a fault, what never comes, not a guess at how fast the machine is: 60 s, not Qt's 5 s.
#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 60000)
#undef QTRY_COMPARE
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, 60000)

class SharedeckProbe
{
public:
    static QStringList& mountedDirs(sharedeck& d) { return d.mountedDirs; }
};

inline void writeFile(const QString& path, const QByteArray& content, bool executable = false)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    QVERIFY(!executable || file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeOther));
}

inline QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Whether a process runs (a killed one may stay a zombie where nobody reaps orphans).
inline bool running(const QString& pid)
{
    const QString stat = readFile("/proc/" + pid.trimmed() + "/stat");
    return !pid.trimmed().isEmpty() && !stat.isEmpty() && !stat.section(") ", 1, 1).startsWith('Z');
}

// The memory the process holds now.
inline qint64 residentBytes()
{
    return readFile("/proc/self/statm").section(' ', 1, 1).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

// The English interface while it lives, with the catalogue the program loads for an English user.
struct English {
    explicit English(bool on) { QVERIFY(!on || (catalogue.load(":/i18n/sharedeck_en.qm") && QCoreApplication::installTranslator(&catalogue))); }
    ~English() { QCoreApplication::removeTranslator(&catalogue); }
    QTranslator catalogue;
};

// Notes every box as it opens ("title | text") and answers the topmost one
// with the given buttons in turn (Escape once they are used up, Enter for a button it lacks), one timer
// tick after it was first seen, so queued calls that open further boxes run first.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(QList<QMessageBox::StandardButton> answers = {})
        : answers(answers)
    {
        qApp->installEventFilter(this);
        connect(&timer, &QTimer::timeout, this, &BoxAnswerer::answer);
        timer.start(0);
    }
    QStringList seen;
    std::function<void(QMessageBox*)> onSeen = [](QMessageBox*) {};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && event->type() == QEvent::Show)
            seen << box->windowTitle() + " | " + box->text(), onSeen(box);
        return false;
    }

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != pending || !box) {
            pending = box;
            return;
        }
        pending = nullptr;
        const auto button = answers.isEmpty() ? QMessageBox::NoButton : answers.takeFirst();
        if (button == QMessageBox::NoButton || !box->button(button))
            QTest::keyClick(box, button == QMessageBox::NoButton ? Qt::Key_Escape : Qt::Key_Return);
        else
            box->button(button)->click();
    }
    QList<QMessageBox::StandardButton> answers;
    QPointer<QMessageBox> pending;
    QTimer timer;
};

// A program directory with server.conf and the status pictures.
inline void makeProgramDir(const QString& dir, const QByteArray& serverConf, bool pictures = true)
{
    writeFile(dir + "/server.conf", serverConf);
    QDir().mkpath(dir + "/buttons");
    for (const char* name : {"spot_on_green.png", "spot_off_red.png"})
        QVERIFY(!pictures || QFile::copy(SHAREDECK_DATA_DIR "/buttons/" + QString(name), dir + "/buttons/" + name));
}

// The dialog on a fresh program directory, with tool checks that pass; uid and gid differ. Its command bound
// is a bound on a fault (60 s); a test of a command that never ends shortens it for that command.
struct Fixture {
    explicit Fixture(bool asRoot = true, const QByteArray& serverConf = "localhost\n")
    {
        makeProgramDir(programDir.path(), serverConf);
        const QString self = QCoreApplication::applicationFilePath();
        systemPaths() = {self, self, programDir.path(), 60000, 3600000, asRoot, 4711, 4700};
        dialog.reset(new sharedeck);
        dialog->show();
        dialog->UsernameLineEdit->setText("alice");
        dialog->PasswordLineEdit->setText("secret");
    }
    QTableWidget* table() const { return dialog->tableWidget; }
    // A listing has ended: the Info view, or a share table with all its buttons.
    bool settled() const
    {
        return (table()->columnCount() == 1 && table()->item(0, 0)) ||
               (table()->columnCount() == 5 && rowButtons(table()).size() == table()->rowCount());
    }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < table()->rowCount(); ++r)
            texts << (table()->item(r, c) ? table()->item(r, c)->text() : QString());
        return texts;
    }
    // Each row's button text and status picture: G green, R red, - none.
    QString rows() const
    {
        QString rows;
        for (int r = 0; r < table()->rowCount(); ++r) {
            const QImage image = table()->item(r, 4) ? table()->item(r, 4)->icon().pixmap(16).toImage() : QImage();
            const QColor c = image.isNull() ? QColor() : image.pixelColor(8, 8);
            rows += button(r)->text() + (image.isNull() ? " - " : c.green() > c.red() ? " G "
                                                                                      : " R ");
        }
        return rows.trimmed();
    }
    QPushButton* button(int row) const { return qobject_cast<QPushButton*>(table()->cellWidget(row, 0)); }
    QStringList& mountedDirs() const { return SharedeckProbe::mountedDirs(*dialog); }
    QTemporaryDir programDir;
    std::unique_ptr<sharedeck> dialog;
};
