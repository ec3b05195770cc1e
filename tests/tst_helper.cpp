// Hostile arguments for the checks of the privileged mount helper. The file
// system cases run in a "mnt" directory inside a temporary directory.
#include "checks.h"

#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using Check = std::function<std::string(const std::string&)>;
Q_DECLARE_METATYPE(Check)

// Escaped blanks, the test bed's tmpfs stand-in, another user's share, a tmpfs
// that is no share, /mnt/ab next to /mnt/a, a tmpfs on a share, uid=10000, no server, no share.
const std::string mountinfo = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                              "30 22 0:40 / /mnt/a\\040b rw,nosuid shared:5 - cifs //srv/a\\040b rw,uid=1000,gid=1\n"
                              "31 22 0:41 / /mnt/t rw,nosuid,nodev - tmpfs //x/y rw,size=64k,uid=4711,gid=4711\n"
                              "32 22 0:42 / /mnt/bob rw - cifs //srv/bob rw,uid=1001,gid=1001\n"
                              "33 22 0:43 / /mnt/tmp rw,uid=1000 - tmpfs tmpfs rw,uid=1000\n"
                              "34 22 0:44 / /mnt/ab rw - cifs //srv/ab rw,uid=1000\n"
                              "35 22 0:45 / /mnt/s rw - cifs //srv/s rw,uid=1000\n"
                              "36 35 0:46 / /mnt/s rw - tmpfs none rw,uid=1000\n"
                              "37 22 0:47 / /mnt/u rw,uid=10000 - cifs //srv/u rw\n"
                              "38 22 0:48 / /mnt/v rw - cifs ///v rw,uid=1000\n"
                              "39 22 0:49 / /mnt/w rw - cifs //w/ rw,uid=1000\n";

class HelperTest : public QObject
{
    Q_OBJECT
    QTemporaryDir temp;
    std::string path(const std::string& name)
    {
        return QFile::encodeName(temp.filePath(QString::fromStdString(name))).toStdString();
    }
    static void rows(const QByteArray& what, const Check& check, std::initializer_list<const char*> good,
                     std::initializer_list<const char*> bad)
    {
        for (const char* s : good)
            QTest::newRow(what + ": " + QByteArray(s).toPercentEncoding(" /,=")) << check << QByteArray(s) << true;
        for (const char* s : bad)
            QTest::newRow(what + ": " + QByteArray(s).toPercentEncoding(" /,=")) << check << QByteArray(s) << false;
    }
private slots:
    void initTestCase()
    {
        for (const char* name : {"mnt", "mnt/x", "mnt/full", "mnt/full/f", "mnt/bound", "elsewhere", "gw", "ow"})
            QVERIFY(mkdir(path(name).c_str(), 0755) == 0 && chmod(path(name).c_str(), 0755) == 0);
        QVERIFY(chmod(path("gw").c_str(), 0775) == 0 && chmod(path("ow").c_str(), 0757) == 0);
        QVERIFY(QFile(temp.filePath("mnt/file")).open(QIODevice::WriteOnly));
        QVERIFY(QFile(temp.filePath("plain")).open(QIODevice::WriteOnly));
        QVERIFY(symlink(path("elsewhere").c_str(), path("mnt/link").c_str()) == 0);
        QVERIFY(symlink(path("mnt").c_str(), path("mntlink").c_str()) == 0);
    }

    void arguments_data()
    {
        QTest::addColumn<Check>("check");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("allowed");
        // clang-format off
        rows("source", checkSource, {"//srv/share", "//srv/with space", "//10.0.0.1/x$", "//srv/..x"},
             {"", "//srv", "//srv/", "///x", "//srv/a/b", "//srv//x", "/srv/x", "\\\\srv\\x", "//-srv/x", "//srv/-x",
              "//s rv/x", "//s,rv/x", "//srv/a,b", "//s\\rv/x", "//srv/.", "//srv/..", "//srv/a\tb", "//srv/a\x7f",
              "//s\nrv/x", "x//srv/y"});
        // The allow-list holds for root as well.
        const std::string user = "username=" + std::string(256, 'u'), tooLongUser = user + "u";
        rows("options of root", [](const std::string& o) { return checkOptions(o, 0, 0); },
             {"username=alice", "uid=4711,gid=0", user.c_str(), "username=a.b@c,domain=CORP,sec=krb5i,vers=3.1.1,"
              "file_mode=0644,dir_mode=755,iocharset=utf-8,cache=ro", "rw,ro,noperm,nobrl,serverino,noserverino,"
              "actimeo=30,mapchars,nomapchars,seal,nounix"},
             {"password=x", "pass=x", "credentials=/etc/shadow", "cred=x", "setuids", "suid", "dev", "exec", "user=bob",
              "unknown=1", "", ",", "rw,", "rw,,ro", "rw=1", "username", "username=", "username=a b", "username=a=b",
              "username=a\x01", "username=alice%secret", "domain=a\x7f", "sec=ntlm", "vers=3..1", "vers=3.x", "vers=.3",
              "cache=fast", "file_mode=08", "file_mode=07777", "dir_mode=", "iocharset=utf 8", "actimeo=-1",
              "actimeo=+1", "actimeo=0x10", "actimeo=4294967295", "uid=01000", "rw,rw", "nosuid", "RW",
              tooLongUser.c_str()});
        rows("options of uid 1000", [](const std::string& o) { return checkOptions(o, 1000, 1000); },
             {"username=alice,gid=1000,uid=1000,sec=ntlmssp", "uid=1000,gid=1000,domain=CORP"},
             {"uid=0,gid=1000", "uid=1000", "gid=1000", "uid=1000,gid=1001", "uid=1000,gid=0", "uid=1000,gid=1000,suid",
              "uid=1000,gid=1000,uid=1000"});
        const std::string info = "40 22 8:1 /d " + path("mnt/bound") + " rw - ext4 /dev/sda1 rw\n";
        const auto point = [=](Use use) {
            return [=](const std::string& p) { return checkMountPoint(p, path("mnt"), getuid(), info, use); };
        };
        const std::string longest = "/mnt/" + std::string(NAME_MAX, 'n'), tooLong = longest + "n";
        rows("mount --create", point(Use::MountCreate), {"/mnt/x", "/mnt/missing", longest.c_str()},
             {"/mnt/link", "/mnt/file", "/mnt/full", "/mnt/bound", "/mnt//x", "/mnt/x/", "/mnt/./x", "/mnt/../mnt/x",
              "/mntx/y", "mnt/x", "/mnt/", "/mnt/.", "/mnt/..", "/mnt/a\nb", "/mnt/a\x7f", "/MNT/x", " /mnt/x",
              tooLong.c_str()});
        rows("mount", point(Use::Mount), {"/mnt/x"}, {"/mnt/missing", "/mnt/link", "/mnt/file", "/mnt/full"});
        rows("umount", point(Use::Umount), {"/mnt/x", "/mnt/full", "/mnt/bound"},
             {"/mnt/missing", "/mnt/link", "/mnt/..", "/mnt/."});
        const auto base = [this](uid_t owner) {
            return [=](const auto& d) { return checkMountPoint("/mnt/y", path(d), owner, "", Use::MountCreate); };
        };
        rows("base dir", base(getuid()), {"mnt"}, {"mntlink", "gw", "ow", "plain", "missing"});
        rows("base dir of another", base(getuid() + 1), {}, {"mnt"});
        const auto umount = [](uid_t caller) {
            return [=](const std::string& path) { return checkMounted(mountinfo, path, caller); };
        };
        rows("umount for uid 1000", umount(1000), {"/mnt/a b"},
             {"/mnt/a\\040b", "/mnt/t", "/mnt/bob", "/mnt/tmp", "/mnt/a", "/mnt/s", "/mnt/u", "/mnt/x"});
        rows("umount for uid 4711", umount(4711), {"/mnt/t"}, {"/mnt/a b"});
        rows("umount for uid 10000", umount(10000), {"/mnt/u"}, {});
        rows("umount for root", umount(0), {"/mnt/a b", "/mnt/t", "/mnt/bob", "/mnt/ab"},
             {"/mnt/tmp", "/mnt/s", "/mnt/a", "/mnt/a\\040b", "/mnt/v", "/mnt/w"});
        // clang-format on
    }
    void arguments()
    {
        QFETCH(Check, check);
        QFETCH(QByteArray, input);
        QFETCH(bool, allowed);
        QCOMPARE(check(input.toStdString()).empty(), allowed);
    }
};

QTEST_APPLESS_MAIN(HelperTest)
#include "tst_helper.moc"
