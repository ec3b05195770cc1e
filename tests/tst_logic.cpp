// The logic that needs no window: reading server.conf, the smbclient listing,
// the mount listing, mount points and the command lines handed to children.
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
        QTest::newRow("verbatim, empty lines skipped")
            << QByteArray(" a \n\n   \n#x\na\n") << QStringList{" a ", "   ", "#x", "a"};
        QTest::newRow("CR LF, no final line end") << QByteArray("b\r\n\r\na") << QStringList{"b", "a"};
        QTest::newRow("a line of 1 MiB") << QByteArray(1 << 20, 'x') + "\nb" << QStringList{QString(1 << 20, 'x'), "b"};
    }
    void serverConfEntries()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        QBuffer buffer(&file);
        QVERIFY(buffer.open(QIODevice::ReadOnly | QIODevice::Text));
        QCOMPARE(serverEntries(buffer), entries);
    }

    // The pure rules, each row a call and what it must give.
    void rules_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto shares = [](const QString& output) { return diskSharesFromListing(output).join('|'); };
        const QString table = readFile(SHAREDECK_TESTS_DIR "/corpus/mounts/debian12.txt");
        // Whether the row (share, mount point) is mounted, and whether any share is mounted there.
        const auto listed = [&](const QString& line, const QString& share, const QString& at) {
            const MountListing listing(table + line + "\n");
            return QString("%1 %2").arg(listing.showsShare(share, at)).arg(listing.showsAnyShareAt(at));
        };
        QByteArray bounded("ab");
        const bool whole = appendBounded(bounded, "cde", 4);
        const QString many = QString("tmpfs on /t type tmpfs (rw)\n").repeated(100000);
        // clang-format off
        QTest::newRow("samba 4.17, $ and | in comments") << shares(readFile(SHAREDECK_TESTS_DIR "/corpus/listing/samba-4.17.txt")) << "public|with space|costs";
        QTest::newRow("CR LF, no final line end") << shares("Disk|a|x\r\nDisk|b|") << "a|b";
        QTest::newRow("other types, short lines") << shares("IPC|IPC$|x\nPrinter|p|\nDisk\nDisk|\ndisk|c|\n|Disk|d") << "";
        QTest::newRow("hostile names") << shares("Disk|.|\nDisk|..|\nDisk|a/b|\nDisk|t\tb|\nDisk|C$|\nDisk|ok|\x7f\nDisk| |") << "ok| ";
        QTest::newRow("duplicates kept in order") << shares("Disk|b|\nDisk|a|\nDisk|b|") << "b|a|b";
        QTest::newRow("mounted") << listed("//srv/data on /mnt/data type cifs (rw)", "data", "/mnt/data") << "1 1";
        QTest::newRow("longer share") << listed("//srv/olddata on /mnt/data type cifs", "data", "/mnt/data") << "0 1";
        QTest::newRow("longer mount point") << listed("//srv/data on /mnt/data2 type cifs", "data", "/mnt/data") << "0 0";
        QTest::newRow("letter case") << listed("//srv/Data on /mnt/data type cifs", "data", "/mnt/data") << "0 1";
        QTest::newRow("blanks") << listed("//srv/a b on /tmp/x y type tmpfs (rw)", "a b", "/tmp/x y") << "1 1";
        QTest::newRow("no share") << listed("tmpfs on /mnt/data type tmpfs", "data", "/mnt/data") << "0 0";
        QTest::newRow("across lines") << listed("//s/data on /x type cifs\nr on /mnt/data type cifs", "data", "/mnt/data") << "0 0";
        QTest::newRow("last of 100,000 lines") << listed(many + "//s/data on /mnt/data type cifs", "data", "/mnt/data") << "1 1";
        QTest::newRow("trailing slash") << cleanMountPoint("/mnt/public/") << "/mnt/public";
        QTest::newRow("double slash, dots") << cleanMountPoint("/mnt//../mnt/./public") << "/mnt/public";
        QTest::newRow("blank kept") << cleanMountPoint("/mnt/a b") << "/mnt/a b";
        QTest::newRow("relative, empty") << QString("%1%2").arg(isUsableMountPoint(cleanMountPoint("mnt/x"))).arg(isUsableMountPoint(cleanMountPoint(""))) << "00";
        QTest::newRow("user") << mountOptionString("alice", "ro") << "username=alice,ro";
        QTest::newRow("backslash domain") << mountOptionString("CORP\\bob", "ro") << "username=bob,domain=CORP,ro";
        QTest::newRow("slash domain") << mountOptionString("CORP/bob", "") << "username=bob,domain=CORP";
        QTest::newRow("realm stays") << mountOptionString("bob@CORP.EXAMPLE", "ro") << "username=bob@CORP.EXAMPLE,ro";
        QTest::newRow("user name with , or =") << QString("%1%2%3").arg(userNameProblem("a,uid=0").isEmpty()).arg(userNameProblem("uid=0").isEmpty()).arg(userNameProblem("a.b@c").isEmpty()) << "001";
        QTest::newRow("bounded buffer") << QString::fromLatin1(bounded + QByteArray::number(whole)) << "abcd0";
        // clang-format on
    }
    void rules()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // A stand-in records what it was started with: arguments, PASSWD and
    // standard input, which must be at its end already.
    void commandLines_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<QString>("passwd"); // "-": not set
        QTest::addColumn<QString>("input");
        const QString pw = "pa,ss%wo$rd", helper = programDirectory() + "/sharedeck-mount";
        const MountRequest request{"srv", "a b", "/mnt/a b", "CORP\\al", pw, "ro", true};
        // clang-format off
        QTest::newRow("share list") << shareListCommand("-srv", "alice", pw) << QStringList{"smbclient", "-g", "-U", "alice", "-L", "-srv"} << pw << "";
        QTest::newRow("mount as root") << mountCommand(request, true) << QStringList{"mount", "-t", "cifs", "//srv/a b", "/mnt/a b", "-o", "username=al,domain=CORP,ro"} << pw << "";
        QTest::newRow("mount as a user") << mountCommand(request, false) << QStringList{"pkexec", helper, "mount", "--create", "//srv/a b", "/mnt/a b", "username=al,domain=CORP,ro"} << "-" << pw;
        QTest::newRow("umount as root") << unmountCommand("/mnt/a b", true) << QStringList{"umount", "/mnt/a b"} << "-" << "";
        QTest::newRow("umount as a user") << unmountCommand("/mnt/a b", false) << QStringList{"pkexec", helper, "umount", "/mnt/a b"} << "-" << "";
        QTest::newRow("touch") << touchCommand("/mnt/a b") << QStringList{"touch", "--no-create", "/mnt/a b/Server_Alive.txt"} << "-" << "";
        // clang-format on
    }
    void commandLines()
    {
        QFETCH(Command, command);
        QFETCH(QStringList, argv);
        QFETCH(QString, passwd);
        QFETCH(QString, input);
        StandIns standIns;
        qunsetenv("PASSWD");
        standIns.write(command.program, "printf '%s\\n' \"$0\" \"$@\" \"${PASSWD--}\" >\"$0.log\"; cat >\"$0.in\"");
        QProcess process;
        QVERIFY(startCommand(process, command));
        QVERIFY(process.waitForFinished(5000));
        QStringList seen = readFile(standIns.path(command.program) + ".log").split('\n');
        seen.removeLast();
        QCOMPARE(seen.takeLast(), passwd);
        seen[0] = QFileInfo(seen[0]).fileName();
        QCOMPARE(seen, argv);
        QCOMPARE(readFile(standIns.path(command.program) + ".in"), input);
    }

    // Stopping a command stops what it started too; a command that cannot
    // start says so.
    void stoppingAndFailingCommands()
    {
        QTemporaryDir dir;
        QProcess process;
        QVERIFY(startCommand(process, {"sh", {"-c", "sleep 600 & echo $! >" + dir.filePath("child") + "; wait"}}));
        QTRY_VERIFY(readFile(dir.filePath("child")).endsWith('\n'));
        QVERIFY(!finishWithin(process, 100));
        QTRY_VERIFY(!running(readFile(dir.filePath("child"))));
        QVERIFY(!startCommand(process, {"/nonexistent/smbclient", {}}));
    }
};

QTEST_GUILESS_MAIN(LogicTest)
#include "tst_logic.moc"
