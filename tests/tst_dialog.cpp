// The dialog with stand-ins for crashes, exit codes, hostile, chunked or endless output and hangs.
// A failed start-up check ends the process, so those run in a child ("--drive").
#include "commands.h"
#include "serverdiscovery.h"
#include "support.h"

#include <QtDBus>
#include <qt6keychain/keychain.h>

#include <signal.h>

using Answers = QList<QMessageBox::StandardButton>;

namespace {

// mount: no arguments lists mount.listing (noted in mount.runs), else notes them in "ran" and runs body.
QByteArray mountStandIn(const QByteArray& body)
{
    return "cd \"$(dirname \"$0\")\"\n"
           "if [ $# = 0 ]; then echo >>mount.runs; echo 'proc on /proc type proc (rw)'; cat mount.listing; exit 0; fi\n"
           "echo \"mount $*\" >>ran\n" +
           body;
}
// pkexec HELPER ARGS...: the authentication, the helper's marker as root, notes ARGS and the standard input.
QByteArray pkexecStandIn(const QByteArray& body, const QByteArray& authentication = {})
{
    return "cd \"$(dirname \"$0\")\"; " + authentication + "\necho 'sharedeck-mount: authorised'; echo \"pkexec ${*:2} <$(cat)>\" >>ran\n" + body;
}
// Lists the "//server/share" argument as mounted at the argument after it.
const QByteArray mounts =
    "for a; do [ -n \"${s-}\" ] && printf '%s on %s type cifs (rw,uid=4711)\\n' \"$s\" \"$a\" >>mount.listing "
    "&& exit 0; [[ $a = //* ]] && s=$a; done";
const QByteArray hangs = "sleep 600 & echo $! >child; wait";

// A text as expected: exact, or around one "*" that stands for anything.
bool matches(const QString& seen, const QString& expected)
{
    const QStringList part = expected.split('*');
    return part.size() == 1 ? seen == expected : seen.size() >= expected.size() - 1 && seen.startsWith(part[0]) && seen.endsWith(part[1]);
}

// Row 0's button: how mount or pkexec answer; the boxes, what ran and the row after.
struct Press {
    bool asRoot = true;
    QByteArray authentication = {};       // what pkexec does before the helper runs
    QString user = "alice", cell = "DIR"; // DIR: an empty directory in the mount base BASE
    QByteArray onMount = mounts;          // empty: not installed
    Answers answers = {};
    QString ran = "mount -t cifs //localhost/a DIR"; // how the run's arguments start; empty: nothing ran
    QStringList boxes = {};
    QString row = "mount R";
    QString listed = {};  // the mount listing before the table is built
    QString options = {}; // row 0's, if given
    bool english = false; // the window in English
    QString tip = {};     // row 0's button's tooltip, as far as its first ":"
};
// Closing (by Escape) with directories known as mounted or a row's mount running: boxes, umount runs.
struct Closing {
    QStringList mounted;     // listed as mounted for uid 4711, unless listing is given
    QByteArray onMount = {}; // empty: no mount runs
    Answers answers = {};
    QStringList boxes = {};
    QString unmounted = {};
    bool asUser = false;
    QByteArray authentication = {};
    QString listing = {};
    bool byEscape = false;
    bool english = false;
};

// "Passwort merken" in a window over localhost's listing: the keyring, what is kept for alice@localhost before,
// what the user types while the look-up waits, how the password is used; the field, the box and what is kept after.
struct Remember {
    QString keyring = "running"; // "none": no Secret Service on the bus; "slow": it answers once the typing is done
    QString before = {}, typed = {};
    QString use = {};               // "list", "mount" (after a listing with the box unchecked), "Kerberos", "refused"; empty: none
    QString after = {}, kept = "-"; // "FIELD|BOX" (BOX: checked, unchecked, disabled); kept: "-" for no item
};

} // namespace

Q_DECLARE_METATYPE(Press)
Q_DECLARE_METATYPE(Closing)
Q_DECLARE_METATYPE(Remember)

class DialogTest : public QObject
{
    Q_OBJECT

    // Runs "Load Shares" with the given smbclient; a null one is not on PATH at all.
    void load(Fixture& f, const QByteArray& smbclient)
    {
        if (smbclient.isNull())
            withoutProgram("smbclient");
        else
            write("smbclient", smbclient);
        systemPaths().mountBase = dir->path();
        f.table()->setColumnCount(0); // not settled until this listing ends
        f.dialog->ServerLoadButton->click();
        QTRY_VERIFY(f.settled() && !QApplication::overrideCursor()); // and the rows' state tested
    }
    // Lists shares a, b, c; row 0 points at a fresh directory.
    void loadRows(Fixture& f)
    {
        load(f, "printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        f.table()->item(0, 2)->setText(place("DIR"));
    }
    // A mount that hangs, or an authentication that outlasts it, meets a 1 s bound.
    void onMount(const QByteArray& body, const QByteArray& authentication = {})
    {
        systemPaths().commandTimeoutMs = body == hangs || authentication.startsWith("sleep") ? 1000 : 60000;
        write("mount", mountStandIn(body));
        write("pkexec", pkexecStandIn(body, authentication));
    }
    void write(const QString& name, const QByteArray& body) { writeFile(bin->filePath(name), "#!/bin/bash\n" + body + "\n", true); }
    void withoutProgram(const QString& name) { QFile::remove(bin->filePath(name)), qputenv("PATH", bin->path().toLocal8Bit()); }
    QString ran() const { return readFile(bin->filePath("ran")); }
    QString place(QString s) const { return s.replace("DIR", dir->path() + "/d").replace("BASE", dir->path()); }
    void compareBoxes(const QStringList& seen, const QStringList& expected)
    {
        QCOMPARE(seen.size(), expected.size());
        for (int i = 0; i < seen.size(); ++i)
            QVERIFY2(matches(seen[i], place(expected[i])), qPrintable(seen[i].left(500)));
    }
    // A private session bus for the whole run (the tester's own keyring is never touched), without any Secret
    // Service until a row needs one: then gnome-keyring-daemon, unlocked, with a home of its own.
    QTemporaryDir keyringHome;
    QProcess bus, keyring;
    // Runs a keyring job to its end; jobs run one at a time, so those started before it have ended too.
    QString keyringCall(QKeychain::Job* job)
    {
        job->setKey("alice@localhost");
        QSignalSpy done(job, &QKeychain::Job::finished);
        job->setAutoDelete(false), job->start();
        if (!done.wait(10000)) // a job that still waits must not be deleted
            return QTest::qFail("the keyring did not answer within 10 s", __FILE__, __LINE__), "no answer";
        const auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(job);
        const QString text = job->error() || !read ? QStringLiteral("-") : read->textData();
        delete job;
        return text;
    }
    const QString path = qEnvironmentVariable("PATH");
    std::unique_ptr<QTemporaryDir> bin; // shell scripts in front of PATH in place of real programs
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void initTestCase()
    {
        writeFile(keyringHome.filePath("bus.conf"), "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                                                    "<auth>EXTERNAL</auth><policy context='default'><allow send_destination='*' "
                                                    "eavesdrop='true'/><allow eavesdrop='true'/><allow own='*'/></policy></busconfig>");
        bus.start("dbus-daemon", {"--nofork", "--print-address", "--config-file=" + keyringHome.filePath("bus.conf")});
        QVERIFY2(bus.waitForReadyRead(10000), "no session bus: dbus-daemon (package dbus) did not start");
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
        qunsetenv("DISPLAY");
    }
    void cleanupTestCase()
    {
        for (QProcess* p : {&keyring, &bus})
            p->kill(), p->waitForFinished();
    }
    void init()
    {
        bin.reset(new QTemporaryDir);
        qputenv("PATH", (bin->path() + ":" + path).toLocal8Bit());
        onMount(mounts);
        write("klist", "exit 1"); // no Kerberos ticket, whatever the tester holds
        write("umount", "cd \"$(dirname \"$0\")\"; echo \"umount $*\" >>ran; [ \"$1\" != /fail ] || "
                        "{ echo 'umount: /fail: not mounted.' >&2; exit 32; }; "
                        "grep -vF \" on $1 type \" mount.listing >l; mv l mount.listing");
        writeFile(bin->filePath("mount.listing"), "");
        dir.reset(new QTemporaryDir);
        QDir(dir->path()).mkdir("d");
    }
    void cleanup()
    {
        QTRY_VERIFY(!QApplication::overrideCursor());
        QVERIFY(!QApplication::activeModalWidget());
        if (QFile::exists(bin->filePath("child"))) // what a stopped command started is gone too
            QTRY_VERIFY(!running(readFile(bin->filePath("child"))));
        qputenv("PATH", path.toLocal8Bit());
    }

    void startup_data()
    {
        QTest::addColumn<QByteArray>("serverConf"); // "missing", "directory" or the file's content
        QTest::addColumn<QString>("absent");        // of smbclient, mount.cifs, pictures
        QTest::addColumn<QStringList>("out");       // "box CURSOR WINDOW_SHOWN ICON POINT_SIZE title | text"
        const QString conf = "box 0 0 3 12 sharedeck | <b>Fehler: Server Konfigurations-Datei nicht gefunden*";
        const QString smb = "box 0 %1 3 12 sharedeck | <b>Fehler: smbclient nicht gefunden!*Paket smbclient.";
        const QString cifs = "box 0 1 3 12 sharedeck | <b>Fehler: mount.cifs nicht gefunden!*Paket cifs-utils.";
        QTest::newRow("all present") << QByteArray("alpha") << "" << QStringList{"running"};
        QTest::newRow("no pictures") << QByteArray("alpha") << "pictures" << QStringList{"running"};
        QTest::newRow("no server.conf") << QByteArray("missing") << "" << QStringList{conf};
        QTest::newRow("empty server.conf") << QByteArray() << "" << QStringList{conf};
        QTest::newRow("unreadable server.conf") << QByteArray("directory") << "" << QStringList{conf};
        QTest::newRow("no smbclient") << QByteArray("alpha") << "smbclient" << QStringList{smb.arg(1)};
        QTest::newRow("no mount.cifs") << QByteArray("alpha") << "mount.cifs" << QStringList{cifs};
        QTest::newRow("no tools") << QByteArray("alpha") << "smbclient mount.cifs" << QStringList{smb.arg(1), cifs};
        QTest::newRow("no server.conf, no smbclient") << QByteArray("missing") << "smbclient" << QStringList{conf, smb.arg(0)};
    }
    void startup()
    {
        QFETCH(QByteArray, serverConf);
        QFETCH(QString, absent);
        QFETCH(QStringList, out);
        QTemporaryDir d;
        makeProgramDir(d.path(), serverConf, !absent.contains("pictures"));
        if (serverConf == "missing" || serverConf == "directory")
            QVERIFY(QFile::remove(d.filePath("server.conf")) &&
                    (serverConf == "missing" || QDir(d.path()).mkdir("server.conf")));
        const QString self = QCoreApplication::applicationFilePath();
        QProcess child;
        child.start(self, {"--drive", d.path(), absent.contains("smbclient") ? d.filePath("x") : self,
                           absent.contains("mount.cifs") ? d.filePath("x") : self});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), out == QStringList{"running"} ? 0 : 1);
        compareBoxes(QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), out);
    }

    // Servers found on the network by stand-ins for wsdd, avahi-browse and getent (a null one is not installed),
    // which find less once the file "gone" exists. The chooser after the round at start ("~": by host key, where
    // which of a host's names resolves first may vary), then after it was opened again with "gone" made and
    // 198.51.100.12 selected ("selected") or a share mounted ("mounted"); "close": the window closes during the round.
    void discovery_data()
    {
        QTest::addColumn<QByteArray>("wsdd");
        QTest::addColumn<QByteArray>("avahi");
        QTest::addColumn<QByteArray>("getent");
        QTest::addColumn<QString>("chooser");
        QTest::addColumn<QString>("again");
        const QByteArray both = "echo 'INFO: discovered Büro-NAS in Workgroup:WG on 198.51.100.11%eth0'; [ -e gone ] || echo 'INFO: discovered NAS2 in Workgroup:WG on 198.51.100.12%eth0'; ",
                         avahi = "[ -e gone ] || echo '=;eth0;IPv4;NAS2;_smb._tcp;local;nas2.local;198.51.100.12;445;'",
                         flood = "i=0; while :; do echo \"=;eth0;IPv4;X;_smb._tcp;local;h$i.local;10.0.$((i / 250)).$((i % 250));445;\"; i=$((i + 1)); done";
        QTest::newRow("both ways: once, after server.conf, by name") << both + hangs << avahi << QByteArray("exit 0") << "~alpha|büro-nas|nas2"
                                                                     << "~alpha|büro-nas";
        QTest::newRow("a name that does not resolve: its address") << both << avahi << QByteArray("[ \"$2\" = Büro-NAS ]") << "alpha|198.51.100.12|Büro-NAS"
                                                                   << "alpha|Büro-NAS";
        QTest::newRow("the selected one stays") << both << avahi << QByteArray() << "alpha|198.51.100.11|198.51.100.12"
                                                << "alpha|198.51.100.11|198.51.100.12 selected";
        QTest::newRow("none goes while a share is mounted") << both << avahi << QByteArray() << "alpha|198.51.100.11|198.51.100.12"
                                                            << "alpha|198.51.100.11|198.51.100.12 mounted";
        QTest::newRow("in server.conf already, in other letters") << both << avahi << QByteArray("exit 0") << "~alpha|büro-nas|nas2"
                                                                  << "";
        QTest::newRow("nothing installed") << QByteArray() << QByteArray() << QByteArray() << "alpha"
                                           << "alpha";
        QTest::newRow("no daemon, a hang: bounded") << QByteArray(hangs) << QByteArray("echo 'Failed to create client object: Daemon not running'; exit 1") << QByteArray(hangs) << "alpha"
                                                    << "";
        QTest::newRow("a flood: 64 servers taken, bounded") << QByteArray("yes 'INFO: discovered X in Workgroup:WG on 1.2.3.4.5%eth0'") << flood << QByteArray("exit 1") << "64"
                                                            << "";
        QTest::newRow("closed while it runs") << QByteArray(hangs) << QByteArray() << QByteArray() << ""
                                              << "close";
    }
    void discovery()
    {
        QFETCH(QByteArray, wsdd);
        QFETCH(QByteArray, avahi);
        QFETCH(QByteArray, getent);
        QFETCH(QString, chooser);
        QFETCH(QString, again);
        QTemporaryDir programDir;
        makeProgramDir(programDir.path(), QByteArray("alpha\n") + (QTest::currentDataTag()[0] == 'i' ? "büro-nas.example.org\n" : ""));
        const QString self = QCoreApplication::applicationFilePath();
        const int bound = again == "close" ? 60000 : 3000; // wsdd's window ends each round
        systemPaths() = {self, self, programDir.path(), 1000, 3600000, true, 4711, 4700, "/mnt", true, bin->filePath("wsdd"), bin->filePath("avahi-browse"), bin->filePath("getent"), bound, bound, 30000};
        for (const auto& [name, body] : {std::pair("wsdd", wsdd), {"avahi-browse", avahi}, {"getent", getent}})
            body.isNull() ? void(QFile::remove(bin->filePath(name))) : write(name, "cd \"$(dirname \"$0\")\"; echo \"$0 $*\" >>ran; " + body);
        BoxAnswerer answerer;
        auto dialog = std::make_unique<sharedeck>();
        dialog->show();
        QComboBox* box = dialog->ServerComboBox;
        const auto entries = [box](const QString& expected) { // the first as in server.conf, the others sorted
            QStringList r;
            for (int i = 0; i < box->count(); ++i)
                r << (expected.startsWith('~') ? hostKey(box->itemText(i)) : box->itemText(i));
            std::sort(r.begin() + 1, r.end());
            return expected.toInt() ? QString::number(box->count() - 1) : (expected.startsWith('~') ? "~" : "") + r.join('|');
        };
        const auto* discovery = dialog->findChild<ServerDiscovery*>();
        QVERIFY(discovery);
        if (again == "close")
            QTRY_VERIFY(QFile::exists(bin->filePath("child")) && discovery->searching());
        else
            QTRY_VERIFY_WITH_TIMEOUT(!discovery->searching(), 60000);
        QCOMPARE(entries(chooser), chooser.isEmpty() ? "alpha" : chooser);
        QCOMPARE(box->currentIndex(), 0);
        if (again.contains('|')) {
            writeFile(bin->filePath("gone"), "");
            box->setCurrentIndex(again.endsWith("selected") ? box->findText("198.51.100.12") : 0);
            if (again.endsWith("mounted"))
                SharedeckProbe::mountedDirs(*dialog) << "/mnt/x";
            QFile::remove(bin->filePath("ran"));
            box->showPopup(); // opening the chooser asks again
            box->hidePopup();
            QTRY_VERIFY_WITH_TIMEOUT(!discovery->searching() && (wsdd.isNull() || QFile::exists(bin->filePath("ran"))), 60000);
            QCOMPARE(entries(again.section(' ', 0, 0)), again.section(' ', 0, 0));
        }
        dialog.reset(); // closing ends what still runs (cleanup() checks)
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(wsdd.isNull() || readFile(bin->filePath("ran")).contains(bin->filePath("wsdd") + " --discovery --no-host -4 --shortlog -v\n"));
    }

    // After a listing of one share, so what a case shows must come from its own run.
    void listing_data()
    {
        QTest::addColumn<QByteArray>("smbclient");
        QTest::addColumn<QStringList>("shares"); // the share table's names, or
        QTest::addColumn<QString>("info");       // the Info view's text, or a box ("title | text")
        QStringList many;
        for (int i = 1; i <= 5000; ++i)
            many << QString("share %1").arg(i);
        QTest::newRow("crash") << QByteArray("echo 'Disk|x|y'; kill -SEGV $$") << QStringList{} << "ERROR: SMBCLIENT CRASHED";
        QTest::newRow("exit 1: output, then errors") << QByteArray("echo 'Disk|x|'; echo 'do_connect: refused' >&2; exit 1") << QStringList{} << "Disk|x|\ndo_connect: refused\n";
        QTest::newRow("cannot start") << QByteArray() << QStringList{} << "ERROR: SMBCLIENT COULD NOT BE STARTED";
        QTest::newRow("exit 2 is success") << QByteArray("echo 'Disk|a|'; exit 2") << QStringList{"a"} << "";
        QTest::newRow("no disk share") << QByteArray("echo 'IPC|IPC$|'; echo 'Disk|C$|'") << QStringList{} << "Der Server hat keine Festplatten-Freigaben aufgelistet.";
        QTest::newRow("5000 shares in small chunks") << QByteArray("for i in $(seq 5000); do printf 'Disk|share %d|c\\n' $i; done") << many << "";
        QTest::newRow("non-ASCII, hostile, hidden, zero byte, no line end") << QByteArray("printf 'Disk|B\\xc3\\xbcro|\\nDisk|../etc|x\\nDisk|C$|\\nDisk|ok|\\0 z\\nDisk|last|'") << QStringList{"Büro", "ok", "last"} << "";
        QTest::newRow("8 MB on standard error: 1 MiB kept") << QByteArray("head -c 8000000 /dev/zero | tr '\\0' e >&2; exit 1") << QStringList{} << "eeeee*eeeee… (gekürzt)";
        QTest::newRow("never ends: stopped with its children") << QByteArray(hangs) << QStringList{} << "Der Server hat nicht innerhalb von 1 s geantwortet; die Abfrage wurde abgebrochen.*";
        QTest::newRow("wrong password behind warnings, all lines shown") << QByteArray("echo 'WARNING: The \"syslog\" option is deprecated' >&2; echo 'session setup failed: NT_STATUS_LOGON_FAILURE'; exit 1") << QStringList{} << "Benutzername oder Passwort sind falsch.*\n\nsession setup failed: NT_STATUS_LOGON_FAILURE\n\nAusgabe von smbclient:\nsession setup failed: NT_STATUS_LOGON_FAILURE\nWARNING: The \"syslog\" option is deprecated\n";
        QTest::newRow("names the helper refuses: not mountable") << QByteArray("printf 'Disk|-dash|\nDisk|a,b|\nDisk|a\\\\b|\nDisk|ok|\n'") << QStringList{"-dash", "a,b", "a\\b", "ok"} << "";
        QTest::newRow("output over 64 MiB") << QByteArray("yes 'Disk|x|' | head -c 70000000") << QStringList{} << "FEHLER: DIE AUSGABE VON SMBCLIENT IST ZU GROSS (ÜBER 64 MiB)";
        QTest::newRow("no password") << QByteArray("") << QStringList{"previous"} << "sharedeck | <b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!</b><br><br>Bitte füllen Sie die Felder username und password aus.";
        QTest::newRow("no user") << QByteArray("") << QStringList{"previous"} << "sharedeck | <b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!*";
        QTest::newRow("% in the user name") << QByteArray("") << QStringList{"previous"} << "sharedeck | Der Benutzername darf kein \"%\" enthalten.";
        QTest::newRow("Kerberos: a ticket, no password") << QByteArray("echo \"Disk|x $*;${PASSWD-unset}|\"") << QStringList{"x -g -L localhost --use-kerberos=required -N;unset"} << "";
        QTest::newRow("Kerberos: server given by address") << QByteArray("echo 'Disk|ran|'") << QStringList{} << "Kerberos braucht den Namen des Servers, nicht seine Adresse.*";
        QTest::newRow("Kerberos: login fails") << QByteArray("echo 'session setup failed: NT_STATUS_LOGON_FAILURE'; exit 1") << QStringList{} << "Die Anmeldung mit Kerberos ist fehlgeschlagen*\n\nsession setup failed: NT_STATUS_LOGON_FAILURE\n\nAusgabe von smbclient:\nsession setup failed: NT_STATUS_LOGON_FAILURE\n";
        QTest::newRow("Kerberos: the ticket expired since the last listing") << QByteArray("") << QStringList{"previous"} << "sharedeck | <b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!</b><br><br>Bitte füllen Sie die Felder username und password aus.<br><br>Ihr Kerberos-Ticket ist nicht mehr gültig*";
        QTest::newRow("Kerberos: a cache of run-out tickets, a window that never used one") << QByteArray("") << QStringList{"previous"} << "sharedeck | <b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!</b><br><br>Bitte füllen Sie die Felder username und password aus.<br><br>Ihr Kerberos-Ticket ist nicht mehr gültig*";
        QTest::newRow("Kerberos: no klist") << QByteArray("") << QStringList{"previous"} << "sharedeck | <b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!*";
        QTest::newRow("English: no password") << QByteArray("") << QStringList{"previous"} << "sharedeck | <b>Error: you have not given a user name and/or a password!</b><br><br>Please fill in the fields username and password.";
        QTest::newRow("English: wrong password") << QByteArray("echo 'session setup failed: NT_STATUS_LOGON_FAILURE'; exit 1") << QStringList{} << "The user name or the password is wrong. Please check both and try again.\n\nsession setup failed: NT_STATUS_LOGON_FAILURE\n\nOutput of smbclient:\nsession setup failed: NT_STATUS_LOGON_FAILURE\n";
    }
    void listing()
    {
        QFETCH(QByteArray, smbclient);
        QFETCH(QStringList, shares);
        QFETCH(QString, info);
        const QByteArray tag = QTest::currentDataTag();
        English english(tag.startsWith("English"));
        Fixture f(true, tag.contains("address") ? "//127.0.0.1\n" : "localhost\n");
        if (tag.contains("expired")) // the previous listing with a ticket
            f.dialog->PasswordLineEdit->clear(), write("klist", "exit 0");
        load(f, "echo 'Disk|previous|'");
        if (tag.startsWith("Kerberos")) { // the password left empty, and klist finds a ticket (or none, or is missing)
            f.dialog->PasswordLineEdit->clear();
            tag.contains("klist") ? withoutProgram("klist") : write("klist", tag.contains("cache") ? "[ $# = 0 ]" : tag.contains("expired") ? "exit 1"
                                                                                                                                            : "exit 0");
        }
        if (info.startsWith("sharedeck | ")) { // the field the row names is left empty, or the user name holds "%"
            tag == "no user" ? f.dialog->UsernameLineEdit->clear() : tag.endsWith("no password") ? f.dialog->PasswordLineEdit->clear()
                                                                                                 : f.dialog->UsernameLineEdit->setText("al%ice");
            write("smbclient", "echo 'Disk|x|'");
            BoxAnswerer boxes;
            f.dialog->ServerLoadButton->click();
            QTRY_VERIFY(!boxes.seen.isEmpty()); // after klist, without a password
            compareBoxes(boxes.seen, {info});
        } else {
            [[maybe_unused]] const qint64 before = residentBytes();
            systemPaths().commandTimeoutMs = smbclient == hangs ? 1000 : 60000;
            load(f, smbclient);
#ifndef __SANITIZE_ADDRESS__ // which holds on to freed memory
            QVERIFY2(!smbclient.startsWith("head") || residentBytes() - before < (10 << 20), "standard error kept whole");
#endif
        }
        if (!info.isEmpty() && shares.isEmpty()) {
            const QString text = f.column(0).join("");
            QCOMPARE(f.table()->horizontalHeaderItem(0)->text(), "Info");
            QVERIFY(text.size() <= maxShownBytes + 200);
            QVERIFY2(matches(text, info), qPrintable(text.right(200)));
            // Every line shown, none cut off with "…".
            QVERIFY(text.size() > 1000 || f.table()->rowHeight(0) >= f.table()->fontMetrics().lineSpacing() * (text.count('\n') + 1));
            return;
        }
        QCOMPARE(f.column(1), shares);
        QCOMPARE(f.column(2), QStringList(shares).replaceInStrings(QRegularExpression("^"), place("BASE/")));
        QCOMPARE(f.column(3), QStringList(shares.size(), QString("gid=1000,uid=1000,sec=") + (tag.contains("a ticket") || tag.contains("expired") ? "krb5" : "ntlmssp")));
        QTRY_COMPARE(f.rows(), QString("mount R ").repeated(shares.size()).trimmed());
        QString refused; // rows the helper would refuse: a disabled button that says why
        for (int r = 0; r < shares.size(); ++r)
            refused += !f.button(r)->isEnabled() && f.button(r)->toolTip().startsWith("Diese Freigabe lässt sich nicht einhängen") ? "1" : "0";
        QCOMPARE(refused, shares.size() == 4 ? "1110" : QString(shares.size(), '0'));
    }

    // The user name has the focus at start. A listing does not block the window: a click for another server ends it
    // and lists that one (as written in server.conf, without blanks around it), whose table it is; the header says so
    // while the chooser shows another. A click reaches its row after rebuilds, as edited (Enter in the table ends the
    // edit and loads nothing).
    void rowPressAfterRebuilds()
    {
        Fixture f(true, "\\\\zulu \n\nalpha\n");
        QCOMPARE(f.dialog->focusWidget(), f.dialog->UsernameLineEdit);
        QCOMPARE(f.dialog->ServerComboBox->itemText(0) + f.dialog->ServerComboBox->itemText(1), "\\\\zulu alpha");
        for (int i = 0; i < 2; ++i)
            loadRows(f);
        write("smbclient", "echo \"$*\" >>\"$0.runs\"; sleep 0.5; printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        f.table()->setColumnCount(0);
        f.dialog->ServerLoadButton->click();
        QVERIFY(QApplication::overrideCursor() && !f.settled()); // the listing runs, the window goes on
        QTRY_VERIFY(readFile(bin->filePath("smbclient.runs")).endsWith('\n'));
        f.dialog->ServerComboBox->setCurrentIndex(1);
        f.dialog->ServerLoadButton->click();
        QTRY_VERIFY(f.settled() && !QApplication::overrideCursor());
        QCOMPARE(readFile(bin->filePath("smbclient.runs")), "-g -U alice -L \\\\zulu\n-g -U alice -L alpha\n");
        f.dialog->ServerComboBox->setCurrentIndex(0);
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(), "Sharename (von alpha)");
        f.dialog->ServerComboBox->setCurrentIndex(1);
        QCOMPARE(f.table()->horizontalHeaderItem(1)->text(), "Sharename");
        f.table()->item(2, 2)->setText(place("DIR"));
        f.table()->editItem(f.table()->item(2, 3));
        QPointer<QLineEdit> editor = f.table()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->clear();
        QTest::keyClicks(editor, "ro");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!editor || !editor->isVisible()); // closed, then deleted later
        QTest::keyClick(f.table(), Qt::Key_Return);   // after the edit, in the table itself
        QCOMPARE(f.column(3), QStringList({"gid=1000,uid=1000,sec=ntlmssp", "gid=1000,uid=1000,sec=ntlmssp", "ro"}));
        f.button(2)->click();
        QTRY_COMPARE(f.rows(), "mount R mount R umount G");
        QCOMPARE(ran(), place("mount -t cifs //alpha/c DIR -o username=alice,ro\n"));
        // Mounted: its mount point cell does not open, a change made anyway goes back, the unmount goes where it was mounted.
        const QPoint cell = f.table()->visualItemRect(f.table()->item(2, 2)).center();
        const auto doubleClick = [&] { QTest::mouseClick(f.table()->viewport(), Qt::LeftButton, {}, cell), QTest::mouseDClick(f.table()->viewport(), Qt::LeftButton, {}, cell); };
        doubleClick();
        QVERIFY(!f.table()->indexWidget(f.table()->model()->index(2, 2))); // no editor
        f.table()->item(2, 2)->setText("/mnt/c2");
        QCOMPARE(f.table()->item(2, 2)->text() + " " + f.table()->item(2, 2)->toolTip().section(':', 0, 0), place("DIR Die Freigabe ist hier eingehängt"));
        QTest::qWait(QApplication::doubleClickInterval()); // no double click
        f.button(2)->click();
        QTRY_COMPARE(f.rows(), "mount R mount R mount R");
        QCOMPARE(ran().section('\n', 1), place("umount DIR\n"));
        doubleClick();
        QVERIFY(f.table()->indexWidget(f.table()->model()->index(2, 2))); // open again
        QTest::keyClick(f.table()->indexWidget(f.table()->model()->index(2, 2)), Qt::Key_Escape);
        QTest::qWait(QApplication::doubleClickInterval());
        f.button(2)->click();
        QTRY_COMPARE(f.rows(), "mount R mount R umount G");
        loadRows(f);
        QCOMPARE(f.column(2).last(), place("BASE/c"));
        QCOMPARE(f.mountedDirs(), QStringList{place("DIR")});
    }

    void press_data()
    {
        QTest::addColumn<Press>("press");
        const QString error =
            "sharedeck: Fehler von mount | mount meldete einen Fehler! (Error-Code:%1)<br><pre style=\"white-space: pre-wrap\">%2</pre>";
        const QString failed = "sharedeck: Fehler von mount | <b>%1";
        const QString ask = "sharedeck: fehlendes mount-Verzeichnis | Das mount-Verzeichnis existiert nicht.*";
        const QString nowhere = failed.arg("Der Mountpoint muss BASE/NAME lauten: ein Name direkt in BASE, nicht . oder ..*</pre>Bitte ändern Sie ihn in der Tabelle.");
        const QString root = "mount -t cifs //localhost/a DIR", user = "pkexec mount //localhost/a DIR";
        QTest::newRow("exit 32, output in pieces, escaped") << Press{.onMount = "echo 'error(13): <b>' >&2; sleep 0.2; echo '& co' >&2; exit 32", .ran = root + " -o username=alice,gid=1000,uid=1000,sec=ntlmssp\n", .boxes = {error.arg(32).arg("error(13): &lt;b&gt;\n&amp; co\n")}};
        QTest::newRow("exit 1 without output") << Press{.onMount = "exit 1", .boxes = {error.arg(1).arg("")}};
        QTest::newRow("crash") << Press{.onMount = "echo dumped >&2; kill -SEGV $$", .boxes = {failed.arg("mount ist abgestürzt.</b><br><pre style=\"white-space: pre-wrap\">dumped\n</pre>")}};
        QTest::newRow("exit 2: mounted, but told") << Press{.onMount = QByteArray(mounts).replace("exit 0", "exit 2"), .boxes = {error.arg(2).arg("")}, .row = "umount G"};
        QTest::newRow("helper aborts") << Press{.asRoot = false, .onMount = "echo 'terminate called' >&2; exit 134", .ran = user, .boxes = {error.arg(134).arg("terminate called\n")}};
        QTest::newRow("2 MB of output are cut") << Press{.onMount = "head -c 2000000 /dev/zero | tr '\\0' o; exit 32", .boxes = {error.arg(32).arg(QString(16384, 'o') + "… (gekürzt)")}};
        QTest::newRow("helper never ends") << Press{.asRoot = false, .onMount = hangs, .ran = user, .boxes = {failed.arg("Der Befehl hat nicht innerhalb von 1 s geantwortet und wurde abgebrochen.</b><br><pre style=\"white-space: pre-wrap\"></pre>")}};
        QTest::newRow("authentication outlasts the bound") << Press{.asRoot = false, .authentication = "sleep 1.5", .ran = user, .row = "umount G"};
        QTest::newRow("mount cannot start") << Press{.onMount = "", .ran = "", .boxes = {failed.arg("mount konnte nicht gestartet werden!*")}};
        QTest::newRow("helper mounts") << Press{.asRoot = false, .ran = user + " username=alice,gid=4700,uid=4711,sec=ntlmssp <secret>\n", .row = "umount G"};
        QTest::newRow("helper refuses") << Press{.asRoot = false, .onMount = "echo 'sharedeck-mount: <nein>' >&2; exit 1", .ran = user, .boxes = {error.arg(1).arg("sharedeck-mount: &lt;nein&gt;\n")}};
        QTest::newRow("authentication dismissed") << Press{.asRoot = false, .onMount = "exit 126", .ran = user};
        QTest::newRow("not authorised") << Press{.asRoot = false, .onMount = "exit 127", .ran = user, .boxes = {failed.arg("Das Einhängen wurde nicht erlaubt.*org.example.sharedeck.mount erteilen.")}};
        QTest::newRow("no authentication agent") << Press{.asRoot = false, .authentication = "echo \"Error creating textual authentication agent: Error opening current controlling terminal for the process (\\`/dev/tty'): No such device or address\" >&2; exit 127", .ran = "", .boxes = {failed.arg("Das Einhängen wurde nicht erlaubt.</b><br><br>Es konnte kein Anmeldedialog angezeigt werden*sharedeck aufzunehmen.<pre style=\"white-space: pre-wrap\">Error creating textual authentication agent: Error opening current controlling terminal for the process (`/dev/tty'): No such device or address</pre>")}};
        QTest::newRow("umount: target is busy") << Press{.asRoot = false, .onMount = "echo 'umount: /mnt/d: target is busy.' >&2; exit 32", .ran = "pkexec umount DIR <>", .boxes = {error.arg(32).arg("umount: /mnt/d: target is busy.\n") + "Die Freigabe wird noch von einem Programm oder einem Terminal benutzt.*"}, .row = "umount G", .listed = "//localhost/a on DIR type cifs (rw,uid=4711)\n"};
        QTest::newRow("no pkexec") << Press{.asRoot = false, .onMount = "", .ran = "", .boxes = {failed.arg("pkexec konnte nicht gestartet werden!*Paket pkexec (bei älteren Systemen policykit-1).")}};
        QTest::newRow("missing directory: Enter") << Press{.cell = "BASE/new dir", .answers = {QMessageBox::Ok}, .ran = "mount -t cifs //localhost/a BASE/new dir -o", .boxes = {ask}, .row = "umount G"};
        QTest::newRow("missing directory: no") << Press{.cell = "BASE/new dir", .answers = {QMessageBox::No}, .ran = "", .boxes = {ask}};
        QTest::newRow("missing directory: yes, as a user") << Press{.asRoot = false, .cell = "BASE/new dir", .answers = {QMessageBox::Yes}, .ran = "pkexec mount --create //localhost/a BASE/new dir ", .boxes = {ask}, .row = "umount G"};
        QTest::newRow("as a user: /home/x") << Press{.asRoot = false, .cell = "/home/x", .ran = "", .boxes = {nowhere}};
        QTest::newRow("as root: the base itself") << Press{.cell = "BASE", .ran = "", .boxes = {nowhere}};
        QTest::newRow("as root: not empty") << Press{.cell = "BASE/full", .ran = "", .boxes = {failed.arg("Der Mountpoint ist nicht leer: Die Freigabe würde seine Dateien verdecken.*")}};
        QTest::newRow("as root: a link to a directory") << Press{.cell = "BASE/link", .ran = "", .boxes = {failed.arg("Der Mountpoint ist kein Verzeichnis (oder ein symbolischer Link).*")}};
        QTest::newRow("umount as a user") << Press{.asRoot = false, .onMount = ": >mount.listing", .ran = "pkexec umount DIR <>", .row = "mount R", .listed = "//localhost/a on DIR type cifs (rw,uid=4711)\n"};
        QTest::newRow("as a user: another user's mount there") << Press{.asRoot = false, .ran = "", .listed = "//localhost/a on DIR type cifs (rw,uid=4712)\n", .tip = "Der Mountpoint wird von einem anderen Benutzer benutzt"};
        QTest::newRow("Kerberos refused, no user name") << Press{.asRoot = false, .user = "", .onMount = "echo 'mount error(13): Permission denied' >&2; exit 32", .ran = user + " sec=krb5 <secret>", .boxes = {error.arg(32).arg("mount error(13): Permission denied\n") + "Die Anmeldung mit Kerberos ist fehlgeschlagen*"}, .options = "sec=krb5"};
        QTest::newRow("English: the helper refuses, its line translated") << Press{.asRoot = false, .onMount = "echo 'sharedeck-mount: /mnt/x gehört root: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt' >&2; exit 1", .ran = user, .boxes = {"sharedeck: mount error | mount reported an error! (error code: 1)<br><pre style=\"white-space: pre-wrap\">sharedeck-mount: /mnt/x belongs to root: please choose another mount point in the table\n</pre>"}, .english = true};
        QTest::newRow("user name with options") << Press{.user = "alice,uid=0,setuids", .ran = "", .boxes = {"sharedeck: Fehler von mount | Der Benutzername darf zum Einhängen weder \",\" noch \"=\" enthalten."}};
    }
    // After an earlier mount that printed something, so a box shows this run's output alone.
    void press()
    {
        QFETCH(Press, press);
        English english(press.english);
        Fixture f(press.asRoot);
        writeFile(bin->filePath("mount.listing"), place(press.listed).toUtf8());
        QVERIFY(QDir(dir->path()).mkdir("full"));
        writeFile(place("BASE/full/file"), "x");
        QVERIFY(QFile::link(place("DIR"), place("BASE/link")));
        loadRows(f);
        onMount("echo earlier output; exit 0");
        f.button(0)->click();
        QTRY_VERIFY(!QApplication::overrideCursor());
        QVERIFY(QFile::remove(bin->filePath("ran")));
        QTest::qWait(QApplication::doubleClickInterval()); // no double click
        onMount(press.onMount, press.authentication);
        if (press.onMount.isEmpty())
            withoutProgram(press.asRoot ? "mount" : "pkexec");
        f.dialog->UsernameLineEdit->setText(press.user);
        f.table()->item(0, 2)->setText(place(press.cell));
        if (!press.options.isEmpty())
            f.table()->item(0, 3)->setText(press.options);
        BoxAnswerer answerer(press.answers);
        f.button(0)->click();
        QTRY_VERIFY(!QApplication::overrideCursor() && answerer.seen.size() >= press.boxes.size());
        QTRY_VERIFY(!QApplication::activeModalWidget());
        compareBoxes(answerer.seen, press.boxes);
        QVERIFY2(press.ran.isEmpty() ? ran().isEmpty() : ran().startsWith(place(press.ran)),
                 qPrintable("ran: " + ran()));
        QTRY_COMPARE(f.rows(), press.row + " mount R mount R");
        QCOMPARE(f.button(0)->toolTip().section(':', 0, 0), press.tip);
        if (press.cell.contains("new"))
            QCOMPARE(QFileInfo(place(press.cell)).isDir(), press.asRoot && !press.ran.isEmpty());
    }

    // One command at a time; a mount that ends over another listing is still known as mounted;
    // the second press of a double click does not undo the first.
    void pressesWhileAMountRuns_data()
    {
        QTest::addColumn<QByteArray>("smbclient"); // null: row 1 is pressed instead; empty: row 0 after its end
        QTest::newRow("another row") << QByteArray();
        QTest::newRow("Load Shares") << QByteArray("echo refused; exit 1");
        QTest::newRow("the same row just after its end") << QByteArray("");
    }
    void pressesWhileAMountRuns()
    {
        QFETCH(QByteArray, smbclient);
        Fixture f;
        loadRows(f);
        f.table()->item(1, 2)->setText(place("DIR"));
        onMount("sleep 0.5; " + mounts);
        f.button(0)->click();
        if (smbclient.isNull())
            f.button(1)->click();
        else if (smbclient.isEmpty()) {
            QTRY_COMPARE(f.rows(), "umount G mount R mount R");
            f.button(0)->click();
        } else
            load(f, smbclient);
        QTRY_VERIFY(!QApplication::overrideCursor());
        QCOMPARE(ran().count('\n'), 1);
        QCOMPARE(f.mountedDirs(), QStringList{place("DIR")});
    }

    // One listing answers for all rows; an unmounted row keeps a place another row found mounted.
    // A failed listing is no evidence: rows keep their state, a hang costs one bound.
    void mountListing_data()
    {
        QTest::addColumn<QByteArray>("mount"); // null: the listing as kept
        QTest::addColumn<int>("runs");
        QTest::addColumn<QString>("rows");
        const QString before = "umount G mount R mount R";
        QTest::newRow("two rows, one mount point") << QByteArray() << 2 << before;
        QTest::newRow("exit 1") << QByteArray("exit 1") << 1 << before;
        QTest::newRow("crash") << QByteArray("kill -SEGV $$") << 1 << before;
        QTest::newRow("never ends") << QByteArray("echo >>\"$0.runs\"; exec sleep 600") << 2 << before;
        QTest::newRow("cannot start") << QByteArray("missing") << 1 << before;
        // The edited row is judged at its new place, though the rows were learnt before.
        QTest::newRow("a row moved to where its share is mounted") << QByteArray("true") << 1 << "mount R umount G mount R";
    }
    void mountListing()
    {
        QFETCH(QByteArray, mount);
        QFETCH(int, runs);
        QFETCH(QString, rows);
        Fixture f;
        writeFile(bin->filePath("mount.listing"), place("//x/a on BASE/a type cifs (rw)\n").toUtf8());
        load(f, "printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        QTRY_COMPARE(f.rows(), "umount G mount R mount R");
        f.table()->item(1, 2)->setText(place("BASE/a"));
        if (mount == "missing")
            withoutProgram("mount");
        else if (!mount.isNull())
            systemPaths().commandTimeoutMs = mount.contains("sleep") ? 1000 : 60000, write("mount", "echo '//localhost/b on " + place("BASE/a").toUtf8() + " type cifs (rw)'; " + mount);
        QVERIFY(QMetaObject::invokeMethod(f.dialog.get(), "checkMounted"));
        QTRY_VERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.rows(), rows);
        QCOMPARE(f.mountedDirs(), QStringList{place("BASE/a")});
        QCOMPARE(readFile(bin->filePath("mount.runs")).count('\n'), runs);
    }

    // Rounds start with the window, touch without waiting; a hung touch is skipped (not the rest), then stopped.
    void keepAlive()
    {
        Fixture f;
        QTemporaryDir withMarker, without, hung;
        const QString marker = withMarker.filePath("Server_Alive.txt"), hungPids = bin->filePath("touch.hung");
        const auto age = [&] { QCOMPARE(QProcess::execute("/usr/bin/touch", {"-d", "2001-01-01", marker}), 0); };
        age();
        write("touch", "case $2 in " + hung.path().toUtf8() +
                           "/*) echo $$ >>\"$0.hung\"; exec sleep 600;; esac; exec /usr/bin/touch \"$@\"");
        systemPaths().keepAlivePeriodMs = 300;
        systemPaths().commandTimeoutMs = 1000;
        f.dialog.reset(new sharedeck);
        f.mountedDirs() = {hung.path(), withMarker.path(), without.path()};
        QTRY_VERIFY(readFile(hungPids).endsWith('\n'));
        const QString hungPid = readFile(hungPids).trimmed();
        QVERIFY(running(hungPid)); // still running: nobody waited for it
        QTRY_VERIFY(QFileInfo(marker).lastModified().date().year() > 2001);
        age();
        QTRY_VERIFY(QFileInfo(marker).lastModified().date().year() > 2001); // a later round
        QCOMPARE(readFile(hungPids).count('\n'), 1);
        QTRY_COMPARE(readFile(hungPids).count('\n'), 2);
        QVERIFY(!running(hungPid) && !QFile::exists(without.filePath("Server_Alive.txt")));
        // Closing unmounts a share only once its hung touch has gone, which kept it busy.
        QTRY_VERIFY(running(readFile(hungPids).section('\n', 1, 1)));
        write("umount", "kill -0 $(tail -n1 \"${0%/*}/touch.hung\") 2>/dev/null && exit 32; echo \"$*\" >>\"$0.ran\"");
        writeFile(bin->filePath("mount.listing"), "//s/a on " + hung.path().toUtf8() + " type cifs (rw)\n");
        BoxAnswerer answers({QMessageBox::Yes});
        f.dialog->close();
        QTRY_COMPARE(readFile(bin->filePath("umount.ran")), hung.path() + "\n");
    }

    void closing_data()
    {
        QTest::addColumn<Closing>("closing");
        const QString ask =
            "sharedeck: gemountete Verzeichnisse | Es sind noch Verzeichnisse gemounted.<br><pre>%1</pre>*";
        const QStringList two = {"/x/<b>a&b", "/y"};
        QTest::newRow("Escape, then no") << Closing{.mounted = two, .answers = {QMessageBox::No}, .boxes = {ask.arg("/x/&lt;b&gt;a&amp;b<br>/y")}, .byEscape = true};
        QTest::newRow("as a user: only what is mounted now, for this user") << Closing{{"/x", "/y", "/z", "/w"}, "", {QMessageBox::Yes}, {ask.arg("/x<br>/w")}, "pkexec umount /x <>\npkexec umount /w <>\n", true, {}, "//s/a on /x type cifs (rw,uid=4711)\n//s/a on /z type cifs (rw,uid=4712)\n//s/a on /w type cifs (uid=4711)\n"};
        QTest::newRow("nothing mounted any more") << Closing{.mounted = {"/y"}, .answers = {QMessageBox::Yes}, .listing = ""};
        QTest::newRow("yes, as a user") << Closing{two, "", {QMessageBox::Yes}, {ask.arg("/x/&lt;b&gt;a&amp;b<br>/y")}, "pkexec umount /x/<b>a&b <>\npkexec umount /y <>\n", true};
        QTest::newRow("yes, one umount fails") << Closing{{"/fail", "/y"}, "", {QMessageBox::Yes}, {ask.arg("/fail<br>/y"), "sharedeck: Fehler von mount | mount meldete einen Fehler! (Error-Code:32)<br><pre style=\"white-space: pre-wrap\">umount: /fail: not mounted.\n</pre>"}, "umount /fail\numount /y\n"};
        QTest::newRow("a mount runs, ends and mounts") << Closing{{}, "sleep 0.5; " + mounts, {QMessageBox::Yes}, {ask.arg("DIR")}, "umount DIR\n"};
        QTest::newRow("a mount runs and never ends") << Closing{{}, hangs, {QMessageBox::Yes}, {"sharedeck: Fehler von mount | <b>Der Befehl hat nicht innerhalb von 1 s geantwortet*"}, ""};
        QTest::newRow("as a user: authentication outlasts the bound") << Closing{{"/y"}, "", {QMessageBox::Yes}, {ask.arg("/y")}, "pkexec umount /y <>\n", true, "sleep 1.5"};
        QTest::newRow("as a user: authentication dismissed") << Closing{two, "exit 126", {QMessageBox::Yes}, {ask.arg("/x/&lt;b&gt;a&amp;b<br>/y")}, "pkexec umount /x/<b>a&b <>\n", true};
        QTest::newRow("English: the question, then no") << Closing{.mounted = {"/y"}, .answers = {QMessageBox::No}, .boxes = {"sharedeck: mounted directories | Some directories are still mounted.<br><pre>/y</pre><br>Do you want to unmount the directories<br>and quit the program?"}, .english = true};
        QTest::newRow("as a user: not authorised") << Closing{{"/y"}, "exit 127", {QMessageBox::Yes}, {ask.arg("/y"), "sharedeck: Fehler von mount | <b>Das Einhängen wurde nicht erlaubt.*"}, "pkexec umount /y <>\n", true};
    }
    // Closing asks about what is mounted, after a running mount ended (or was stopped); it stays open for No
    // and for an authentication that unmounted nothing (126, 127).
    void closing()
    {
        QFETCH(Closing, closing);
        English english(closing.english);
        Fixture f(!closing.asUser);
        loadRows(f);
        QByteArray listing = closing.listing.toUtf8();
        for (const QString& d : closing.mounted)
            listing += closing.listing.isNull() ? "//srv/s on " + d.toUtf8() + " type cifs (rw,uid=4711)\n" : "";
        writeFile(bin->filePath("mount.listing"), listing);
        f.mountedDirs() = closing.mounted;
        onMount(closing.onMount, closing.authentication);
        if (closing.mounted.isEmpty())
            f.button(0)->click();
        BoxAnswerer boxes(closing.answers);
        closing.byEscape ? QTest::keyClick(f.dialog.get(), Qt::Key_Escape) : void(f.dialog->close());
        compareBoxes(boxes.seen, closing.boxes);
        QCOMPARE(f.dialog->isVisible(), closing.answers.first() == QMessageBox::No || closing.onMount.startsWith("exit 12"));
        QCOMPARE(ran().section('\n', closing.mounted.isEmpty() ? 1 : 0), place(closing.unmounted));
        if (f.dialog->isVisible())
            QCOMPARE(f.mountedDirs(), closing.mounted);
    }

    // The rows run in this order: the first one before the Secret Service starts.
    void remember_data()
    {
        QTest::addColumn<Remember>("r");
        const QString why = "<p>Passwörter lassen sich nicht merken: Der Schlüsselbund des Desktops ist nicht erreichbar "
                            "(The name org.freedesktop.secrets was not provided by any .service files).</p>";
        QTest::newRow("no Secret Service") << Remember{.keyring = "none", .typed = "typed", .use = "list", .after = "typed|disabled " + why};
        QTest::newRow("found, filled") << Remember{.before = "kept", .after = "kept|checked", .kept = "kept"};
        QTest::newRow("slow: a late answer fills an untouched field") << Remember{.keyring = "slow", .before = "kept", .after = "kept|checked", .kept = "kept"};
        QTest::newRow("slow: typing goes on, a late answer does not overwrite") << Remember{.keyring = "slow", .before = "kept", .typed = "typed", .after = "typed|checked", .kept = "kept"};
        QTest::newRow("a listing with a typed password stores it") << Remember{.typed = "typed", .use = "list", .after = "typed|checked", .kept = "typed"};
        QTest::newRow("a remembered password refused: said, not filled again, kept") << Remember{.before = "kept", .use = "refused", .after = "|checked", .kept = "kept"};
        QTest::newRow("a refused password is not stored") << Remember{.typed = "typed", .use = "refused", .after = "typed|checked"};
        QTest::newRow("a Kerberos listing stores nothing") << Remember{.use = "Kerberos", .after = "|checked"};
        QTest::newRow("a mount as a user stores it") << Remember{.typed = "typed", .use = "mount", .after = "typed|checked", .kept = "typed"};
    }
    void remember()
    {
        QFETCH(Remember, r);
        if (r.keyring != "none" && keyring.state() == QProcess::NotRunning) {
            if (QStandardPaths::findExecutable("gnome-keyring-daemon").isEmpty()) {
                QVERIFY2(qEnvironmentVariable("CI") != "true", "gnome-keyring is not installed (required in CI)");
                QSKIP("gnome-keyring is not installed");
            }
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char* name : {"HOME", "XDG_RUNTIME_DIR"})
                env.insert(name, keyringHome.path());
            keyring.setProcessEnvironment(env);
            keyring.start("gnome-keyring-daemon", {"--foreground", "--unlock", "--components=secrets"});
            keyring.write(QUuid::createUuid().toByteArray()), keyring.closeWriteChannel();
            QTRY_VERIFY2(QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.secrets"), "the Secret Service did not start");
        }
        if (r.keyring != "none")
            keyringCall(new QKeychain::DeletePasswordJob("sharedeck: alice@localhost"));
        if (!r.before.isEmpty()) {
            auto* job = new QKeychain::WritePasswordJob("sharedeck: alice@localhost");
            job->setTextData(r.before);
            keyringCall(job);
        }
        Fixture f(r.use != "mount", "other\nlocalhost\n");
        systemPaths().commandTimeoutMs = 60000;
        if (r.keyring == "slow")
            ::kill(keyring.processId(), SIGSTOP);
        f.dialog.reset(new sharedeck);
        f.dialog->show();
        QCheckBox* box = f.dialog->RememberPasswordCheckBox;
        QVERIFY(box->isEnabled()); // the keyring answers later: the window did not wait for it
        f.dialog->UsernameLineEdit->setText("alice");
        f.dialog->ServerComboBox->setCurrentIndex(1);
        QTest::keyClicks(f.dialog->PasswordLineEdit, r.typed);
        if (r.keyring == "slow")
            ::kill(keyring.processId(), SIGCONT);
        if (r.keyring == "none")
            QTRY_VERIFY(!box->isEnabled());
        if (!r.before.isEmpty() && r.typed.isEmpty())
            QTRY_COMPARE(f.dialog->PasswordLineEdit->text(), r.before);
        if (r.use == "Kerberos")
            write("klist", "exit 0");
        if (r.use == "mount") {
            loadRows(f);
            QCOMPARE(keyringCall(new QKeychain::ReadPasswordJob("sharedeck: alice@localhost")), "-");
        }
        if (!r.use.isEmpty() && box->isEnabled() && !box->isChecked())
            box->click();
        if (r.use == "mount") {
            f.button(0)->click();
            QTRY_COMPARE(f.rows(), "umount G mount R mount R");
        } else if (!r.use.isEmpty())
            load(f, r.use == "refused" ? "echo 'session setup failed: NT_STATUS_LOGON_FAILURE'; exit 1" : "echo 'Disk|a|'");
        const auto state = [&] { return f.dialog->PasswordLineEdit->text() + "|" + (box->isEnabled() ? box->isChecked() ? "checked" : "unchecked" : "disabled " + box->toolTip()); };
        QTRY_COMPARE(state(), r.after);
        if (r.use == "refused") // and back to the server
            f.dialog->ServerComboBox->setCurrentIndex(0), f.dialog->ServerComboBox->setCurrentIndex(1);
        if (r.keyring != "none")
            QCOMPARE(keyringCall(new QKeychain::ReadPasswordJob("sharedeck: alice@localhost")), r.kept);
        QCOMPARE(state(), r.after); // also once every answer of the keyring is in
        QCOMPARE(f.column(0).join("").contains("Das gemerkte Passwort wurde nicht angenommen"), r.use == "refused" && r.typed.isEmpty());
    }
};

// The child: the dialog as the program starts it, each box printed and answered with Ok.
int drive(char* argv[])
{
    systemPaths() = {argv[3], argv[4], argv[2]};
    // Discovery on, with none of its programs installed: no box, nothing else changes.
    systemPaths().discover = true;
    systemPaths().wsdd = systemPaths().avahiBrowse = systemPaths().getent = argv[2] + QString("/x");
    BoxAnswerer answerer({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
    answerer.onSeen = [](QMessageBox* box) {
        bool shown = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown |= w->inherits("sharedeck") && w->isVisible();
        std::printf("box %d %d %d %d %s | %s\n", QApplication::overrideCursor() != nullptr, shown, int(box->icon()),
                    box->font().pointSize(), qPrintable(box->windowTitle()), qPrintable(box->text()));
        std::fflush(stdout);
    };
    sharedeck dialog;
    dialog.show();
    QTimer::singleShot(0, qApp, [] {
        if (QApplication::activeModalWidget())
            return; // a check failed; its box ends the process
        std::puts("running");
        QApplication::quit();
    });
    return QApplication::exec();
}

int main(int argc, char* argv[])
{
    // The What's This picture is compiled in and readable before anything else ran.
    if (QImageReader image(":/pics/portrait.jpg"); image.size() != QSize(150, 179) || image.read().isNull())
        return std::fprintf(stderr, "FAIL: :/pics/portrait.jpg is no readable 150x179 picture at start\n"), 1;
    QApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--drive")
        return drive(argv);
    DialogTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_dialog.moc"
