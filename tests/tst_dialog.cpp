// The dialog in a widget test: the form, the share listing with stand-in
// smbclient runs that a real server cannot produce, and the row buttons with
// stand-in mount runs for crashes, error codes and hostile output.
#include "support.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QImageReader>

namespace {

// mount: without arguments the listing kept in "mount.listing"; with
// arguments, records them in "mount.args" and runs the given lines.
QByteArray mountStandIn(const QByteArray& onMount)
{
    return "if [ $# = 0 ]; then echo 'proc on /proc type proc (rw)'; cat \"$0.listing\" 2>/dev/null; exit 0; fi\n"
           "printf '%s\\n' \"$@\" >>\"$0.args\"\n" +
           onMount;
}
const QByteArray mountsAndExits = "printf '%s on %s type cifs (rw)\\n' \"$3\" \"$4\" >>\"$0.listing\"; exit 0";

} // namespace

class DialogTest : public QObject
{
    Q_OBJECT

    // Presses "Load Shares" with the stand-in smbclient given, and waits until
    // the table shows the Info view or a share table with all its buttons.
    void load(Fixture& f, const QByteArray& smbclient)
    {
        standIns->write("smbclient", smbclient);
        f.dialog->ServerLoadButton->click();
        QTRY_VERIFY(f.settled());
    }
    std::unique_ptr<StandIns> standIns;

private slots:
    void init()
    {
        standIns.reset(new StandIns);
        standIns->write("mount", mountStandIn(mountsAndExits));
    }
    void cleanup()
    {
        QTRY_VERIFY(!QApplication::overrideCursor());
        standIns.reset();
    }

    void form()
    {
        Fixture f;
        sharedeck& d = *f.dialog;
        QCOMPARE(d.objectName(), "sharedeck");
        QCOMPARE(d.windowTitle(), "sharedeck");
        QCOMPARE(d.size(), QSize(750, 332));
        const QList<std::pair<QWidget*, QRect>> rects = {
            {d.ServerComboBox, {110, 20, 131, 24}},   {d.ServerLabel, {60, 20, 51, 21}},
            {d.ServerLoadButton, {280, 20, 111, 25}}, {d.PasswordLabel, {420, 30, 71, 24}},
            {d.PasswordLineEdit, {490, 30, 191, 24}}, {d.tableWidget, {10, 60, 731, 261}},
            {d.UsernameLabel, {420, 10, 71, 24}},     {d.UsernameLineEdit, {490, 10, 191, 24}}};
        d.resize(1000, 600);
        QApplication::processEvents();
        for (const auto& [widget, rect] : rects) {
            QCOMPARE(widget->geometry(), rect);
            const bool small = widget->inherits("QLabel") || widget == d.ServerComboBox;
            QCOMPARE(widget->font().pointSize(), small ? 10 : d.font().pointSize());
        }
        QCOMPARE(d.ServerLabel->text(), "Server");
        QCOMPARE(d.ServerLoadButton->text(), "Load Shares");
        QCOMPARE(d.PasswordLabel->text(), "Password");
        QCOMPARE(d.UsernameLabel->text(), "Username");
        QCOMPARE(d.PasswordLineEdit->echoMode(), QLineEdit::Password);
        QVERIFY(!d.ServerComboBox->isEditable());
        QCOMPARE(d.whatsThis(),
                 "<html><head/><body><p align=\"center\"><span style=\" font-family:'Sans Serif'; font-size:12pt;\">"
                 "sharedeck</span></p><p align=\"center\"><span style=\" font-family:'Sans Serif'; font-size:12pt;\">"
                 "written by the sharedeck developers</span></p><p align=\"center\"><span style=\" font-family:'Sans "
                 "Serif'; font-size:12pt;\">https://sharedeck.example.org/</span></p><p align=\"center\"><br/></p><p "
                 "align=\"center\"><img src=\":/pics/portrait.jpg\"/></p></body></html>");

        QApplication::setActiveWindow(&d);
        d.ServerComboBox->setFocus();
        for (QWidget* next : {(QWidget*)d.ServerLoadButton, (QWidget*)d.UsernameLineEdit, (QWidget*)d.PasswordLineEdit,
                              (QWidget*)d.tableWidget}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }

        // The slots are the dialog's interface to its signals, in this order.
        QStringList methods;
        for (int i = d.metaObject()->methodOffset(); i < d.metaObject()->methodCount(); ++i)
            methods << d.metaObject()->method(i).methodSignature();
        QCOMPARE(methods, QStringList({"smbclient_test()", "cifs_test()", "check_server_conf()", "load_Shares()",
                                       "mountButtonClicked(int)", "smbclientAusgabe()",
                                       "smbclientProcBeendet(int,QProcess::ExitStatus)", "mountProcAusgabe()",
                                       "mountProcBeendet(int,QProcess::ExitStatus)", "checkMounted()",
                                       "checkMountedAusgabe()", "checkMountedBeendet()", "clear_tableWidget()",
                                       "create_Sharelist()", "send_touch()", "closeEvent(QCloseEvent*)"}));
        QVERIFY(d.qt_metacast("Ui::sharedeck"));
    }

    void missingCredentials_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::newRow("no password") << "alice"
                                     << "";
        QTest::newRow("no user") << ""
                                 << "secret";
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
        QCOMPARE(boxes.seen[0].title, "sharedeck");
        QCOMPARE(boxes.seen[0].pointSize, 10);
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.seen[0].text, "<b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!</b>"
                                     "<br><br>Bitte füllen Sie die Felder username und password aus.");
        QVERIFY(!QFile::exists(standIns->path("smbclient.ran")));
        QCOMPARE(f.table()->columnCount(), 0);
    }

    // Each case follows a listing of one share, so what the second run shows
    // must come from the second run alone.
    void listing_data()
    {
        QTest::addColumn<QByteArray>("smbclient");
        QTest::addColumn<QStringList>("shares"); // the share table's names, or
        QTest::addColumn<QString>("info");       // the Info view's text
        QTest::newRow("crash") << QByteArray("echo 'Disk|x|y'; kill -SEGV $$") << QStringList{}
                               << "ERROR: SMBCLIENT CRASHED";
        QTest::newRow("exit 1: output, then errors")
            << QByteArray("echo 'Disk|x|'; echo 'do_connect: refused' >&2; exit 1") << QStringList{}
            << "Disk|x|\ndo_connect: refused\n";
        QTest::newRow("exit 2 is success") << QByteArray("echo 'Disk|a|'; exit 2") << QStringList{"a"} << "";
        QTest::newRow("no output") << QByteArray("exit 0") << QStringList{} << "";
        QStringList many;
        for (int i = 1; i <= 5000; ++i)
            many << QString("share %1").arg(i);
        QTest::newRow("5000 shares in small chunks")
            << QByteArray("for i in $(seq 5000); do printf 'Disk|share %d|c\\n' $i; done") << many << "";
        QTest::newRow("100,000 lines") << QByteArray("yes 'IPC|IPC$|x' | head -n 100000; echo 'Disk|end|'")
                                       << QStringList{"end"} << "";
        QTest::newRow("standard input at end")
            << QByteArray("cat >/dev/null; echo 'Disk|after eof|'") << QStringList{"after eof"} << "";
        QTest::newRow("hostile, hidden, no line end")
            << QByteArray("printf 'Disk|../etc|x\\nDisk|C$|\\nDisk|ok|\\0 zero\\nDisk|last|'")
            << QStringList{"ok", "last"} << "";
    }
    void listing()
    {
        QFETCH(QStringList, shares);
        QFETCH(QString, info);
        QFETCH(QByteArray, smbclient);
        Fixture f;
        load(f, "echo 'Disk|previous|'");
        QCOMPARE(f.column(1), QStringList{"previous"});
        load(f, smbclient);

        if (!info.isEmpty()) {
            QCOMPARE(f.table()->horizontalHeaderItem(0)->text(), "Info");
            QCOMPARE(f.table()->rowCount(), 1);
            QCOMPARE(f.table()->item(0, 0)->text(), info);
            return;
        }
        QCOMPARE(f.column(1), shares);
        QStringList headers, mountPoints;
        for (int c = 0; c < 5; ++c)
            headers << f.table()->horizontalHeaderItem(c)->text() + QString::number(f.table()->columnWidth(c));
        QCOMPARE(headers, QStringList({"Butt60", "Sharename194", "Mountpoint194", "Options194", "Status50"}));
        for (const QString& share : shares)
            mountPoints << "/mnt/" + share;
        QCOMPARE(f.column(2), mountPoints);
        QCOMPARE(f.column(3), QStringList(shares.size(), "gid=1000,uid=1000,sec=ntlmssp"));
        const QList<QPushButton*> buttons = rowButtons(f.table());
        for (int r = 0; r < qMin(3, int(buttons.size())); ++r) {
            QCOMPARE(buttons[r], f.button(r));
            QCOMPARE(buttons[r]->objectName(), QString("mountButton%1").arg(r));
            QCOMPARE(buttons[r]->text(), "mount");
            QVERIFY(!f.table()->item(r, 4)->icon().isNull());
        }
    }

    void smbclientCannotStart()
    {
        Fixture f;
        qputenv("PATH", standIns->dir.path().toLocal8Bit()); // holds no smbclient
        f.dialog->ServerLoadButton->click();
        QCOMPARE(f.table()->item(0, 0)->text(), "ERROR: SMBCLIENT COULD NOT BE STARTED");
    }

    // Every rebuild maps its buttons anew; a click reaches its own row, with
    // the cells as the user left them. A rebuild restores the defaults.
    void rowButtonsAfterRebuilds()
    {
        Fixture f;
        for (int i = 0; i < 3; ++i)
            load(f, "printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        QTemporaryDir mountPoint;
        f.table()->item(2, 2)->setText(mountPoint.path());
        f.table()->item(2, 3)->setText("ro");
        f.button(2)->click();
        QTRY_VERIFY(f.button(2)->text() == "umount");
        QCOMPARE(readFile(standIns->path("mount.args")),
                 "-t\ncifs\n//localhost/c\n" + mountPoint.path() + "\n-o\nusername=alice,ro\n");
        QCOMPARE(f.column(2).last(), mountPoint.path());
        QCOMPARE(SharedeckProbe::mountedDirs(*f.dialog), QStringList{mountPoint.path()});
        load(f, "printf 'Disk|a|\\nDisk|b|\\nDisk|c|\\n'");
        QCOMPARE(f.column(2).last(), "/mnt/c");
        QCOMPARE(SharedeckProbe::mountedDirs(*f.dialog), QStringList{mountPoint.path()});
    }

    void mountEnd_data()
    {
        QTest::addColumn<QByteArray>("onMount");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("buttonAfter");
        QTest::newRow("exit 32, output in pieces, escaped")
            << QByteArray("echo 'mount error(13): <b>denied</b> & co' >&2; sleep 0.2; echo 'Refer to' >&2; exit 32")
            << "mount meldete einen Fehler! (Error-Code:32)<br><pre>mount error(13): &lt;b&gt;denied&lt;/b&gt; &amp; "
               "co\nRefer to\n</pre>"
            << "mount";
        QTest::newRow("exit 1 without output")
            << QByteArray("exit 1") << "mount meldete einen Fehler! (Error-Code:1)<br><pre></pre>"
            << "mount";
        QTest::newRow("crash") << QByteArray("kill -SEGV $$") << ""
                               << "mount";
        QTest::newRow("exit 2 is success") << QByteArray(mountsAndExits).replace("exit 0", "exit 2") << ""
                                           << "umount";
    }
    void mountEnd()
    {
        QFETCH(QString, box);
        QFETCH(QByteArray, onMount);
        QFETCH(QString, buttonAfter);
        Fixture f;
        load(f, "echo 'Disk|a|'");
        QTemporaryDir mountPoint;
        f.table()->item(0, 2)->setText(mountPoint.path());
        standIns->write("mount", mountStandIn("echo earlier output; exit 0"));
        f.button(0)->click();
        QTRY_VERIFY(!QApplication::overrideCursor());
        standIns->write("mount", mountStandIn(onMount));
        BoxAnswerer boxes;
        f.button(0)->click();
        QTRY_VERIFY(!QApplication::overrideCursor() && (box.isEmpty() || !boxes.seen.isEmpty()));
        QTest::qWait(50);
        QCOMPARE(boxes.seen.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(boxes.seen[0].title, "sharedeck: Fehler von mount");
            QCOMPARE(boxes.seen[0].text, box);
        }
        QCOMPARE(f.button(0)->text(), buttonAfter);
    }

    void missingMountPoint_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("yes") << QMessageBox::Yes;
        QTest::newRow("no") << QMessageBox::No;
        QTest::newRow("escape") << QMessageBox::NoButton;
    }
    void missingMountPoint()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        Fixture f;
        load(f, "echo 'Disk|a|'");
        QTemporaryDir parent;
        const QString mountPoint = parent.filePath("new dir");
        f.table()->item(0, 2)->setText(mountPoint);
        BoxAnswerer boxes({answer});
        f.button(0)->click();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, "sharedeck: fehlendes mount-Verzeichnis");
        QCOMPARE(boxes.seen[0].text, "Das mount-Verzeichnis existiert nicht.<br>Soll es angelegt werden?");
        QCOMPARE(boxes.seen[0].icon, QMessageBox::Information);
        const bool yes = answer == QMessageBox::Yes;
        QCOMPARE(QFileInfo(mountPoint).isDir(), yes);
        QCOMPARE(QApplication::overrideCursor() != nullptr, yes);
        QTRY_COMPARE(f.button(0)->text(), yes ? "umount" : "mount");
        QCOMPARE(QFile::exists(standIns->path("mount.args")), yes);
    }

    // One command at a time: a press while one runs starts nothing and leaves
    // no wait cursor behind.
    void pressWhileMountRuns()
    {
        Fixture f;
        load(f, "printf 'Disk|a|\\nDisk|b|\\n'");
        QTemporaryDir dir;
        f.table()->item(0, 2)->setText(dir.path());
        f.table()->item(1, 2)->setText(dir.path());
        standIns->write("mount", mountStandIn("sleep 0.5; exit 0"));
        f.button(0)->click();
        f.button(1)->click();
        QTRY_VERIFY(!QApplication::overrideCursor());
        QCOMPARE(readFile(standIns->path("mount.args")).count("-t\n"), 1);
    }

    void umountCannotStart()
    {
        Fixture f;
        writeFile(standIns->path("mount.listing"), "//localhost/a on /mnt/a type cifs (rw)\n");
        load(f, "echo 'Disk|a|'");
        QCOMPARE(f.button(0)->text(), "umount");
        qputenv("PATH", standIns->dir.path().toLocal8Bit()); // holds no umount
        BoxAnswerer boxes;
        f.button(0)->click();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen[0].title, "sharedeck: Fehler von mount");
        QVERIFY2(boxes.seen[0].text.startsWith("<b>umount konnte nicht gestartet werden!</b><br><pre>"),
                 qPrintable(boxes.seen[0].text));
    }

    // A mount that ends after a failed listing finds the Info view: nothing to
    // test there, and nothing may be touched.
    void mountEndsOverInfoView()
    {
        Fixture f;
        load(f, "echo 'Disk|a|'");
        QTemporaryDir dir;
        f.table()->item(0, 2)->setText(dir.path());
        standIns->write("mount", mountStandIn("sleep 0.5; " + mountsAndExits));
        f.button(0)->click();
        load(f, "echo refused; exit 1");
        QTRY_VERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.table()->item(0, 0)->text(), "refused\n");
        QVERIFY(SharedeckProbe::mountedDirs(*f.dialog).isEmpty());
    }

    void keepAliveTouchesOnlyExistingMarkers()
    {
        Fixture f;
        QTemporaryDir withMarker, without;
        const QString marker = withMarker.filePath("Server_Alive.txt");
        QFile file(marker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
        file.close();
        SharedeckProbe::mountedDirs(*f.dialog) = {withMarker.path(), without.path()};
        SharedeckProbe::call(*f.dialog, "send_touch");
        QVERIFY(QFileInfo(marker).lastModified().date().year() > 2001);
        QVERIFY(!QFile::exists(without.filePath("Server_Alive.txt")));
    }

    void closeWithMountedDirectories()
    {
        Fixture f;
        standIns->write("umount", "printf '%s\\n' \"$@\" >>\"$0.args\"");
        SharedeckProbe::mountedDirs(*f.dialog) = {"/x/<b>a&b", "/y"};
        {
            BoxAnswerer boxes({QMessageBox::No});
            f.dialog->close();
            QCOMPARE(boxes.seen.size(), 1);
            QCOMPARE(boxes.seen[0].title, "sharedeck: gemountete Verzeichnisse");
            QCOMPARE(boxes.seen[0].icon, QMessageBox::Warning);
            QCOMPARE(boxes.seen[0].text, "Es sind noch Verzeichnisse gemounted.<br><pre>/x/&lt;b&gt;a&amp;b<br>/y</pre>"
                                         "<br>Möchten Sie die Verzeichnisse aushängen<br>und das Programm beenden?");
            QVERIFY(f.dialog->isVisible());
            QVERIFY(!QFile::exists(standIns->path("umount.args")));
        }
        BoxAnswerer boxes({QMessageBox::Yes});
        f.dialog->close();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(readFile(standIns->path("umount.args")), "/x/<b>a&b\n/y\n");
    }

    // Commands that never end: the window comes back after the bound, and what
    // they print when they end at last still counts.
    void listingOutlastsTheBound()
    {
        Fixture f;
        standIns->write("smbclient", "echo started >>\"$0.log\"; echo 'Disk|late|'; exec sleep 33");
        f.dialog->ServerLoadButton->click();
        QVERIFY(QApplication::overrideCursor());
        f.dialog->ServerLoadButton->click();
        QCOMPARE(readFile(standIns->path("smbclient.log")), "started\n");
        QTRY_COMPARE_WITH_TIMEOUT(f.column(1), QStringList{"late"}, 10000);
    }
    void closeWhileAMountHangs()
    {
        Fixture f;
        load(f, "echo 'Disk|a|'");
        QTemporaryDir dir;
        f.table()->item(0, 2)->setText(dir.path());
        standIns->write("mount", mountStandIn("exec sleep 600"));
        standIns->write("umount", "printf '%s\\n' \"$@\" >>\"$0.args\"");
        f.button(0)->click();
        SharedeckProbe::mountedDirs(*f.dialog) = {"/earlier"};
        BoxAnswerer boxes({QMessageBox::Yes});
        f.dialog->close();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(readFile(standIns->path("umount.args")), "/earlier\n");
    }
    // A mount listing that fails or crashes is no evidence that a row is not
    // mounted: the row keeps what it showed.
    void failedMountListing()
    {
        Fixture f;
        writeFile(standIns->path("mount.listing"), "//localhost/a on /mnt/a type cifs (rw)\n");
        load(f, "echo 'Disk|a|'");
        QCOMPARE(f.button(0)->text(), "umount");
        for (const QByteArray failure : {"exit 1", "kill -SEGV $$"}) {
            standIns->write("mount", "echo 'proc on /proc type proc (rw)'; " + failure);
            SharedeckProbe::call(*f.dialog, "checkMounted");
            QCOMPARE(f.button(0)->text(), "umount");
            QCOMPARE(SharedeckProbe::mountedDirs(*f.dialog), QStringList{"/mnt/a"});
        }
    }
    void mountListingNeverEnds()
    {
        Fixture f;
        standIns->write("mount", "exec sleep 600");
        QElapsedTimer clock;
        clock.start();
        load(f, "printf 'Disk|a|\\nDisk|b|'");
        QVERIFY(clock.elapsed() < 45000); // one bound, not one per row
        QCOMPARE(f.button(0)->text(), "");
        QCOMPARE(f.button(1)->text(), "");
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
