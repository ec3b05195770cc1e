// The logic that needs no window: reading server.conf, the smbclient listing,
// the mount listing and the command lines handed to child processes.
#include "commands.h"
#include "mounttable.h"
#include "serverlist.h"
#include "sharelisting.h"
#include "support.h"

#include <QBuffer>
#include <QProcess>

class LogicTest : public QObject
{
    Q_OBJECT
private slots:
    void serverConfEntries_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("empty lines skipped") << QByteArray("alpha\n\nbeta\n") << QStringList{"alpha", "beta"};
        QTest::newRow("verbatim") << QByteArray(" alpha \n   \n#x\nalpha\n")
                                  << QStringList{" alpha ", "   ", "#x", "alpha"};
        QTest::newRow("CR LF") << QByteArray("alpha\r\nbeta\r\n") << QStringList{"alpha", "beta"};
        QTest::newRow("no final line end") << QByteArray("alpha\nbeta") << QStringList{"alpha", "beta"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("only empty lines") << QByteArray("\n\n\r\n") << QStringList{};
        QStringList many;
        QByteArray big;
        for (int i = 0; i < 300000; ++i) {
            many << QStringLiteral("server-%1.example").arg(i);
            big += many.last().toLatin1() + "\n";
        }
        QTest::newRow("several MiB") << big << many;
        QTest::newRow("a line of 1 MiB") << QByteArray(1 << 20, 'x') + "\nb" << QStringList{QString(1 << 20, 'x'), "b"};
        QByteArray garbage;
        for (int i = 0; i < 65536; ++i) // every byte value but line feed and carriage return
            garbage += char((i * 7919) % 251 == 10 || (i * 7919) % 251 == 13 ? 11 : (i * 7919) % 251);
        QTest::newRow("binary garbage, one line")
            << garbage + "\nlast" << QStringList{QString::fromUtf8(garbage), "last"};
    }
    void serverConfEntries()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(serverEntries(buffer), entries);
    }

    // Golden files: each listing next to the shares that must be offered.
    void shareListing_data()
    {
        QTest::addColumn<QString>("listing");
        const QDir dir(SHAREDECK_TESTS_DIR "/corpus/listing");
        for (const QString& name : dir.entryList({"*.txt"}))
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }
    void shareListing()
    {
        QFETCH(QString, listing);
        QFile output(listing), expected(QString(listing).replace(".txt", ".shares"));
        QVERIFY(output.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
        QStringList shares = QString::fromUtf8(expected.readAll()).split('\n');
        shares.removeLast();
        QCOMPARE(diskSharesFromListing(QString::fromLocal8Bit(output.readAll())), shares);
    }

    void mountListing_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("share");
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<bool>("mounted");
        const QString table = "proc on /proc type proc (rw)\n%1\ntmpfs on /run type tmpfs (rw)\n";
        QTest::newRow("mounted") << table.arg("//srv/data on /mnt/data type cifs (rw)") << "data"
                                 << "/mnt/data" << true;
        QTest::newRow("other server") << table.arg("//nas/data on /mnt/data type cifs") << "data"
                                      << "/mnt/data" << true;
        QTest::newRow("longer share") << table.arg("//srv/olddata on /mnt/data type cifs") << "data"
                                      << "/mnt/data" << false;
        QTest::newRow("longer mount point") << table.arg("//srv/data on /mnt/data2 type cifs") << "data"
                                            << "/mnt/data" << false;
        QTest::newRow("letter case") << table.arg("//srv/Data on /mnt/data type cifs") << "data"
                                     << "/mnt/data" << false;
        QTest::newRow("blanks") << table.arg("//srv/with space on /tmp/x y type tmpfs (rw)") << "with space"
                                << "/tmp/x y" << true;
        QTest::newRow("last of 100,000 lines") << table.arg(QString("tmpfs on /t type tmpfs (rw)\n").repeated(100000) +
                                                            "//srv/data on /mnt/data type cifs")
                                               << "data"
                                               << "/mnt/data" << true;
        QTest::newRow("across lines") << "//srv/data on /mnt/x type cifs\nrest on /mnt/data type cifs\n"
                                      << "data"
                                      << "/mnt/data" << false;
    }
    void mountListing()
    {
        QFETCH(QString, listing);
        QFETCH(QString, share);
        QFETCH(QString, mountPoint);
        QFETCH(bool, mounted);
        QCOMPARE(listingShowsMount(listing, mountSearchText(share, mountPoint)), mounted);
    }

    void commandLines_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<QString>("passwd");
        const QString pw = "pa,ss%wo$rd";
        QTest::newRow("share list") << shareListCommand("-srv", "alice", pw)
                                    << QStringList{"smbclient", "-g", "-U", "alice", "-L", "-srv"} << pw;
        QTest::newRow("mount") << mountCommand("srv", "a b", "/mnt/a b", "alice", pw, defaultMountOptions)
                               << QStringList{"mount",
                                              "-t",
                                              "cifs",
                                              "//srv/a b",
                                              "/mnt/a b",
                                              "-o",
                                              "username=alice,gid=1000,uid=1000,sec=ntlmssp"}
                               << pw;
        QTest::newRow("mount, empty password")
            << mountCommand("srv", "x", "/mnt/x", "alice", "", "ro")
            << QStringList{"mount", "-t", "cifs", "//srv/x", "/mnt/x", "-o", "username=alice,ro"} << "";
        QTest::newRow("umount") << unmountCommand("/mnt/a b") << QStringList{"umount", "/mnt/a b"} << "-";
        QTest::newRow("touch") << touchCommand("/mnt/a b")
                               << QStringList{"touch", "--no-create", "/mnt/a b/Server_Alive.txt"} << "-";
        QTest::newRow("mount listing") << mountListCommand() << QStringList{"mount"} << "-";
    }
    // A stand-in records what it was started with; its standard input must be
    // at end already, or "cat" would wait and the test would time out.
    void commandLines()
    {
        QFETCH(Command, command);
        QFETCH(QStringList, argv);
        QFETCH(QString, passwd);
        StandIns standIns;
        standIns.write(command.program, "printf '%s\\n' \"$0\" \"$@\" \"${PASSWD--}\" >\"$0.log\"; cat");
        QProcess process;
        QVERIFY(startCommand(process, command));
        QVERIFY(process.waitForFinished(5000));
        QStringList seen = readFile(standIns.path(command.program) + ".log").split('\n');
        seen.removeLast();
        QCOMPARE(seen.takeLast(), passwd);
        seen[0] = QFileInfo(seen[0]).fileName();
        QCOMPARE(seen, argv);
    }

    void commandThatCannotStart()
    {
        QProcess process;
        QVERIFY(!startCommand(process, {"/nonexistent/smbclient", {}}));
    }
};

QTEST_GUILESS_MAIN(LogicTest)
#include "tst_logic.moc"
