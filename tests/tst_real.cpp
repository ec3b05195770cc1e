// The whole use against real parts: a Samba server, smbclient, mount, umount
// and the kernel's mount table. Run through testbed.sh, which provides them.
#include "support.h"

#include <QProcess>

namespace {

const QString user = qEnvironmentVariable("SMB_USER");
const QString password = qEnvironmentVariable("SMB_PASSWORD");
const QString work = qEnvironmentVariable("TESTBED_DIR");

bool mountedAt(const QString& dir)
{
    return QProcess::execute("mountpoint", {"-q", dir}) == 0;
}

void run(const QString& program, const QStringList& arguments)
{
    QCOMPARE(QProcess::execute(program, arguments), 0);
}

} // namespace

class RealTest : public QObject
{
    Q_OBJECT

    // The dialog on server.conf "127.0.0.1, 127.0.0.2" after "Load Shares".
    void list(int server = 0, const QString& pw = password)
    {
        f = std::make_unique<Fixture>();
        f->dialog->ServerComboBox->addItems({"127.0.0.2", "-127.0.0.1"});
        f->dialog->ServerComboBox->setItemText(0, "127.0.0.1");
        f->dialog->ServerComboBox->setCurrentIndex(server);
        f->dialog->UsernameLineEdit->setText(user);
        f->dialog->PasswordLineEdit->setText(pw);
        f->dialog->ServerLoadButton->click();
        QTRY_VERIFY(f->settled());
    }
    void press(int row, QList<QMessageBox::StandardButton> answers = {})
    {
        BoxAnswerer boxes(answers);
        f->button(row)->click();
        QTRY_VERIFY(!QApplication::overrideCursor());
        seen = boxes.seen;
    }
    std::unique_ptr<Fixture> f;
    QList<SeenBox> seen;

private slots:
    void initTestCase()
    {
        if (user.isEmpty() || work.isEmpty())
            QSKIP("needs the Samba test bed: run through tests/testbed.sh");
    }
    void cleanup()
    {
        f.reset();
        QProcess::execute("sh", {"-c", "for m in $(grep -o \" " + work +
                                           "/[^ ]*\" /proc/self/mounts | sort -r); do "
                                           "umount -l \"$(printf '%b' \"$m\")\"; done; rm -rf " +
                                           work + "/*"});
    }

    void listsDiskSharesInServerOrder()
    {
        // A recording wrapper in front of the real smbclient.
        StandIns standIns;
        standIns.write("smbclient", "printf '%s\\n' \"$@\" >\"$0.args\"; exec /usr/bin/smbclient \"$@\"");
        list();
        QCOMPARE(f->column(1), QStringList({"public", "with space", "costs", "eighty-characters-" + QString(62, '0')}));
        QCOMPARE(readFile(standIns.path("smbclient.args")), "-g\n-U\n" + user + "\n-L\n127.0.0.1\n");
    }

    void failuresShowInTheInfoView_data()
    {
        QTest::addColumn<int>("server");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password") << 0 << "wrong"
                                        << "session setup failed: NT_STATUS_LOGON_FAILURE";
        QTest::newRow("nothing listens") << 1 << password
                                         << "do_connect: Connection to 127.0.0.2 failed (Error "
                                            "NT_STATUS_CONNECTION_REFUSED)";
        // A server name that looks like an option still names the server.
        QTest::newRow("server name with a dash") << 2 << password << "do_connect: Connection to -127.0.0.1 failed";
    }
    void failuresShowInTheInfoView()
    {
        QFETCH(int, server);
        QFETCH(QString, password);
        QFETCH(QString, message);
        list(server, password);
        QCOMPARE(f->table()->horizontalHeaderItem(0)->text(), "Info");
        QVERIFY2(f->table()->item(0, 0)->text().contains(message), qPrintable(f->table()->item(0, 0)->text()));
    }

    // List, mount into a missing directory with blanks, unmount.
    void mountAndUnmount()
    {
        list();
        const QString dir = work + "/with space";
        f->table()->item(1, 2)->setText(dir);
        QCOMPARE(f->button(1)->text(), "mount");
        press(1, {QMessageBox::Yes});
        QCOMPARE(seen.size(), 1);
        QVERIFY(mountedAt(dir));
        QCOMPARE(f->button(1)->text(), "umount");
        QCOMPARE(SharedeckProbe::mountedDirs(*f->dialog), QStringList{dir});
        press(1);
        QVERIFY(!mountedAt(dir));
        QCOMPARE(f->button(1)->text(), "mount");
        QVERIFY(SharedeckProbe::mountedDirs(*f->dialog).isEmpty());
    }

    void wrongPasswordAtMount()
    {
        list();
        f->table()->item(0, 2)->setText(work);
        f->dialog->PasswordLineEdit->setText("wrong");
        press(0);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, "sharedeck: Fehler von mount");
        QVERIFY2(seen[0].text.startsWith("mount meldete einen Fehler! (Error-Code:32)<br><pre>mount error(13): "
                                         "Permission denied\n"),
                 qPrintable(seen[0].text));
        QVERIFY(!mountedAt(work));
        QCOMPARE(f->button(0)->text(), "mount");
    }

    // What the mount table says about a row "public" at work/data.
    void mountedStateOfARow_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("button");
        QTest::newRow("longer share name") << "//127.0.0.1/oldpublic"
                                           << "data"
                                           << "mount";
        QTest::newRow("longer mount point") << "//127.0.0.1/public"
                                            << "data2"
                                            << "mount";
        QTest::newRow("other server") << "//elsewhere/public"
                                      << "data"
                                      << "umount";
    }
    void mountedStateOfARow()
    {
        QFETCH(QString, source);
        QFETCH(QString, at);
        QFETCH(QString, button);
        QDir(work).mkpath(at);
        run("mount", {"-t", "tmpfs", "-o", "size=64k", source, work + "/" + at});
        list();
        f->table()->item(0, 2)->setText(work + "/data");
        SharedeckProbe::call(*f->dialog, "checkMounted");
        QCOMPARE(f->button(0)->text(), button);
        QCOMPARE(SharedeckProbe::mountedDirs(*f->dialog).size(), button == "umount" ? 1 : 0);
    }

    // Two rows on one mount point: the later, unmounted row does not drop
    // the mount point that the earlier row found mounted.
    void twoRowsOneMountPoint()
    {
        run("mount", {"-t", "tmpfs", "//127.0.0.1/public", work});
        list();
        f->table()->item(0, 2)->setText(work);
        f->table()->item(1, 2)->setText(work);
        SharedeckProbe::call(*f->dialog, "checkMounted");
        QCOMPARE(f->button(0)->text(), "umount");
        QCOMPARE(f->button(1)->text(), "mount");
        QCOMPARE(SharedeckProbe::mountedDirs(*f->dialog), QStringList{work});
    }

    void closing_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("unmountedBehindItsBack");
        QTest::newRow("no") << QMessageBox::No << false;
        QTest::newRow("yes") << QMessageBox::Yes << false;
        QTest::newRow("yes, one unmount fails") << QMessageBox::Yes << true;
    }
    void closing()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, unmountedBehindItsBack);
        list();
        const QStringList dirs = {work + "/public", work + "/costs"};
        for (int i = 0; i < 2; ++i) {
            f->table()->item(i * 2, 2)->setText(dirs[i]);
            press(i * 2, {QMessageBox::Yes});
            QVERIFY(mountedAt(dirs[i]));
        }
        if (unmountedBehindItsBack)
            run("umount", {dirs[0]});
        BoxAnswerer boxes({answer, QMessageBox::Ok});
        f->dialog->close();
        QCOMPARE(boxes.seen.size(), unmountedBehindItsBack ? 2 : 1);
        QCOMPARE(boxes.seen[0].text.count("<br>"), 4);
        if (unmountedBehindItsBack)
            QVERIFY(boxes.seen[1].text.startsWith("mount meldete einen Fehler! (Error-Code:32)"));
        const bool yes = answer == QMessageBox::Yes;
        QCOMPARE(f->dialog->isVisible(), !yes);
        QCOMPARE(mountedAt(dirs[1]), !yes);
    }

    void closingWithNothingMounted()
    {
        list();
        BoxAnswerer boxes;
        f->dialog->close();
        QVERIFY(boxes.seen.isEmpty());
        QVERIFY(!f->dialog->isVisible());
    }
};

QTEST_MAIN(RealTest)
#include "tst_real.moc"
