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
            << QByteArray(" alpha \n\n   \n#x\nalpha\n") << QStringList{" alpha ", "   ", "#x", "alpha"};
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

    void shareListing_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("shares");
        // Samba 4.17's own output, with "$" and "|" in a comment.
        QTest::newRow("samba") << readFile(SHAREDECK_TESTS_DIR "/corpus/listing/samba-4.17.txt")
                               << QStringList{"public", "with space", "costs"};
        QTest::newRow("CR LF, no final line end") << "Disk|a|x\r\nDisk|b|" << QStringList{"a", "b"};
        QTest::newRow("other types, short lines")
            << "IPC|IPC$|x\nPrinter|p|\nDisk\nDisk|\ndisk|c|\n|Disk|d" << QStringList{};
        QTest::newRow("hostile names")
            << "Disk|.|\nDisk|..|\nDisk|a/b|\nDisk|tab\there|\nDisk|C$|\nDisk|ok|\x7f\nDisk| |"
            << QStringList{"ok", " "};
        QTest::newRow("duplicates kept in order") << "Disk|b|\nDisk|a|\nDisk|b|" << QStringList{"b", "a", "b"};
    }
    void shareListing()
    {
        QFETCH(QString, output);
        QFETCH(QStringList, shares);
        QCOMPARE(diskSharesFromListing(output), shares);
    }

    void mountListing_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("share");
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<bool>("shareMounted"); // that share there, from any server
        QTest::addColumn<bool>("anyShare");     // some share there
        QTest::newRow("mounted") << "//srv/data on /mnt/data type cifs (rw)"
                                 << "data"
                                 << "/mnt/data" << true << true;
        QTest::newRow("longer share") << "//srv/olddata on /mnt/data type cifs"
                                      << "data"
                                      << "/mnt/data" << false << true;
        QTest::newRow("longer mount point") << "//srv/data on /mnt/data2 type cifs"
                                            << "data"
                                            << "/mnt/data" << false << false;
        QTest::newRow("letter case") << "//srv/Data on /mnt/data type cifs"
                                     << "data"
                                     << "/mnt/data" << false << true;
        QTest::newRow("blanks") << "//srv/with space on /tmp/x y type tmpfs (rw)"
                                << "with space"
                                << "/tmp/x y" << true << true;
        QTest::newRow("no share") << "tmpfs on /mnt/data type tmpfs"
                                  << "data"
                                  << "/mnt/data" << false << false;
        QTest::newRow("across lines") << "//srv/data on /mnt/x type cifs\nrest on /mnt/data type cifs"
                                      << "data"
                                      << "/mnt/data" << false << false;
        QTest::newRow("last of 100,000 lines")
            << QString("tmpfs on /t type tmpfs (rw)\n").repeated(100000) + "//srv/data on /mnt/data type cifs"
            << "data"
            << "/mnt/data" << true << true;
    }
    void mountListing()
    {
        QFETCH(QString, line);
        QFETCH(QString, share);
        QFETCH(QString, mountPoint);
        QFETCH(bool, shareMounted);
        QFETCH(bool, anyShare);
        const MountListing listing(readFile(SHAREDECK_TESTS_DIR "/corpus/mounts/debian12.txt") + line + "\n");
        QCOMPARE(listing.showsShare(share, mountPoint), shareMounted);
        QCOMPARE(listing.showsAnyShareAt(mountPoint), anyShare);
    }

    void mountPoints_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("cleaned"); // empty: not usable
        QTest::newRow("as listed") << "/mnt/a b"
                                   << "/mnt/a b";
        QTest::newRow("trailing slash") << "/mnt/public/"
                                        << "/mnt/public";
        QTest::newRow("double slash") << "/mnt//public"
                                      << "/mnt/public";
        QTest::newRow("dot dot") << "/mnt/../mnt/./public"
                                 << "/mnt/public";
        QTest::newRow("relative") << "mnt/public" << QString();
        QTest::newRow("dot") << "./public" << QString();
        QTest::newRow("empty") << "" << QString();
    }
    void mountPoints()
    {
        QFETCH(QString, cell);
        QFETCH(QString, cleaned);
        QCOMPARE(isUsableMountPoint(cleanMountPoint(cell)), !cleaned.isEmpty());
        if (!cleaned.isEmpty())
            QCOMPARE(cleanMountPoint(cell), cleaned);
    }

    void userNames_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("options"); // empty: refused for mounting
        QTest::newRow("plain") << "alice"
                               << "username=alice,ro";
        QTest::newRow("backslash domain") << "CORP\\bob"
                                          << "username=bob,domain=CORP,ro";
        QTest::newRow("slash domain") << "CORP/bob"
                                      << "username=bob,domain=CORP,ro";
        QTest::newRow("realm stays") << "bob@CORP.EXAMPLE"
                                     << "username=bob@CORP.EXAMPLE,ro";
        QTest::newRow("comma") << "alice,uid=0" << QString();
        QTest::newRow("equals") << "uid=0" << QString();
    }
    void userNames()
    {
        QFETCH(QString, user);
        QFETCH(QString, options);
        QCOMPARE(userNameProblem(user).isEmpty(), !options.isEmpty());
        if (!options.isEmpty())
            QCOMPARE(mountOptionString(user, "ro"), options);
    }

    // A stand-in records what it was started with: arguments, PASSWD and
    // standard input, which must be at its end already.
    void commandLines_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<QString>("passwd"); // "-": not set
        QTest::addColumn<QString>("input");
        const QString pw = "pa,ss%wo$rd";
        const QString helper = programDirectory() + "/sharedeck-mount";
        const MountRequest request{"srv", "a b", "/mnt/a b", "CORP\\al", pw, "ro", false};
        QTest::newRow("share list") << shareListCommand("-srv", "alice", pw)
                                    << QStringList{"smbclient", "-g", "-U", "alice", "-L", "-srv"} << pw << "";
        QTest::newRow("mount as root")
            << mountCommand(request, true)
            << QStringList{"mount", "-t", "cifs", "//srv/a b", "/mnt/a b", "-o", "username=al,domain=CORP,ro"} << pw
            << "";
        MountRequest create = request;
        create.createMountPoint = true;
        QTest::newRow("mount as a user")
            << mountCommand(create, false)
            << QStringList{"pkexec", helper, "mount", "--create", "//srv/a b", "/mnt/a b", "username=al,domain=CORP,ro"}
            << "-" << pw;
        QTest::newRow("umount as root") << unmountCommand("/mnt/a b", true) << QStringList{"umount", "/mnt/a b"} << "-"
                                        << "";
        QTest::newRow("umount as a user")
            << unmountCommand("/mnt/a b", false) << QStringList{"pkexec", helper, "umount", "/mnt/a b"} << "-"
            << "";
        QTest::newRow("touch") << touchCommand("/mnt/a b")
                               << QStringList{"touch", "--no-create", "/mnt/a b/Server_Alive.txt"} << "-"
                               << "";
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
