// The program's start: which boxes open, in which order and over what, and
// that a missing prerequisite ends the process with status 1. The test runs
// itself as a child, "--drive PROGRAM_DIR SMBCLIENT MOUNT_CIFS", which starts
// the dialog as the program does and prints every box as it opens.
#include "support.h"

#include <QProcess>
#include <QRegularExpression>

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void boxesAndExitStatus_data()
    {
        QTest::addColumn<QString>("serverConf"); // "missing", "directory" or the file's content
        QTest::addColumn<bool>("smbclient");
        QTest::addColumn<bool>("mountCifs");
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<QStringList>("boxes"); // how each box begins, in the order they open
        QTest::addColumn<int>("exitCode");
        const QString conf = "window=0 icon=3 sharedeck | <b>Fehler: Server Konfigurations-Datei nicht gefunden";
        const QString smb = "window=%1 icon=3 sharedeck | <b>Fehler: smbclient nicht gefunden!</b>";
        const QString cifs = "window=%1 icon=3 sharedeck | <b>Fehler: mount.cifs nicht gefunden!</b>";
        // clang-format off
        QTest::newRow("all present") << "alpha\n" << true << true << true << QStringList{} << 0;
        QTest::newRow("no pictures") << "alpha\n" << true << true << false << QStringList{} << 0;
        QTest::newRow("no server.conf") << "missing" << true << true << true << QStringList{conf} << 1;
        QTest::newRow("empty server.conf") << "" << true << true << true << QStringList{conf} << 1;
        QTest::newRow("only empty lines") << "\n\n" << true << true << true << QStringList{conf} << 1;
        QTest::newRow("unreadable server.conf") << "directory" << true << true << true << QStringList{conf} << 1;
        QTest::newRow("no smbclient") << "alpha\n" << false << true << true << QStringList{smb.arg(1)} << 1;
        QTest::newRow("no mount.cifs") << "alpha\n" << true << false << true << QStringList{cifs.arg(1)} << 1;
        QTest::newRow("no tools") << "alpha\n" << false << false << true << QStringList{smb.arg(1), cifs.arg(1)} << 1;
        QTest::newRow("no server.conf, no smbclient") << "missing" << false << true << true << QStringList{conf, smb.arg(0)} << 1;
        // clang-format on
    }
    void boxesAndExitStatus()
    {
        QFETCH(QString, serverConf);
        QFETCH(bool, pictures);
        QFETCH(bool, smbclient);
        QFETCH(bool, mountCifs);
        QFETCH(int, exitCode);
        QFETCH(QStringList, boxes);
        QTemporaryDir dir;
        makeProgramDir(dir.path(), serverConf.toUtf8(), pictures);
        if (serverConf == "missing")
            QFile::remove(dir.filePath("server.conf"));
        if (serverConf == "directory")
            QVERIFY(QFile::remove(dir.filePath("server.conf")) && QDir(dir.path()).mkdir("server.conf"));
        const QString present = QCoreApplication::applicationFilePath(), absent = dir.filePath("absent");

        QProcess driver;
        driver.start(QCoreApplication::applicationFilePath(),
                     {"--drive", dir.path(), smbclient ? present : absent, mountCifs ? present : absent});
        QVERIFY(driver.waitForFinished(20000));
        QCOMPARE(driver.exitStatus(), QProcess::NormalExit);
        QCOMPARE(driver.exitCode(), exitCode);

        const QStringList lines = QString::fromUtf8(driver.readAllStandardOutput()).split('\n');
        const QStringList seen = lines.filter(QRegularExpression("^box "));
        QCOMPARE(seen.size(), boxes.size());
        for (int i = 0; i < seen.size(); ++i)
            QVERIFY2(seen[i].startsWith("box cursor=0 " + boxes[i]), qPrintable(seen[i]));
        QCOMPARE(lines.contains("running"), boxes.isEmpty());
    }

    // The whole texts, as the user reads them.
    void messageTexts()
    {
        QTemporaryDir dir;
        QProcess driver;
        driver.start(QCoreApplication::applicationFilePath(),
                     {"--drive", dir.path(), dir.filePath("absent"), dir.filePath("absent")});
        QVERIFY(driver.waitForFinished(20000));
        const QString out = QString::fromUtf8(driver.readAllStandardOutput());
        QVERIFY2(out.contains("| <b>Fehler: Server Konfigurations-Datei nicht gefunden oder leer!</b><br><br>Bitte "
                              "legen Sie im Programmverzeichnis eine Datei<br>namens server.conf an, in der "
                              "Zeilenweise die<br>verfügbaren Windows-Server mittels Namen oder<br>I.P.-Adresse "
                              "stehen.\n"),
                 qPrintable(out));
        QVERIFY(out.contains("| <b>Fehler: smbclient nicht gefunden!</b><br><br>Um die Shares eines Windows-Servers "
                             "abzufragen,<br>wird das Paket smbclient benötigt.<br>Bitte installieren Sie das Paket "
                             "smbclient.\n"));
    }
};

// Answers boxes with Ok; without any box it quits once the queued start-up checks have run.
int drive(char* argv[])
{
    systemPaths() = {argv[3], argv[4], argv[2]};
    BoxAnswerer answerer({QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
    answerer.onSeen = [](const SeenBox& box) {
        std::printf("box cursor=%d window=%d icon=%d %s | %s\n", QApplication::overrideCursor() != nullptr,
                    box.windowShown, int(box.icon), qPrintable(box.title), qPrintable(box.text));
        std::fflush(stdout);
    };
    sharedeck dialog;
    dialog.show();
    QTimer::singleShot(0, qApp, [] {
        if (QApplication::activeModalWidget())
            return; // a check failed; its box ends the process
        std::puts("running");
        QApplication::quit();
    });
    return QApplication::exec();
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--drive")
        return drive(argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
