// Listing and mounting against real parts: a Samba server, smbclient, mount,
// umount and the kernel's mount table. Run through testbed.sh, which provides them.
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

} // namespace

class RealTest : public QObject
{
    Q_OBJECT

    // The dialog on the servers 127.0.0.1, 127.0.0.2 and -127.0.0.1 after "Load Shares".
    void list(int server = 0, const QString& pw = password)
    {
        f = std::make_unique<Fixture>(true, "127.0.0.1\n127.0.0.2\n-127.0.0.1\n");
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
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::overrideCursor() && !QApplication::activeModalWidget(), 10000);
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
        QProcess::execute("sh", {"-c", "grep -o ' " + work +
                                           "/[^ ]*' /proc/self/mounts | sort -r | while read m; do "
                                           "umount -l \"$(printf '%b' \"$m\")\"; done; rm -rf " +
                                           work + "/*"});
    }

    void listsDiskSharesInServerOrder()
    {
        StandIns standIns; // a recording wrapper in front of the real smbclient
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
        // clang-format off
        QTest::newRow("wrong password") << 0 << "wrong" << "session setup failed: NT_STATUS_LOGON_FAILURE";
        QTest::newRow("nothing listens") << 1 << password << "do_connect: Connection to 127.0.0.2 failed (Error " "NT_STATUS_CONNECTION_REFUSED)";
        // clang-format on
        // A server name that looks like an option still names the server.
        // clang-format off
        QTest::newRow("server name with a dash") << 2 << password << "do_connect: Connection to -127.0.0.1 failed";
        // clang-format on
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

    // Mount into a missing directory with a blank, written with a trailing
    // slash as mount never lists it; unmount; a wrong password's error.
    void mountAndUnmount()
    {
        list();
        const QString dir = work + "/with space";
        f->table()->item(1, 2)->setText(dir + "/");
        press(1, {QMessageBox::Yes});
        QCOMPARE(seen.size(), 1);
        QVERIFY(mountedAt(dir));
        QCOMPARE(f->button(1)->text(), "umount");
        QCOMPARE(f->mountedDirs(), QStringList{dir});
        press(1);
        QVERIFY(seen.isEmpty());
        QVERIFY(!mountedAt(dir));
        QCOMPARE(f->button(1)->text(), "mount");
        QVERIFY(f->mountedDirs().isEmpty());

        f->dialog->PasswordLineEdit->setText("wrong");
        press(1);
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen[0].text.startsWith("mount meldete einen Fehler! (Error-Code:32)<br><pre>mount error(13): "
                                         "Permission denied\n"),
                 qPrintable(seen[0].text));
        QVERIFY(!mountedAt(dir));
    }

    void closing_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("unmountedBehindItsBack");
        // clang-format off
        QTest::newRow("no") << QMessageBox::No << false;
        QTest::newRow("yes") << QMessageBox::Yes << false;
        QTest::newRow("yes, one unmount fails") << QMessageBox::Yes << true;
        // clang-format on
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
            QCOMPARE(QProcess::execute("umount", {dirs[0]}), 0);
        BoxAnswerer boxes({answer, QMessageBox::Ok});
        f->dialog->close();
        QCOMPARE(boxes.seen.size(), unmountedBehindItsBack ? 2 : 1);
        if (unmountedBehindItsBack)
            QVERIFY(boxes.seen[1].text.startsWith("mount meldete einen Fehler! (Error-Code:32)"));
        const bool yes = answer == QMessageBox::Yes;
        QCOMPARE(f->dialog->isVisible(), !yes);
        QCOMPARE(mountedAt(dirs[1]), !yes);
    }
};

QTEST_MAIN(RealTest)
#include "tst_real.moc"
