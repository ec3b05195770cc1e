// The dialog in a widget test, with stand-ins for what real programs cannot
// produce on demand: crashes, exit codes, hostile, chunked or endless output,
// commands that never end.
#include "commands.h"
#include "support.h"

#include <QImageReader>

namespace {

// mount: without arguments the listing kept in mount.listing (each run noted
// in mount.runs); with arguments, records them in mount.args and runs the body.
QByteArray mountStandIn(const QByteArray& body)
{
    return "cd \"$(dirname \"$0\")\"\n"
           "if [ $# = 0 ]; then echo >>mount.runs; echo 'proc on /proc type proc (rw)'; cat mount.listing; exit 0; fi\n"
           "printf '%s\\n' \"$@\" >>mount.args\n" +
           body;
}
const QByteArray mounts = "printf '%s on %s type cifs (rw)\\n' \"$3\" \"$4\" >>mount.listing; exit 0";
// pkexec HELPER mount [--create] SOURCE MOUNTPOINT OPTIONS, password on standard input.
const QByteArray helperMounts = "printf '%s on %s type cifs (rw)\\n' \"${@: -3:1}\" \"${@: -2:1}\" >>mount.listing";
const QByteArray unmounts =
    "printf '%s\\n' \"$@\" >>umount.args; grep -vF \" on $1 type \" mount.listing >l; mv l mount.listing";
const QByteArray records = "cd \"$(dirname \"$0\")\"; printf '%s\\n' \"$@\" >>\"$0.args\"; ";

} // namespace

class DialogTest : public QObject
{
    Q_OBJECT

    void load(Fixture& f, const QByteArray& smbclient)
    {
        standIns->write("smbclient", smbclient);
        f.table()->setColumnCount(0); // not settled until this listing ends
        f.dialog->ServerLoadButton->click();
        QTRY_VERIFY(f.settled());
    }
    // Lists shares a, b, c; row 0 points at a fresh directory.
    void loadRows(Fixture& f)
    {
        load(f, "printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        f.table()->item(0, 2)->setText(dir->path());
    }
    QString args(const QString& program) const
    {
        return readFile(standIns->path(program + ".args"));
    }
    std::unique_ptr<StandIns> standIns;
    std::unique_ptr<QTemporaryDir> dir;

private slots:
    void init()
    {
        standIns.reset(new StandIns);
        standIns->write("mount", mountStandIn(mounts));
        standIns->write("umount", "cd \"$(dirname \"$0\")\"; " + unmounts);
        writeFile(standIns->path("mount.listing"), "");
        dir.reset(new QTemporaryDir);
    }
    void cleanup()
    {
        QTRY_VERIFY(!QApplication::overrideCursor());
        QVERIFY(!QApplication::activeModalWidget());
        standIns.reset();
    }

    void missingCredentials_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        // clang-format off
        QTest::newRow("no password") << "alice" << QString();
        QTest::newRow("no user") << QString() << "secret";
        // clang-format on
    }
    void missingCredentials()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        Fixture f;
        f.dialog->UsernameLineEdit->setText(user);
        f.dialog->PasswordLineEdit->setText(password);
        standIns->write("smbclient", "touch \"$0.ran\"");
        BoxAnswerer boxes;
        f.dialog->ServerLoadButton->click();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].pointSize, 10);
        QCOMPARE(boxes.seen[0].text, "<b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!</b>"
                                     "<br><br>Bitte füllen Sie die Felder username und password aus.");
        QVERIFY(!QFile::exists(standIns->path("smbclient.ran")));
    }

    // Each case follows a listing of one share, so what the second run shows
    // must come from the second run alone.
    void listing_data()
    {
        QTest::addColumn<QByteArray>("smbclient");
        QTest::addColumn<QStringList>("shares"); // the share table's names, or
        QTest::addColumn<QString>("info");       // the end of the Info view's text
        // clang-format off
        QTest::newRow("crash") << QByteArray("echo 'Disk|x|y'; kill -SEGV $$") << QStringList{} << "ERROR: SMBCLIENT CRASHED";
        QTest::newRow("exit 1: output, then errors") << QByteArray("echo 'Disk|x|'; echo 'do_connect: refused' >&2; exit 1") << QStringList{} << "Disk|x|\ndo_connect: refused\n";
        QTest::newRow("exit 2 is success") << QByteArray("echo 'Disk|a|'; exit 2") << QStringList{"a"} << "";
        QTest::newRow("no output") << QByteArray("exit 0") << QStringList{} << "";
        // clang-format on
        QStringList many;
        for (int i = 1; i <= 5000; ++i)
            many << QString("share %1").arg(i);
        // clang-format off
        QTest::newRow("5000 shares in small chunks") << QByteArray("for i in $(seq 5000); do printf 'Disk|share %d|c\\n' $i; done") << many << "";
        QTest::newRow("non-ASCII, hostile, hidden, zero byte, no line end") << QByteArray("printf 'Disk|B\\xc3\\xbcro|\\nDisk|../etc|x\\nDisk|C$|\\nDisk|ok|\\0 z\\nDisk|last|'") << QStringList{"Büro", "ok", "last"} << "";
        QTest::newRow("3 MB of errors are cut") << QByteArray("head -c 3000000 /dev/zero | tr '\\0' e >&2; exit 1") << QStringList{} << "eeeee… (gekürzt)";
        QTest::newRow("output over 64 MiB") << QByteArray("yes 'Disk|x|' | head -c 70000000") << QStringList{} << "FEHLER: DIE AUSGABE VON SMBCLIENT IST ZU GROSS (ÜBER 64 MiB)";
        // clang-format on
    }
    void listing()
    {
        QFETCH(QStringList, shares);
        QFETCH(QString, info);
        QFETCH(QByteArray, smbclient);
        Fixture f;
        load(f, "echo 'Disk|previous|'");
        load(f, smbclient);
        if (!info.isEmpty()) {
            QCOMPARE(f.table()->horizontalHeaderItem(0)->text(), "Info");
            const QString text = f.table()->item(0, 0)->text();
            QVERIFY(text.size() <= maxShownBytes + 20);
            QCOMPARE(text.size() > 1000 ? text.right(info.size()) : text, info);
            return;
        }
        QCOMPARE(f.column(1), shares);
        QStringList mountPoints;
        for (const QString& share : shares)
            mountPoints << "/mnt/" + share;
        QCOMPARE(f.column(2), mountPoints);
        QCOMPARE(f.column(3), QStringList(shares.size(), "gid=1000,uid=1000,sec=ntlmssp"));
        for (int r = 0; r < qMin(3, int(shares.size())); ++r) {
            QCOMPARE(rowButtons(f.table())[r], f.button(r));
            QCOMPARE(f.button(r)->text(), "mount");
        }
    }

    void smbclientCannotStart()
    {
        Fixture f;
        qputenv("PATH", standIns->dir.path().toLocal8Bit()); // holds no smbclient
        f.dialog->ServerLoadButton->click();
        QCOMPARE(f.table()->item(0, 0)->text(), "ERROR: SMBCLIENT COULD NOT BE STARTED");
    }

    // A click reaches its own row after rebuilds, with the cells as edited,
    // and mounts from the server the table was listed from.
    void rowPressAfterRebuilds()
    {
        Fixture f(true, "zulu\n\nalpha\n");
        QCOMPARE(f.dialog->ServerComboBox->itemText(0) + f.dialog->ServerComboBox->itemText(1), "zulualpha");
        for (int i = 0; i < 3; ++i)
            load(f, "printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        f.dialog->ServerComboBox->setCurrentIndex(1);
        f.table()->item(2, 2)->setText(dir->path());
        f.table()->item(2, 3)->setText("ro");
        f.button(2)->click();
        QTRY_COMPARE(f.button(2)->text(), "umount");
        QCOMPARE(args("mount"), "-t\ncifs\n//zulu/c\n" + dir->path() + "\n-o\nusername=alice,ro\n");
        QCOMPARE(f.mountedDirs(), QStringList{dir->path()});
        load(f, "printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        QCOMPARE(f.column(2).last(), "/mnt/c");
        QCOMPARE(f.mountedDirs(), QStringList{dir->path()});
    }

    void mountEnd_data()
    {
        QTest::addColumn<bool>("asRoot");
        QTest::addColumn<QByteArray>("onMount");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("buttonAfter");
        const QString error = "mount meldete einen Fehler! (Error-Code:%1)<br><pre>%2</pre>";
        // clang-format off
        QTest::newRow("exit 32, output in pieces, escaped") << true << QByteArray("echo 'error(13): <b>' >&2; sleep 0.2; echo '& co' >&2; exit 32") << error.arg(32).arg("error(13): &lt;b&gt;\n&amp; co\n") << "mount";
        QTest::newRow("exit 1 without output") << true << QByteArray("exit 1") << error.arg(1).arg("") << "mount";
        QTest::newRow("crash") << true << QByteArray("kill -SEGV $$") << "" << "mount";
        QTest::newRow("exit 2 is success") << true << QByteArray(mounts).replace("exit 0", "exit 2") << "" << "umount";
        QTest::newRow("2 MB of output are cut") << true << QByteArray("head -c 2000000 /dev/zero | tr '\\0' o; exit 32") << "ooo… (gekürzt)</pre>" << "mount";
        QTest::newRow("never ends: stopped with its children") << true << QByteArray("sleep 600 & echo $! >child; wait") << "<b>Der Befehl hat nicht innerhalb von 1 s geantwortet und wurde abgebrochen.</b><br><pre></pre>" << "mount";
        QTest::newRow("helper mounts") << false << helperMounts << "" << "umount";
        QTest::newRow("helper refuses") << false << QByteArray("echo 'sharedeck-mount: <nein>' >&2; exit 1") << error.arg(1).arg("sharedeck-mount: &lt;nein&gt;\n") << "mount";
        QTest::newRow("authentication dismissed") << false << QByteArray("exit 126") << "" << "mount";
        QTest::newRow("not authorised") << false << QByteArray("exit 127") << "<b>Das Einhängen wurde nicht erlaubt.</b><br><br>pkexec hat die Berechtigung verweigert.<br>Ein " "Administrator kann sie mit einer polkit-Regel für die Aktion<br>org.example.sharedeck.mount erteilen." << "mount";
        // clang-format on
    }
    void mountEnd()
    {
        QFETCH(bool, asRoot);
        QFETCH(QString, box);
        QFETCH(QByteArray, onMount);
        QFETCH(QString, buttonAfter);
        Fixture f(asRoot);
        loadRows(f);
        for (const QByteArray& body : {QByteArray("echo earlier output; exit 0"), onMount}) {
            standIns->write("mount", mountStandIn(body));
            standIns->write("pkexec", records + "cat >pkexec.stdin; " + body);
            QFile::remove(standIns->path("pkexec.args"));
            if (body == onMount)
                break;
            f.button(0)->click();
            QTRY_VERIFY(!QApplication::overrideCursor());
        }
        BoxAnswerer boxes;
        f.button(0)->click();
        QTRY_VERIFY(!QApplication::overrideCursor() && (box.isEmpty() || !boxes.seen.isEmpty()));
        QTest::qWait(50);
        QCOMPARE(boxes.seen.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(boxes.seen[0].title, "sharedeck: Fehler von mount");
            QCOMPARE(boxes.seen[0].text.size() > 1000 ? boxes.seen[0].text.right(box.size()) : boxes.seen[0].text, box);
        }
        QCOMPARE(f.button(0)->text(), buttonAfter);
        if (QFile::exists(standIns->path("child")))
            QTRY_VERIFY(!running(readFile(standIns->path("child"))));
        if (!asRoot) {
            const QString ids = QString("gid=%1,uid=%2").arg(::getgid()).arg(::getuid());
            QCOMPARE(args("pkexec"), programDirectory() + "/sharedeck-mount\nmount\n//localhost/a\n" + dir->path() +
                                         "\nusername=alice," + ids + ",sec=ntlmssp\n");
            QCOMPARE(readFile(standIns->path("pkexec.stdin")), "secret");
        }
    }

    void missingMountPoint_data()
    {
        QTest::addColumn<bool>("asRoot");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("outcome"); // "mounted", "nothing" or the start of a second box
        // clang-format off
        QTest::newRow("yes") << true << "new dir" << QMessageBox::Yes << "mounted";
        QTest::newRow("no") << true << "new dir" << QMessageBox::No << "nothing";
        QTest::newRow("escape") << true << "new dir" << QMessageBox::NoButton << "nothing";
        QTest::newRow("parent missing") << true << "no/such" << QMessageBox::Yes << "<b>Das mount-Verzeichnis konnte nicht angelegt werden:</b>";
        QTest::newRow("name too long") << true << QString(300, 'n') << QMessageBox::Yes << "<b>Das mount-Verzeichnis konnte nicht angelegt werden:</b>";
        QTest::newRow("yes, as a user: the helper creates it") << false << "new dir" << QMessageBox::Yes << "mounted";
        // clang-format on
    }
    void missingMountPoint()
    {
        QFETCH(bool, asRoot);
        QFETCH(QString, name);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, outcome);
        Fixture f(asRoot);
        standIns->write("pkexec", records + "cat >/dev/null; " + helperMounts);
        loadRows(f);
        const QString mountPoint = dir->filePath(name);
        f.table()->item(0, 2)->setText(mountPoint);
        BoxAnswerer boxes({answer});
        f.button(0)->click();
        QTRY_VERIFY(!QApplication::overrideCursor() && !QApplication::activeModalWidget());
        QCOMPARE(boxes.seen[0].text, "Das mount-Verzeichnis existiert nicht.<br>Soll es angelegt werden?");
        QCOMPARE(boxes.seen.size(), outcome.startsWith('<') ? 2 : 1);
        if (outcome.startsWith('<'))
            QVERIFY2(boxes.seen[1].text.startsWith(outcome), qPrintable(boxes.seen[1].text));
        QTRY_COMPARE(f.button(0)->text(), outcome == "mounted" ? "umount" : "mount");
        QCOMPARE(QFileInfo(mountPoint).isDir(), asRoot && outcome == "mounted");
        QCOMPARE(args("mount").contains("-t"), asRoot && outcome == "mounted");
        QCOMPARE(args("pkexec").section('\n', 1, 2), asRoot ? "" : "mount\n--create");
    }

    // A relative mount point and a user name that would add mount options
    // are refused before anything runs.
    void refusedBeforeRunning_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<QString>("box");
        // clang-format off
        QTest::newRow("relative mount point") << "alice" << "mnt/a" << "<b>Der Mountpoint ist kein absoluter Pfad:</b><br><pre>mnt/a</pre>Bitte geben Sie ihn vollständig an, beginnend mit \"/\".";
        QTest::newRow("user name with options") << "alice,uid=0,setuids" << "/mnt/a" << "Der Benutzername darf zum Einhängen weder \",\" noch \"=\" enthalten.";
        // clang-format on
        // clang-format on
    }
    void refusedBeforeRunning()
    {
        QFETCH(QString, user);
        QFETCH(QString, mountPoint);
        QFETCH(QString, box);
        Fixture f;
        loadRows(f);
        f.dialog->UsernameLineEdit->setText(user);
        f.table()->item(0, 2)->setText(mountPoint);
        BoxAnswerer boxes;
        f.button(0)->click();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].text, box);
        QVERIFY(args("mount").isEmpty());
    }

    // One command at a time: a press while one runs starts nothing.
    void pressWhileMountRuns()
    {
        Fixture f;
        loadRows(f);
        f.table()->item(1, 2)->setText(dir->path());
        standIns->write("mount", mountStandIn("sleep 0.5; exit 0"));
        f.button(0)->click();
        f.button(1)->click();
        QTRY_VERIFY(!QApplication::overrideCursor());
        QCOMPARE(args("mount").count("-t\n"), 1);
    }

    void commandCannotStart_data()
    {
        QTest::addColumn<bool>("asRoot");
        QTest::addColumn<QString>("box");
        // clang-format off
        QTest::newRow("umount") << true << "<b>umount konnte nicht gestartet werden!</b><br><pre>";
        QTest::newRow("pkexec") << false << "Bitte installieren Sie das Paket pkexec";
        // clang-format on
    }
    void commandCannotStart()
    {
        QFETCH(bool, asRoot);
        QFETCH(QString, box);
        Fixture f(asRoot);
        writeFile(standIns->path("mount.listing"), "//localhost/a on /mnt/a type cifs (rw)\n");
        load(f, "echo 'Disk|a|'");
        QCOMPARE(f.button(0)->text(), "umount");
        QFile::remove(standIns->path("umount"));
        qputenv("PATH", standIns->dir.path().toLocal8Bit()); // holds neither umount nor pkexec
        BoxAnswerer boxes;
        f.button(0)->click();
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen[0].text.contains(box), qPrintable(boxes.seen[0].text));
    }

    // A mount that ends while another listing is shown is still known as mounted.
    void mountEndsOverAnotherListing_data()
    {
        QTest::addColumn<QByteArray>("smbclient");
        // clang-format off
        QTest::newRow("Info view") << QByteArray("echo refused; exit 1");
        QTest::newRow("other shares") << QByteArray("echo 'Disk|other|'");
        // clang-format on
    }
    void mountEndsOverAnotherListing()
    {
        QFETCH(QByteArray, smbclient);
        Fixture f;
        loadRows(f);
        standIns->write("mount", mountStandIn("sleep 0.5; " + mounts));
        f.button(0)->click();
        load(f, smbclient);
        QTRY_VERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.mountedDirs(), QStringList{dir->path()});
    }

    // Two rows on one mount point: the later, unmounted row keeps the place
    // that the earlier row found mounted. One listing answers for all rows.
    void twoRowsOneMountPoint()
    {
        Fixture f;
        writeFile(standIns->path("mount.listing"), "//x/a on " + dir->path().toUtf8() + " type cifs (rw)\n");
        loadRows(f);
        f.table()->item(1, 2)->setText(dir->path());
        QVERIFY(QMetaObject::invokeMethod(f.dialog.get(), "checkMounted"));
        QCOMPARE(f.column(1), QStringList({"a", "b", "c"}));
        QCOMPARE(f.button(0)->text() + f.button(1)->text() + f.button(2)->text(), "umountmountmount");
        QCOMPARE(f.spots(), "GRR");
        QCOMPARE(f.mountedDirs(), QStringList{dir->path()});
        QCOMPARE(readFile(standIns->path("mount.runs")).size(), 2); // the table's pass and this one
    }

    // A listing that fails, crashes or never ends is no evidence that a row
    // is not mounted: rows keep what they showed, the bound is paid once.
    void failedMountListing_data()
    {
        QTest::addColumn<QByteArray>("failure");
        // clang-format off
        QTest::newRow("exit 1") << QByteArray("exit 1");
        QTest::newRow("crash") << QByteArray("kill -SEGV $$");
        QTest::newRow("never ends") << QByteArray("echo started >>\"$0.runs\"; exec sleep 600");
        // clang-format on
    }
    void failedMountListing()
    {
        QFETCH(QByteArray, failure);
        Fixture f;
        writeFile(standIns->path("mount.listing"), "//localhost/a on /mnt/a type cifs (rw)\n");
        load(f, "printf 'Disk|a|\\nDisk|b|\\n'");
        standIns->write("mount", "echo '//localhost/b on /mnt/b type cifs (rw)'; " + failure);
        QVERIFY(QMetaObject::invokeMethod(f.dialog.get(), "checkMounted"));
        QCOMPARE(f.button(0)->text() + f.button(1)->text(), "umountmount");
        QCOMPARE(f.mountedDirs(), QStringList{"/mnt/a"});
        QVERIFY(readFile(standIns->path("mount.runs")).count("started") <= 1);
    }

    // Every round touches each mounted directory's marker without waiting for
    // it; a touch that hangs is stopped at the bound and skipped meanwhile.
    void keepAlive()
    {
        Fixture f;
        QTemporaryDir withMarker, without, hung;
        const QString marker = withMarker.filePath("Server_Alive.txt");
        auto age = [&] {
            QFile file(marker);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
        };
        age();
        standIns->write("touch", "case $2 in " + hung.path().toUtf8() +
                                     "/*) echo $$ >>\"$0.hung\"; exec sleep 600;; esac; exec /usr/bin/touch \"$@\"");
        f.mountedDirs() = {withMarker.path(), without.path(), hung.path()};
        systemPaths().keepAlivePeriodMs = 300;
        QVERIFY(QMetaObject::invokeMethod(f.dialog.get(), "send_touch"));
        QTRY_VERIFY(readFile(standIns->path("touch.hung")).endsWith('\n'));
        const QString hungPid = readFile(standIns->path("touch.hung")).trimmed();
        QVERIFY(running(hungPid)); // still running: nobody waited for it
        QTRY_VERIFY(QFileInfo(marker).lastModified().date().year() > 2001);
        age();
        QTRY_VERIFY(QFileInfo(marker).lastModified().date().year() > 2001); // a later round
        QCOMPARE(readFile(standIns->path("touch.hung")).count('\n'), 1);
        QTRY_COMPARE_WITH_TIMEOUT(readFile(standIns->path("touch.hung")).count('\n'), 2, 8000);
        QVERIFY(!running(hungPid));
        QVERIFY(!QFile::exists(without.filePath("Server_Alive.txt")));
    }

    void closeWithMountedDirectories()
    {
        Fixture f;
        f.mountedDirs() = {"/x/<b>a&b", "/y"};
        {
            BoxAnswerer boxes({QMessageBox::No});
            f.dialog->close();
            QCOMPARE(boxes.seen.size(), 1);
            QCOMPARE(boxes.seen[0].title, "sharedeck: gemountete Verzeichnisse");
            QCOMPARE(boxes.seen[0].text, "Es sind noch Verzeichnisse gemounted.<br><pre>/x/&lt;b&gt;a&amp;b<br>/y</pre>"
                                         "<br>Möchten Sie die Verzeichnisse aushängen<br>und das Programm beenden?");
            QVERIFY(f.dialog->isVisible());
            QVERIFY(args("umount").isEmpty());
        }
        BoxAnswerer boxes({QMessageBox::Yes});
        f.dialog->close();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(args("umount"), "/x/<b>a&b\n/y\n");
    }

    // Closing while a row's mount runs waits for it (up to the bound): what
    // it mounted is asked about and unmounted, nothing is mounted behind.
    void closeWhileAMountRuns_data()
    {
        QTest::addColumn<QByteArray>("onMount");
        QTest::addColumn<bool>("question");
        // clang-format off
        QTest::newRow("ends and mounts") << QByteArray("sleep 0.5; " + mounts) << true;
        QTest::newRow("never ends") << QByteArray("sleep 600 & echo $! >child; wait") << false;
        // clang-format on
    }
    void closeWhileAMountRuns()
    {
        QFETCH(QByteArray, onMount);
        QFETCH(bool, question);
        Fixture f;
        loadRows(f);
        standIns->write("mount", mountStandIn(onMount));
        f.button(0)->click();
        BoxAnswerer boxes({QMessageBox::Yes});
        f.dialog->close();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(boxes.seen.size(), question ? 1 : 0);
        QCOMPARE(args("umount"), question ? dir->path() + "\n" : "");
        if (!question)
            QTRY_VERIFY(!running(readFile(standIns->path("child"))));
    }
};

int main(int argc, char* argv[])
{
    // The picture of the What's This text is compiled in and readable before
    // anything else has run.
    QImageReader portrait(":/pics/portrait.jpg");
    if (portrait.format() != "jpeg" || portrait.size() != QSize(150, 179) || portrait.read().isNull()) {
        std::fprintf(stderr, "FAIL: :/pics/portrait.jpg is not a readable 150x179 JPEG at the start of main\n");
        return 1;
    }
    QApplication app(argc, argv);
    DialogTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_dialog.moc"
