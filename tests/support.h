#pragma once
// Helpers for driving the dialog in tests: its state, answers to its modal
// boxes, a program directory and stand-in programs on PATH.

#include "dialogsupport.h"
#include "sharedeck.h"
#include "systempaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

class SharedeckProbe
{
public:
    static QStringList& mountedDirs(sharedeck& d)
    {
        return d.mountedDirs;
    }
};

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon;
    int pointSize;
    bool windowShown;
};

// Records every box as it opens and answers the topmost one with the given
// buttons in turn (Escape once they are used up), one timer tick after it was
// first seen, so queued calls that would open further boxes run first.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(QList<QMessageBox::StandardButton> answers = {}) : answers(answers)
    {
        qApp->installEventFilter(this);
        connect(&timer, &QTimer::timeout, this, &BoxAnswerer::answer);
        timer.start(0);
    }
    QList<SeenBox> seen;
    std::function<void(const SeenBox&)> onSeen = [](const SeenBox&) {};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box && event->type() == QEvent::Show) {
            bool shown = false;
            for (QWidget* w : QApplication::topLevelWidgets())
                shown |= w->inherits("sharedeck") && w->isVisible();
            seen.append({box->windowTitle(), box->text(), box->icon(), box->font().pointSize(), shown});
            onSeen(seen.last());
        }
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
        if (button == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(button)->click();
    }
    QList<QMessageBox::StandardButton> answers;
    QPointer<QMessageBox> pending;
    QTimer timer;
};

inline void writeFile(const QString& path, const QByteArray& content, bool executable = false)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
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

// A program directory with server.conf and the status pictures.
inline void makeProgramDir(const QString& dir, const QByteArray& serverConf = "localhost\n", bool pictures = true)
{
    writeFile(dir + "/server.conf", serverConf);
    QDir().mkpath(dir + "/buttons");
    for (const char* name : {"spot_on_green.png", "spot_off_red.png"})
        QVERIFY(!pictures ||
                QFile::copy(QStringLiteral(SHAREDECK_DATA_DIR "/buttons/") + name, dir + "/buttons/" + name));
}

// Shell scripts put in front of PATH in place of the real programs.
class StandIns
{
public:
    StandIns()
    {
        qputenv("PATH", (dir.path() + ":" + originalPath).toLocal8Bit());
    }
    ~StandIns()
    {
        qputenv("PATH", originalPath.toLocal8Bit());
    }
    void write(const QString& name, const QByteArray& body) const
    {
        writeFile(dir.filePath(name), "#!/bin/bash\n" + body + "\n", true);
    }
    QString path(const QString& name) const
    {
        return dir.filePath(name);
    }
    const QString originalPath = qEnvironmentVariable("PATH");
    QTemporaryDir dir;
};

// The dialog on a fresh program directory, with tool checks that pass and a
// command bound short enough for tests of commands that never end.
struct Fixture {
    explicit Fixture(bool asRoot = true, const QByteArray& serverConf = "localhost\n")
    {
        makeProgramDir(programDir.path(), serverConf);
        systemPaths() = {QCoreApplication::applicationFilePath(),
                         QCoreApplication::applicationFilePath(),
                         programDir.path(),
                         1000,
                         3600000,
                         asRoot};
        dialog.reset(new sharedeck);
        dialog->show();
        dialog->UsernameLineEdit->setText("alice");
        dialog->PasswordLineEdit->setText("secret");
    }
    QTableWidget* table() const
    {
        return dialog->tableWidget;
    }
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
    // The rows' status pictures: G green, R red, - none.
    QString spots() const
    {
        QString spots;
        for (int r = 0; r < table()->rowCount(); ++r) {
            const QImage image = table()->item(r, 4) ? table()->item(r, 4)->icon().pixmap(16).toImage() : QImage();
            const QColor c = image.isNull() ? QColor() : image.pixelColor(8, 8);
            spots += image.isNull() ? '-' : c.green() > c.red() ? 'G' : 'R';
        }
        return spots;
    }
    QPushButton* button(int row) const
    {
        return qobject_cast<QPushButton*>(table()->cellWidget(row, 0));
    }
    QStringList& mountedDirs() const
    {
        return SharedeckProbe::mountedDirs(*dialog);
    }
    QTemporaryDir programDir;
    std::unique_ptr<sharedeck> dialog;
};
