#pragma once

#include "ui_sharedeck.h"

#include <QByteArray>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

struct Command;
class QSignalMapper;
class SharedeckProbe;

// The one window: server chooser, credentials, and the share table whose row
// buttons mount and unmount the shares of the chosen server.
class sharedeck : public QDialog, public Ui::sharedeck
{
    Q_OBJECT

public:
    explicit sharedeck(QWidget* parent = nullptr);
    ~sharedeck() override;

private slots:
    void smbclient_test();
    void cifs_test();
    void check_server_conf();
    void load_Shares();
    void mountButtonClicked(int tabellenzeile);
    void smbclientAusgabe();
    void smbclientProcBeendet(int exitCode, QProcess::ExitStatus exitStatus);
    void mountProcAusgabe();
    void mountProcBeendet(int exitCode, QProcess::ExitStatus exitStatus);
    void checkMounted();
    void checkMountedAusgabe();
    void checkMountedBeendet();
    void clear_tableWidget();
    void create_Sharelist();
    void send_touch();
    void closeEvent(QCloseEvent* event) override;

private:
    friend class SharedeckProbe;

    QSignalMapper* signalMapper = nullptr;
    QProcess smbclientProc;
    QProcess mountProc;
    QProcess checkMountedProc;
    QProcess touchProc;
    QStringList shareList;
    QString procAusgabe;
    QFont messageFont;
    QString greenIconPath;
    QString redIconPath;
    QIcon greenIcon;
    QIcon redIcon;
    QString mountEntry;
    QString isMounted;
    QString mountAusgabe;
    QStringList mountedDirs;

    // Raw output of the command each process is running, collected whole
    // (up to a bound) because a command's output arrives in chunks of
    // arbitrary size.
    QByteArray smbclientOutput;
    QByteArray smbclientErrors;
    QByteArray checkMountedOutput;
    QByteArray mountOutput;
    bool smbclientOutputTooLarge = false;
    bool checkMountedOutputTooLarge = false;

    // The server of the running share listing, and the one the table shows.
    QString listingServer;
    QString tableServer;
    // The share and mount point of the running mount or umount: its end
    // tests them, whatever the table shows by then.
    QString runningShare;
    QString runningMountPoint;
    int runningRow = -1;
    // The row whose command ended last, and since when: the second press of a
    // double click must not undo what the first one did.
    int endedRow = -1;
    QElapsedTimer rowEnded;
    // Started when the command starts, or through pkexec once the helper says
    // it was authorised: the time the user takes to authenticate is not bounded.
    QTimer mountDeadline;
    bool mountTimedOut = false;
    bool awaitingAuthorisation = false;
    QByteArray mountPendingOutput; // what may still turn out to be the helper's marker
    // One keep-alive touch per directory at a time.
    QHash<QString, QProcess*> touches;

    void showMountError(const QString& text);
    bool startRowCommand(const Command& command, const QString& share, const QString& mountPoint, int row);
    void startMountDeadline();
    void waitForRowCommand();
};
