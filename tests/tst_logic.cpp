// The logic that needs no window: server.conf, both listings, mount points, command lines.
#include "commands.h"
#include "mounttable.h"
#include "serverlist.h"
#include "sharelisting.h"
#include "support.h"

class LogicTest : public QObject
{
    Q_OBJECT
private slots:
    // The pure rules, each row a call and what it must give.
    void rules_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto entries = [](QByteArray file) {
            QBuffer buffer(&file);
            return buffer.open(QIODevice::ReadOnly | QIODevice::Text) ? serverEntries(buffer).join('|') : "?";
        };
        const auto shares = [](const QString& output) { return diskSharesFromListing(output).join('|'); };
        // Whether the row (share, mount point) is mounted, and whether any share is mounted there.
        const auto listed = [&](const QString& line, const QString& share, const QString& at) {
            const MountListing listing("proc on /proc type proc (rw)\n/dev/sda1 on / type ext4 (rw)\n" + line + "\n");
            return QString("%1 %2").arg(listing.showsShare(share, at)).arg(listing.showsAnyShareAt(at));
        };
        // Program, arguments, PASSWD ("-": not set) and standard input.
        const auto run = [](const Command& c) {
            return QStringList{c.program, c.arguments.join('|'), c.environment.value("PASSWD", "-"), c.input}.join(" ; ");
        };
        qunsetenv("PASSWD");
        const QString pw = "pa,ss%wo$rd", helper = programDirectory() + "/sharedeck-mount";
        const MountRequest request{"\\\\srv", "a b", "/mnt/a b", "CORP\\al", pw, "ro", true};
        QByteArray bounded("ab");
        const bool whole = appendBounded(bounded, "cde", 4);
        QTest::newRow("server.conf verbatim, empty lines skipped") << entries(" a \n\n   \n#x\na\n") << " a |   |#x|a";
        QTest::newRow("server.conf CR LF, no final line end") << entries("b\r\n\r\na") << "b|a";
        QTest::newRow("server.conf line of 1 MiB") << entries(QByteArray(1 << 20, 'x') + "\nb") << QString(1 << 20, 'x') + "|b";
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
        QTest::newRow("trailing slash") << cleanMountPoint("/mnt/public/") << "/mnt/public";
        QTest::newRow("double slash, dots") << cleanMountPoint("/mnt//../mnt/./public") << "/mnt/public";
        QTest::newRow("blank kept") << cleanMountPoint("/mnt/a b") << "/mnt/a b";
        QTest::newRow("relative, empty") << QString("%1%2").arg(isUsableMountPoint(cleanMountPoint("mnt/x"))).arg(isUsableMountPoint(cleanMountPoint(""))) << "00";
        QTest::newRow("user with a blank") << mountOptionString("John Smith", "ro") << "username=John Smith,ro";
        QTest::newRow("backslash domain") << mountOptionString("CORP\\bob", "ro") << "username=bob,domain=CORP,ro";
        QTest::newRow("slash domain") << mountOptionString("CORP/bob", "") << "username=bob,domain=CORP";
        QTest::newRow("realm stays") << mountOptionString("bob@CORP.EXAMPLE", "ro") << "username=bob@CORP.EXAMPLE,ro";
        QTest::newRow("user name with , or =") << QString("%1%2%3%4").arg(userNameProblem("a,uid=0").isEmpty()).arg(userNameProblem("uid=0").isEmpty()).arg(userNameProblem("a.b@c").isEmpty()).arg(userNameProblem("John Smith").isEmpty()) << "0011";
        QTest::newRow("user name with % for listing") << QString("%1%2").arg(listingUserProblem("a%b").isEmpty()).arg(listingUserProblem("John Smith").isEmpty()) << "01";
        QTest::newRow("server written as a path") << QStringList{serverHost("//srv"), serverHost("\\\\srv"), serverHost("srv/x")}.join(' ') << "srv srv srv/x";
        QTest::newRow("share list") << run(shareListCommand("-srv", "alice", pw)) << "smbclient ; -g|-U|alice|-L|-srv ; " + pw + " ; ";
        QTest::newRow("mount as root") << run(mountCommand(request, true)) << "mount ; -t|cifs|//srv/a b|/mnt/a b|-o|username=al,domain=CORP,ro ; " + pw + " ; ";
        QTest::newRow("mount as a user") << run(mountCommand(request, false)) << "pkexec ; " + helper + "|mount|--create|//srv/a b|/mnt/a b|username=al,domain=CORP,ro ; - ; " + pw;
        QTest::newRow("umount as root") << run(unmountCommand("/mnt/a b", true)) << "umount ; /mnt/a b ; - ; ";
        QTest::newRow("umount as a user") << run(unmountCommand("/mnt/a b", false)) << "pkexec ; " + helper + "|umount|/mnt/a b ; - ; ";
        QTest::newRow("touch") << run(touchCommand("/mnt/a b")) << "touch ; --no-create|/mnt/a b/Server_Alive.txt ; - ; ";
        QTest::newRow("bounded buffer") << QString::fromLatin1(bounded + QByteArray::number(whole)) << "abcd0";
    }
    void rules()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(LogicTest)
#include "tst_logic.moc"
