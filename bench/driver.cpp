// Timing driver of bench/run.sh. Drives the dialog as the tests do and prints
// the median wall time in milliseconds of RUNS runs of one scenario:
//   sharedeck_bench load RUNS [ROWS]  "Load Shares" until the table is built and painted (of ROWS rows)
//   sharedeck_bench tables RUNS ROWS  the same with mount, without it (PATH its first directory alone, the
//                                     stand-in smbclient's) and a bare mount, in turns: the three medians
//   sharedeck_bench check RUNS        checkMounted over the table "Load Shares" built, until it ended, in
//                                     turns with a bare mount and with mount through the window's runner
//                                     alone: prints the three medians in that order
//   sharedeck_bench press RUNS [DIR]  inside tests/testbed.sh: the first row's button, mounting at DIR, until
//                                     it reads "umount"; as a normal user through pkexec and the helper
//                                     installed at $TESTBED_HELPER, as root directly
// It lists $SMB_SERVER as $SMB_USER with whatever smbclient PATH holds, and
// runs the mount PATH holds; without one the table is built, but no row's
// mount state is tested. Commands get the program's own time bound.
#include "dialogsupport.h"
#include "runningcommand.h"
#include "support.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "sharedeck_bench: %s\n", qPrintable(why));
    std::exit(1);
}

// A box means the scenario went wrong (wrong password, failed mount): stop
// with its text instead of waiting in it.
class BoxGuard : public QObject
{
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && event->type() == QEvent::Show)
            fail("a box opened: " + box->text());
        return false;
    }
};

// Runs the event loop until done() holds. It sleeps between events, so the
// commands the dialog waits for have the CPU to themselves.
template <class Done> void waitFor(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double timed(const std::function<void()>& run)
{
    QElapsedTimer clock;
    clock.start();
    run();
    return clock.nsecsElapsed() / 1e6;
}

double median(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return (ms[(ms.size() - 1) / 2] + ms[ms.size() / 2]) / 2;
}

// One way of timing in a series taken in turns with others.
struct Turn {
    std::function<void()> prepare, run;
};

// The median of each turn's RUNS timed runs, each after its untimed prepare(). This machine's speed drifts by
// more than what is sought between them, so the turns alternate run by run, in an order that changes from run
// to run.
std::vector<double> inTurns(int runs, const std::vector<Turn>& turns)
{
    const size_t n = turns.size();
    std::vector<std::vector<double>> ms(n);
    for (int i = 0; i < runs; ++i) {
        for (size_t k = 0; k < n; ++k) {
            const Turn& turn = turns[(i + k) % n];
            turn.prepare();
            ms[(i + k) % n].push_back(timed(turn.run));
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& series : ms)
        medians.push_back(median(series));
    return medians;
}

// Median of RUNS timed run() calls, each after an untimed prepare(): one series alone.
double median(int runs, const std::function<void()>& prepare, const std::function<void()>& run)
{
    return inTurns(runs, {{prepare, run}}).front();
}

void printAll(const std::vector<double>& medians)
{
    for (size_t i = 0; i < medians.size(); ++i)
        std::printf(i + 1 < medians.size() ? "%.3f " : "%.3f\n", medians[i]);
}

// Runs mount without arguments as hyperfine -N does: spawned straight from this process, its output to
// /dev/null, waited for. The state test's baseline, timed in turns with it.
void bareMount()
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char name[] = "mount";
    char* argv[] = {name, nullptr};
    pid_t pid = 0;
    int status = 0;
    const int error = posix_spawnp(&pid, name, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("bare mount failed");
}

// Notes whether the view has painted the share table once it was whole: a button in every row, standing in its
// cell, and where mount can run the last row's state tested (rows go in order). The rows' layout and their first
// paint are part of building the table, whenever the event loop gets to them.
class TablePainted : public QObject
{
public:
    TablePainted(const Fixture& f, bool tested) : f(f), tested(tested)
    {
        f.table()->viewport()->installEventFilter(this);
    }
    bool whole() const
    {
        const int n = f.table()->rowCount();
        QPushButton* last = n && f.table()->columnCount() == 5 ? f.button(n - 1) : nullptr;
        return last && (!tested || !last->text().isEmpty()) &&
               last->geometry().intersects(f.table()->visualRect(f.table()->model()->index(n - 1, 0)));
    }
    bool painted = false;

private:
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted |= event->type() == QEvent::Paint && whole();
        return false;
    }
    const Fixture& f;
    const bool tested;
};

// Clicks "Load Shares" and waits until the share table is built and painted.
void load(Fixture& f, int rows = 0)
{
    TablePainted table(f, !QStandardPaths::findExecutable("mount").isEmpty());
    f.dialog->ServerLoadButton->click();
    waitFor([&] {
        if (f.table()->columnCount() == 1 && f.table()->item(0, 0))
            fail("Info view: " + f.table()->item(0, 0)->text());
        return table.painted;
    });
    if (rowButtons(f.table()).size() != f.table()->rowCount())
        fail("not one button per row");
    if (rows && f.table()->rowCount() != rows)
        fail(QString("%1 rows instead of %2").arg(f.table()->rowCount()).arg(rows));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    BoxGuard guard;
    app.installEventFilter(&guard);
    QTimer::singleShot(600000, [] { fail("timed out"); });
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    const int runs = qMax(1, args.value(1).toInt());
    std::unique_ptr<Fixture> f;
    const auto fresh = [&] { // the dialog with server and credentials, before "Load Shares"
        f = std::make_unique<Fixture>(::geteuid() == 0);
        systemPaths().commandTimeoutMs = SystemPaths().commandTimeoutMs;
        if (!systemPaths().asRoot)
            systemPaths().programDir = QFileInfo(qEnvironmentVariable("TESTBED_HELPER")).path();
        f->dialog->ServerComboBox->setItemText(0, qEnvironmentVariable("SMB_SERVER", "localhost"));
        f->dialog->UsernameLineEdit->setText(qEnvironmentVariable("SMB_USER", "alice"));
        f->dialog->PasswordLineEdit->setText(qEnvironmentVariable("SMB_PASSWORD", "secret"));
    };
    double ms = 0;
    if (mode == "load" && args.size() <= 3) {
        ms = median(runs, fresh, [&] { load(*f, args.value(2).toInt()); });
    } else if (mode == "tables" && args.size() == 3) {
        // The table with mount, the table without (PATH only the stand-in smbclient's directory, its first) and
        // a bare mount, in turns.
        const QByteArray path = qgetenv("PATH");
        const QByteArray listDir = path.left(path.indexOf(':'));
        const int rows = args.value(2).toInt();
        const auto on = [&](const QByteArray& dirs, bool window) {
            return [&, dirs, window] {
                qputenv("PATH", dirs);
                if (window)
                    fresh();
            };
        };
        const auto table = [&] { load(*f, rows); };
        printAll(inTurns(runs, {{on(path, true), table}, {on(listDir, true), table}, {on(path, false), bareMount}}));
        return 0;
    } else if (mode == "check" && args.size() == 2) {
        fresh();
        load(*f);
        // The state test runs in the background under the wait cursor: it has ended when the cursor is gone.
        const auto test = [&] {
            QMetaObject::invokeMethod(f->dialog.get(), "checkMounted");
            waitFor([] { return !QApplication::overrideCursor(); });
        };
        // What the window's runner costs alone: mount started and awaited as the window does it, with no window.
        RunningCommand runner(maxListingBytes);
        const auto throughRunner = [&] {
            if (!runner.start(mountListCommand()))
                fail("mount through the runner did not start");
            runner.waitForEnd();
        };
        const auto nothing = [] {};
        printAll(inTurns(runs, {{nothing, test}, {nothing, bareMount}, {nothing, throughRunner}}));
        return 0;
    } else if (mode == "press" && args.size() <= 3 && qEnvironmentVariableIsSet("TESTBED_DIR")) {
        fresh();
        load(*f);
        const QString dir = args.value(2, qEnvironmentVariable("TESTBED_DIR") + "/bench");
        QDir().mkpath(dir);
        f->table()->item(0, 2)->setText(dir);
        QPushButton* button = f->button(0);
        // A press within the double-click interval after the row's command ended is ignored: wait it out,
        // untimed, before each press.
        const auto pause = [] { QTest::qWait(QApplication::doubleClickInterval() + 50); };
        const auto unmount = [&] {
            pause();
            if (button->text() == "umount")
                button->click();
            waitFor([&] { return button->text() == "mount" && !QApplication::overrideCursor(); });
            pause();
        };
        ms = median(runs, unmount, [&] {
            button->click();
            waitFor([&] { return button->text() == "umount"; });
        });
        unmount();
    } else {
        fail("usage: see the head of bench/driver.cpp");
    }
    std::printf("%.3f\n", ms);
    return 0;
}
