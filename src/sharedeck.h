#pragma once

#include "ui_sharedeck.h"

#include <QByteArray>
#include <QCloseEvent>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QProcess>
#include <QString>
#include <QStringList>

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
    // because a command's output arrives in chunks of arbitrary size.
    QByteArray smbclientOutput;
    QByteArray checkMountedOutput;
    QByteArray mountOutput;
};
