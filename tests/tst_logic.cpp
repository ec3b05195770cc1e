// The logic that needs no window: server.conf, both listings, mount points, command lines.
#include "commands.h"
#include "discovery.h"
#include "mounttable.h"
#include "serverlist.h"
#include "sharelisting.h"
#include "support.h"
#include "translation.h"

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
        const auto usable = [](const QStringList& cells) {
            QString r;
            for (const QString& cell : cells)
                r += QString::number(mountPointProblem(cleanMountPoint(cell)).isEmpty());
            return r;
        };
        const auto ends = [] {
            QStringList r;
            const char* const names[] = {"Succeeded", "Failed", "Crashed", "TimedOut", "Stopped", "Dismissed", "NotAuthorised"};
            for (auto [pkexec, status, code, timedOut, stopped] : {std::tuple(true, QProcess::NormalExit, 126, false, false), {true, QProcess::NormalExit, 127, false, false}, {false, QProcess::NormalExit, 126, false, false}, {false, QProcess::NormalExit, 127, false, false}, {true, QProcess::NormalExit, 2, false, false}, {true, QProcess::NormalExit, 0, false, false}, {false, QProcess::CrashExit, 0, false, false}, {false, QProcess::CrashExit, 0, true, false}, {false, QProcess::CrashExit, 0, true, true}})
                r << names[int(judgeEnd(pkexec, status, code, timedOut, stopped))];
            return r.join(' ');
        };
        qunsetenv("PASSWD");
        const QString pw = "pa,ss%wo$rd", helper = programDirectory() + "/sharedeck-mount";
        const MountRequest request{"\\\\srv", "a b", "/mnt/a b", "CORP\\al", pw, "ro", true};
        QByteArray bounded("ab");
        const bool whole = appendBounded(bounded, "cde", 4);
        QTest::newRow("server.conf as written, empty and blank lines skipped") << entries(" a \n\n   \n#x\na\n") << " a |#x|a";
        QTest::newRow("server used without blanks around it") << serverName(" \t127.0.0.1 ") << "127.0.0.1";
        QTest::newRow("server.conf CR LF, no final line end") << entries("b\r\n\r\na") << "b|a";
        QTest::newRow("server.conf line of 1 MiB") << entries(QByteArray(1 << 20, 'x') + "\nb") << QString(1 << 20, 'x') + "|b";
        // Servers announced on the network: each program's lines (from a LAN of namespaces), as "name@address".
        const auto found = [](const QByteArray& lines) {
            QStringList r;
            for (const QByteArray& line : lines.split('\n')) {
                const std::optional<FoundServer> s = line.startsWith('=') ? avahiFound(line) : wsddFound(line);
                r << (s ? s->name + "@" + s->address : "-");
            }
            return r.join(' ');
        };
        QTest::newRow("wsdd: computers by IPv4, with a workgroup or domain") << found("INFO: discovered Büro-NAS in Workgroup:LANGROUP on 198.51.100.11%lan\nINFO: discovered SRV-ONE in Workgroup:LABGROUP on [fe80::2803:dfff:fe56:fb1]%eth0\n2026-12-08 16:19:59,203:wsdd INFO(pid 7): discovered FS1 in Domain:corp.example on 198.51.100.5%eth0\nINFO: discovered HP LaserJet on 198.51.100.30%eth0\nINFO: discovered MY NAS in Workgroup:WG on 198.51.100.9%eth0\nINFO: discovered -x in Workgroup:WG on 198.51.100.256%eth0\nINFO: using 198.51.100.20 on lan") << "Büro-NAS@198.51.100.11 - FS1@198.51.100.5 - @198.51.100.9 - -";
        QTest::newRow("avahi-browse: resolved IPv4 rows on 445, escapes undone") << found("=;lan;IPv4;NAS2;_smb._tcp;local;nas2.local;198.51.100.12;445;\n=;lan;IPv6;NAS2;_smb._tcp;local;nas2.local;fe80::dcad:ceff:febd:c861;445;\n+;lan;IPv4;NAS2;_smb._tcp;local\n=;eth0;IPv4;B\\195\\188ro\\032Stra\\195\\159e\\059\\032A\\.B\\\\C;_smb._tcp;local;b\\195\\188ro-stra\\195\\159e.local;198.51.100.12;445;\n=;eth0;IPv4;X;_smb._tcp;local;x.local;198.51.100.13;139;\n=;eth0;IPv4;X;_smb._tcp;local;a\\032b.local;198.51.100.14;445;\"txt\"\n=;eth0;IPv4;X;_smb._tcp;local;x\\999;198.51.100.15;445;\nFailed to create client object: Daemon not running") << "nas2.local@198.51.100.12 - - büro-straße.local@198.51.100.12 - @198.51.100.14 @198.51.100.15 -";
        const auto listedAs = [](const QStringList& names) {
            QString r;
            for (const QString& name : names)
                r += QString::number(alreadyListed({name.section('@', 0, 0), name.section('@', 1)}, {"fileserver.example.org", " //198.51.100.7 ", "büro-nas", "nas2.local"}, {{"nas2.local", "198.51.100.12"}}));
            return r;
        };
        QTest::newRow("found once: names without case and domain, addresses") << listedAs({"FILESERVER@198.51.100.11", "Fileserver.local@198.51.100.11", "@198.51.100.7", "NAS2@198.51.100.12", "BÜRO-NAS@198.51.100.8", "x@198.51.100.12", "files@198.51.100.7"}) + " " + listedAs({"nas3.local@198.51.100.13", "@198.51.100.70", "files@198.51.100.11", "198.51.100.7x@198.51.100.9"}) << "1111111 0000";
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
        QTest::newRow("mounted for a uid") << QString("%1%2%3").arg(MountListing("//s/d on /mnt/d type cifs (rw,uid=4711,forceuid)").showsAnyShareAt("/mnt/d", 4711)).arg(MountListing("//s/d on /mnt/d type cifs (rw,uid=47110)").showsAnyShareAt("/mnt/d", 4711)).arg(MountListing("//s/d on /mnt/d type cifs (cruid=4711,uid=0)").showsAnyShareAt("/mnt/d", 4711)) << "100";
        // A row's state as a normal user (uid 4711) or root (-1): not mounted, mounted, another's place; its place kept.
        const auto state = [](const QString& lines, qint64 uid) {
            QStringList dirs{"/mnt/d"};
            const RowMount s = MountListing(lines).recordIn(dirs, "d", "/mnt/d", uid);
            return QString("-NMO"[int(s)]) + QString::number(dirs.size());
        };
        QTest::newRow("row state: whose mount it is") << QStringList{state("//s/d on /mnt/d type cifs (rw,uid=4711)", 4711), state("//s/d on /mnt/d type cifs (rw,uid=4712)", 4711), state("//s/e on /mnt/d type cifs (uid=4712)", 4711), state("//s/e on /mnt/d type cifs (uid=4711)", 4711), state("//s/d on /mnt/d type cifs (rw,uid=47110)", 4711), state("//s/d on /mnt/d type cifs (uid=4712)\n//s/d on /mnt/d type cifs (uid=4711)", 4711), state("//s/d on /mnt/d type cifs (rw,uid=4712)", -1), state("tmpfs on /mnt/d type tmpfs (uid=4712)", 4711)}.join(' ') << "M1 O0 O0 N1 O0 M1 M1 N0";
        QTest::newRow("no share") << listed("tmpfs on /mnt/data type tmpfs", "data", "/mnt/data") << "0 0";
        QTest::newRow("across lines") << listed("//s/data on /x type cifs\nr on /mnt/data type cifs", "data", "/mnt/data") << "0 0";
        QTest::newRow("trailing slash") << cleanMountPoint("/mnt/public/") << "/mnt/public";
        QTest::newRow("double slash, dots") << cleanMountPoint("/mnt//../mnt/./public") << "/mnt/public";
        QTest::newRow("blank kept") << cleanMountPoint("/mnt/a b") << "/mnt/a b";
        QTest::newRow("mount points the helper takes") << usable({"/mnt/a b", "/mnt/...", "/mnt/" + QString(255, 'x'), "/mnt/x/", "/mnt/../mnt/y"}) << "11111";
        QTest::newRow("mount points leading nowhere") << usable({"/mnt", "/", "/mnt/../etc", "/mnt/.", "mnt/x", "", "/mnt/a/b", "/mnt/a\tb", "/mnt/" + QString(256, 'x'), "/mnt/" + QString(128, u'ä'), "/home/x"}) << "00000000000";
        QTest::newRow("share names the helper refuses") << QString("%1%2%3%4%5").arg(shareMountProblem("-dash").isEmpty()).arg(shareMountProblem("a,b").isEmpty()).arg(shareMountProblem("a\\b").isEmpty()).arg(shareMountProblem("a-b").isEmpty()).arg(shareMountProblem("John's $").isEmpty()) << "00011";
        QTest::newRow("ends: pkexec's 126, 127 only through pkexec") << ends() << "Dismissed NotAuthorised Failed Failed Failed Succeeded Crashed TimedOut Stopped";
        QTest::newRow("user with a blank") << mountOptionString("John Smith", "ro") << "username=John Smith,ro";
        QTest::newRow("backslash domain") << mountOptionString("CORP\\bob", "ro") << "username=bob,domain=CORP,ro";
        QTest::newRow("slash domain") << mountOptionString("CORP/bob", "") << "username=bob,domain=CORP";
        QTest::newRow("realm stays") << mountOptionString("bob@CORP.EXAMPLE", "ro") << "username=bob@CORP.EXAMPLE,ro";
        QTest::newRow("user name with , or =") << QString("%1%2%3%4").arg(userNameProblem("a,uid=0").isEmpty()).arg(userNameProblem("uid=0").isEmpty()).arg(userNameProblem("a.b@c").isEmpty()).arg(userNameProblem("John Smith").isEmpty()) << "0011";
        QTest::newRow("user name with % for listing") << QString("%1%2").arg(listingUserProblem("a%b").isEmpty()).arg(listingUserProblem("John Smith").isEmpty()) << "01";
        QTest::newRow("server written as a path") << QStringList{serverHost("//srv"), serverHost("\\\\srv"), serverHost("srv/x")}.join(' ') << "srv srv srv/x";
        // smbclient's failures as Samba 4.17 prints them: the advice begins so, the line is found behind warnings.
        const auto explained = [](const QString& output) {
            const ListingFailure f = explainListingFailure(output);
            return f.advice.section(' ', 0, 3) + " | " + f.line;
        };
        QTest::newRow("wrong password, after a warning") << explained("WARNING: The \"syslog\" option is deprecated\nsession setup failed: NT_STATUS_LOGON_FAILURE\n") << "Benutzername oder Passwort sind | session setup failed: NT_STATUS_LOGON_FAILURE";
        QTest::newRow("account disabled") << explained("session setup failed: NT_STATUS_ACCOUNT_DISABLED") << "Das Benutzerkonto ist auf | session setup failed: NT_STATUS_ACCOUNT_DISABLED";
        QTest::newRow("account locked") << explained("session setup failed: NT_STATUS_ACCOUNT_LOCKED_OUT") << "Das Benutzerkonto ist auf | session setup failed: NT_STATUS_ACCOUNT_LOCKED_OUT";
        QTest::newRow("unknown server") << explained("do_connect: Connection to nosuchhost.invalid failed (Error NT_STATUS_UNSUCCESSFUL)\n") << "Der Server ist unbekannt: | do_connect: Connection to nosuchhost.invalid failed (Error NT_STATUS_UNSUCCESSFUL)";
        QTest::newRow("not answering") << explained("protocol negotiation failed: NT_STATUS_IO_TIMEOUT\n") << "Der Server ist nicht | protocol negotiation failed: NT_STATUS_IO_TIMEOUT";
        for (const char* status : {"CONNECTION_REFUSED", "HOST_UNREACHABLE", "NETWORK_UNREACHABLE"})
            QTest::newRow(status) << explained(QString("do_connect: Connection to 10.0.0.9 failed (Error NT_STATUS_%1)").arg(status)) << QString("Der Server ist nicht | do_connect: Connection to 10.0.0.9 failed (Error NT_STATUS_%1)").arg(status);
        QTest::newRow("SMB1 only") << explained("protocol negotiation failed: NT_STATUS_CONNECTION_DISCONNECTED") << "Der Server spricht nur | protocol negotiation failed: NT_STATUS_CONNECTION_DISCONNECTED";
        QTest::newRow("mount: SMB1 only, access refused, busy") << QStringList{mountFailureAdvice("mount error: Server abruptly closed the connection.\n... Try mounting with vers=1.0.\nmount error(112): Host is down\n").section(' ', 0, 3), mountFailureAdvice("mount error(13): Permission denied\nRefer to the mount.cifs(8) manual page (e.g. man mount.cifs) and kernel log messages (dmesg)\n").section(' ', 0, 3), mountFailureAdvice("umount: /mnt/public: target is busy.\n").section(' ', 0, 3), mountFailureAdvice("mount error(2): No such file or directory")}.join('|') << "Der Server spricht nur|Der Server hat diesem|Die Freigabe wird noch|";
        QTest::newRow("Kerberos: the way to the server fails as without") << explainListingFailure("do_connect: Connection to s failed (Error NT_STATUS_IO_TIMEOUT)", true).advice.section(' ', 0, 3) + "|" + explainListingFailure("kinit failed", true).line << "Der Server ist nicht|";
        const auto kerberosAdvice = [](const QString& output, const QString& options) { return mountFailureAdvice(output, options).section(' ', 0, 3); };
        QTest::newRow("mount: Kerberos refused") << QStringList{kerberosAdvice("mount error(126): Required key not available\n", ""), kerberosAdvice("mount error(13): Permission denied", "ro,sec=krb5i"), kerberosAdvice("mount error(13): Permission denied", "sec=ntlmssp,krb5")}.join('|') << "Die Anmeldung mit Kerberos|Die Anmeldung mit Kerberos|Der Server hat diesem";
        const auto named = [](const QStringList& servers) {
            QString r;
            for (const QString& server : servers)
                r += QString::number(kerberosServerProblem(server).isEmpty());
            return r;
        };
        QTest::newRow("Kerberos: addresses, not names") << named({"127.0.0.1", "//::1", "\\\\fe80::2%lo", "fe80::2%nosuch", "1.2.3", "127.1"}) + " " + named({"srv", "//dc1.samdom.test", "[::1]", "1.2.3.4.5", "1.2.3.4 x", "1.2.3.a"}) << "000000 111111";
        // A listing judged by what it holds: the kind, the shares or the advice's first words and the line.
        const auto judged = [](const QString& output, int status, bool kerberos = false) {
            const ListingResult r = judgeListing(output, status, kerberos);
            return QString("SNF"[r.kind]) + " " + (r.kind == ListingResult::Failed ? r.failure.advice.section(' ', 0, 3) + " | " + r.failure.line : r.shares.join('|'));
        };
        const QString v6 = "Disk|public|Shared files\nDisk|hidden$|Hidden one\nDisk|with space|\nIPC|IPC$|IPC Service (Samba 4.17.12-Debian)\n";
        const QString rpc = "cli_rpc_pipe_open_noauth: rpc_pipe_bind for pipe srvsvc failed with error NT_STATUS_CONNECTION_DISCONNECTED";
        QTest::newRow("listing: status 1 after a whole list from ::1") << judged(v6 + "::1 is an IPv6 address -- no workgroup available\n", 1) << "S public|with space";
        QTest::newRow("listing: status 0, SMB1 remark") << judged(v6 + "SMB1 disabled -- no workgroup available\n", 0) << "S public|with space";
        QTest::newRow("listing: status 1, a fault after the list") << judged(v6 + "do_connect: Connection to ::1 failed (Error NT_STATUS_IO_TIMEOUT)\n", 1) << "F Der Server ist nicht | do_connect: Connection to ::1 failed (Error NT_STATUS_IO_TIMEOUT)";
        QTest::newRow("listing: status 0, the RPC bind failed") << judged(rpc + "\nSMB1 disabled -- no workgroup available\n", 0, true) << "F Der Server hat die | " + rpc;
        QTest::newRow("listing: status 0, nothing listed") << judged("SMB1 disabled -- no workgroup available\n", 0) << "F Der Server hat die | ";
        QTest::newRow("listing: no disk share, IPv6") << judged("Disk|C$|Default share\nIPC|IPC$|IPC Service\nfe80::1%eth0 is an IPv6 address -- no workgroup available\n", 1) << "N ";
        QTest::newRow("listing: status 1, wrong password") << judged("session setup failed: NT_STATUS_LOGON_FAILURE\n", 1) << "F Benutzername oder Passwort sind | session setup failed: NT_STATUS_LOGON_FAILURE";
        QTest::newRow("failure not known") << explained("tree connect failed: NT_STATUS_ACCESS_DENIED") << " | ";
        QTest::newRow("share list") << run(shareListCommand("-srv", "alice", pw)) << "smbclient ; -g|-U|alice|-L|-srv ; " + pw + " ; ";
        QTest::newRow("mount as root") << run(mountCommand(request, true)) << "mount ; -t|cifs|//srv/a b|/mnt/a b|-o|username=al,domain=CORP,ro ; " + pw + " ; ";
        qputenv("PASSWD", "x"); // not passed on
        QTest::newRow("share list with Kerberos") << run(kerberosShareListCommand("srv")) << "smbclient ; -g|-L|srv|--use-kerberos=required|-N ; - ; ";
        qunsetenv("PASSWD");
        QTest::newRow("mount as root with Kerberos, no password") << run(mountCommand({"srv", "a", "/mnt/a", "", "", "sec=krb5"}, true)) << "mount ; -t|cifs|//srv/a|/mnt/a|-o|sec=krb5 ; - ; ";
        QTest::newRow("mount as a user") << run(mountCommand(request, false)) << "pkexec ; " + helper + "|mount|--create|//srv/a b|/mnt/a b|username=al,domain=CORP,ro ; - ; " + pw;
        QTest::newRow("umount as root") << run(unmountCommand("/mnt/a b", true)) << "umount ; /mnt/a b ; - ; ";
        QTest::newRow("umount as a user") << run(unmountCommand("/mnt/a b", false)) << "pkexec ; " + helper + "|umount|/mnt/a b ; - ; ";
        QTest::newRow("touch") << run(touchCommand("/mnt/a b")) << "touch ; --no-create|/mnt/a b/Server_Alive.txt ; - ; ";
        const auto english = [](const QList<QStringList>& lists) {
            QString r;
            for (const QStringList& list : lists)
                r += QString::number(prefersEnglish(list));
            return r;
        };
        QTest::newRow("interface language") << english({{"en-US", "en-Latn-US", "en"}, {"en-GB", "en-Latn-GB"}, {"fr-FR", "en"}, {"EN_us"}, {"C"}, {}, {"de-DE", "de"}, {"de", "en"}, {"fr-FR"}, {"eng"}}) << "1111000000";
        const QStringList helperLines = {
            "sharedeck-mount: /mnt/a %2 b lässt sich nicht anlegen: Permission denied",
            "sharedeck-mount: /run/sharedeck/mounts lässt sich nicht schreiben: No space left on device; die Freigabe wurde wieder ausgehängt",
            "sharedeck-mount: uid= und gid= dürfen nur Ihre eigene Kennung nennen (uid=4711, gid=4700)",
            "sharedeck-mount: /mnt/x gehört dem Benutzer bob: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt",
            "sharedeck-mount: Noch nicht bekannt", "mount error(13): Permission denied"};
        QStringList shownLines;
        {
            English english(true);
            for (const QString& line : helperLines)
                shownLines << helperLineShown(line);
        }
        QTest::newRow("the helper's lines in English") << shownLines.join('\n') << "sharedeck-mount: /mnt/a %2 b cannot be created: Permission denied\n"
                                                                                   "sharedeck-mount: /run/sharedeck/mounts cannot be written: No space left on device; the share was unmounted again\n"
                                                                                   "sharedeck-mount: uid= and gid= may only name your own id (uid=4711, gid=4700)\n"
                                                                                   "sharedeck-mount: /mnt/x belongs to the user bob: please choose another mount point in the table\n"
                                                                                   "sharedeck-mount: Noch nicht bekannt\nmount error(13): Permission denied";
        QTest::newRow("the helper's lines in German, as written") << helperOutputShown(helperLines.join('\n')) << helperLines.join('\n');
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
