#pragma once

#include "ui_sharedeck.h"

#include "discovery.h"
#include "mounttable.h"
#include "runningcommand.h"

#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QFont>
#include <QHash>
#include <QIcon>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <utility>

class QSignalMapper;
class RememberedPasswords;
class ServerDiscovery;
class SharedeckProbe;

// The one window: server chooser, credentials, and the share table whose row
// buttons mount and unmount the shares of the chosen server. No command it
// runs blocks it: each reports its end.
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
    void smbclientProcBeendet();
    void mountProcBeendet();
    void checkMounted();
    void checkMountedBeendet();
    void clear_tableWidget();
    void create_Sharelist();
    void cellEdited(QTableWidgetItem* item);
    void send_touch();
    void serverFound(const FoundServer& server);
    void discoveryRoundEnded(const QList<FoundServer>& servers);
    void closeEvent(QCloseEvent* event) override;
    // Escape: the same as closing the window.
    void reject() override;

private:
    friend class SharedeckProbe;

    QSignalMapper* signalMapper = nullptr;
    // The password field and "Passwort merken" in step with the desktop's keyring.
    RememberedPasswords* passwords = nullptr;
    // The share listing, a row's mount or umount (and the unmounts at close),
    // and the mount listing that tests the state of all rows.
    RunningCommand smbclientProc{maxListingBytes};
    RunningCommand mountProc{maxShownBytes + 1};
    RunningCommand checkMountedProc{maxListingBytes};
    QStringList shareList;
    QFont messageFont;
    QString greenIconPath;
    QString redIconPath;
    QIcon greenIcon;
    QIcon redIcon;
    QStringList mountedDirs;

    // The server of the running share listing, and the one the table (shares or Info view) shows;
    // whether each is listed with a Kerberos ticket. With the password empty
    // the listing first asks klist whether there is a ticket.
    QString listingServer;
    QString tableServer;
    bool listingKerberos = false;
    bool tableKerberos = false;
    bool checkingTicket = false;
    // klist -s found no valid ticket; klist without -s now tells whether a cache (of expired tickets) is there.
    bool checkingCache = false;
    // A press while a listing runs ends that one; its end starts the listing of this server.
    QString nextListingServer;
    // The share, mount point and options of the running mount or umount, and its row.
    QString runningShare;
    QString runningMountPoint;
    QString runningOptions;
    int runningRow = -1;
    // Ended mounts and umounts (share, mount point) the next mount listing
    // judges, whatever the table shows by then, and those the running one judges.
    QList<std::pair<QString, QString>> toJudge, judging;
    bool testAgain = false; // something ended while the mount listing ran
    // The row whose command ended last, and since when: the second press of a
    // double click must not undo what the first one did.
    int endedRow = -1;
    QElapsedTimer rowEnded;
    bool closing = false;
    // One keep-alive touch per directory at a time.
    QHash<QString, QProcess*> touches;

    void startListing(const QString& server);
    void listShares(const QString& server, bool kerberos, bool ticketExpired = false);
    bool startTicketCheck(const Command& command, bool& checking);
    void markTableServer();
    void showMountError(const QString& text);
    bool startRowCommand(const Command& command, const QString& share, const QString& mountPoint, int row,
                         const QString& options = {});
    bool startMountListing();
    // Puts a button into every row of a new share table, showing the row's first state (none given: not known).
    void placeRowButtons(const QList<RowMount>& states);
    void showRowState(QPushButton* button, int row, RowMount state);
    void keepRow(int row, bool keep);
    void releaseRowButtons();
    // The state each row's button shows, kept beside the buttons: the state test of a big table compares with
    // these, and touches only the rows whose state changes.
    QList<RowMount> rowStates;
    // Each row's mount point (cleaned), learnt by a state test that looked at every row. While no mount point
    // cell, no row and no row's keeping has changed since, a state test looks only at the rows the listing can
    // touch: those at its places and those not plainly unmounted.
    QMultiHash<QString, int> rowsAt;
    bool rowPlacesKnown = false;
    QList<int> rowsToJudge(const MountListing& listing, int rows, bool everyRow) const;
    void endTouch(const QString& dir);

    // The servers found on the network, in the chooser after the lines of server.conf.
    ServerDiscovery* discovery = nullptr;
    QList<FoundServer> foundServers;
    int configuredServers = 0;
    void startDiscovery();
};
