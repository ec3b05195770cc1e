#include "sharedeck.h"

#include "commands.h"
#include "dialogsupport.h"
#include "passwordstore.h"
#include "serverlist.h"
#include "sharelisting.h"
#include "systempaths.h"

#include <QHeaderView>
#include <QSignalMapper>
#include <QTimer>

void sharedeck::load_Shares()
{
    if (closing)
        return;
    const QString server = serverName(ServerComboBox->currentText());
    // The table is to be the listing of this press: one still running (for this server or another) is ended,
    // and its end starts this one.
    if (smbclientProc.isRunning()) {
        nextListingServer = server;
        smbclientProc.stop();
        return;
    }
    startListing(server);
}

void sharedeck::startListing(const QString& server)
{
    // Without a password a Kerberos ticket may do; klist tells, and its end goes on.
    if (PasswordLineEdit->text().isEmpty() && startTicketCheck(ticketCheckCommand(), checkingTicket)) {
        listingServer = server;
        return;
    }
    listShares(server, false);
}

bool sharedeck::startTicketCheck(const Command& command, bool& checking)
{
    pushWaitCursor();
    if (!smbclientProc.start(command)) {
        popWaitCursor();
        return false;
    }
    checking = true;
    return true;
}

// Starts the listing: with the user's Kerberos ticket, or with user name and password.
void sharedeck::listShares(const QString& server, bool kerberos, bool ticketExpired)
{
    const QString user = UsernameLineEdit->text();
    const QString password = PasswordLineEdit->text();
    if (kerberos) {
        if (const QString problem = kerberosServerProblem(server); !problem.isEmpty()) {
            tableServer = server;
            showInfoView(tableWidget, problem);
            markTableServer();
            return;
        }
    } else if (user.isEmpty() || password.isEmpty()) {
        QString text = tr("<b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!</b><br><br>"
                          "Bitte füllen Sie die Felder username und password aus.");
        // The last listing went with a ticket, or klist found a cache of expired tickets: it expired or was
        // destroyed.
        if (password.isEmpty() && (listingKerberos || ticketExpired))
            text += tr("<br><br>Ihr Kerberos-Ticket ist nicht mehr gültig (abgelaufen oder gelöscht). Bitte erneuern "
                       "Sie es mit kinit oder melden Sie sich neu an, oder geben Sie Benutzername und Passwort ein.");
        runMessageBox(messageFont, 10, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Critical,
                      QStringLiteral("sharedeck"), text);
        return;
    } else if (const QString problem = listingUserProblem(user); !problem.isEmpty()) {
        runMessageBox(messageFont, 12, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Critical,
                      QStringLiteral("sharedeck"), problem);
        return;
    }
    pushWaitCursor();
    if (!smbclientProc.start(kerberos ? kerberosShareListCommand(server) : shareListCommand(server, user, password))) {
        popWaitCursor();
        tableServer = server;
        showInfoView(tableWidget, QStringLiteral("ERROR: SMBCLIENT COULD NOT BE STARTED"));
        markTableServer();
        return;
    }
    passwords->started(RememberedPasswords::Listing, user, server, kerberos ? QString() : password);
    // The table will belong to the server the listing was started for.
    listingServer = server;
    listingKerberos = kerberos;
}

void sharedeck::smbclientProcBeendet()
{
    popWaitCursor();
    const CommandEnd end = smbclientProc.end();
    const bool ticketChecked = std::exchange(checkingTicket, false);
    const bool cacheChecked = std::exchange(checkingCache, false);
    // Stopped by closing the window, or by a press that lists anew.
    if (end == CommandEnd::Stopped) {
        if (const QString next = std::exchange(nextListingServer, QString()); !next.isEmpty() && !closing)
            startListing(next);
        return;
    }
    // klist said whether there is a ticket; without one (or without klist) the password is needed.
    if (ticketChecked) {
        // No valid ticket: a cache that klist can read holds only expired ones.
        if (end != CommandEnd::Succeeded && startTicketCheck(ticketCacheCommand(), checkingCache))
            return;
        listShares(listingServer, end == CommandEnd::Succeeded);
        return;
    }
    if (cacheChecked) {
        listShares(listingServer, false, end == CommandEnd::Succeeded);
        return;
    }
    const QString output = smbclientProc.text();
    const ListingResult listing = smbclientProc.outputTooLarge()
                                      ? ListingResult{ListingResult::Failed, {}, {}}
                                      : judgeListing(output, smbclientProc.exitCode(), listingKerberos);
    const QString remembered = passwords->ended(RememberedPasswords::Listing, listingOutcome(end, listing, output));
    releaseRowButtons(); // the table is replaced below, whatever the listing says
    signalMapper = new QSignalMapper(this);
    shareList = listing.shares;
    // The table, whatever it will show, is about this server now.
    tableServer = listingServer;

    if (end == CommandEnd::Crashed) {
        showInfoView(tableWidget, QStringLiteral("ERROR: SMBCLIENT CRASHED"));
    } else if (end == CommandEnd::TimedOut) {
        showInfoView(tableWidget, tr("Der Server hat nicht innerhalb von %1 s geantwortet; die Abfrage wurde "
                                     "abgebrochen. Bitte prüfen Sie, ob er eingeschaltet und das Netzwerk verbunden "
                                     "ist.\n\n%2")
                                      .arg(systemPaths().commandTimeoutMs / 1000)
                                      .arg(shownText(output)));
    } else if (smbclientProc.outputTooLarge()) {
        showInfoView(tableWidget,
                     tr("FEHLER: DIE AUSGABE VON SMBCLIENT IST ZU GROSS (ÜBER %1 MiB)").arg(maxListingBytes >> 20));
    } else if (listing.kind == ListingResult::Failed) {
        const ListingFailure& failure = listing.failure;
        const QString line = failure.line.isEmpty() ? QString() : "\n\n" + failure.line;
        showInfoView(tableWidget,
                     failure.advice.isEmpty()
                         ? shownText(output)
                         : failure.advice + remembered + line + tr("\n\nAusgabe von smbclient:\n") + shownText(output));
    } else if (listing.kind == ListingResult::NoDiskShares) {
        // An empty table would look like a listing that failed.
        showInfoView(tableWidget, tr("Der Server hat keine Festplatten-Freigaben aufgelistet."));
    } else {
        tableKerberos = listingKerberos;
        clear_tableWidget();
        return;
    }
    markTableServer();
}

// Once the chooser shows another server than the table is about, the table's header names whose it is.
void sharedeck::markTableServer()
{
    const bool shares = tableWidget->columnCount() == 5;
    QTableWidgetItem* header = tableWidget->horizontalHeaderItem(shares ? 1 : 0);
    if (!header || tableServer.isEmpty())
        return;
    const QString title = shares ? QStringLiteral("Sharename") : QStringLiteral("Info");
    const bool other = serverName(ServerComboBox->currentText()) != tableServer;
    header->setText(other ? tr("%1 (von %2)").arg(title, tableServer) : title);
    header->setToolTip(other ? tr("Diese Tabelle zeigt die Freigaben von %1, nicht von %2: Laden Sie die "
                                  "Freigaben neu, um die des gewählten Servers zu sehen.")
                                   .arg(tableServer, serverName(ServerComboBox->currentText()))
                             : QString());
}

void sharedeck::clear_tableWidget()
{
    tableWidget->setRowCount(0);
    tableWidget->setColumnCount(0);
    tableWidget->clear();
    // The view deletes the old row buttons only from the event loop; the new
    // table may be built once they are gone, so that row i is button i.
    if (rowButtons(tableWidget).isEmpty())
        create_Sharelist();
    else
        QTimer::singleShot(0, this, &sharedeck::clear_tableWidget);
}

void sharedeck::create_Sharelist()
{
    static const int widths[] = {60, 194, 194, 194, 50};
    static const char* const titles[] = {"Butt", "Sharename", "Mountpoint", "Options", "Status"};

    endedRow = -1;
    const int rows = int(shareList.size());
    tableWidget->setRowCount(rows);
    tableWidget->setColumnCount(5);
    for (int column = 0; column < 5; ++column)
        tableWidget->horizontalHeader()->resizeSection(column, widths[column]);
    for (int column = 0; column < 5; ++column)
        tableWidget->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromLatin1(titles[column])));

    const QString options = defaultMountOptions(systemPaths().asRoot, tableKerberos);
    for (int row = 0; row < rows; ++row) {
        tableWidget->setItem(row, 1, new QTableWidgetItem(shareList[row]));
        tableWidget->setItem(row, 2, new QTableWidgetItem(mountPointFor(shareList[row])));
        tableWidget->setItem(row, 3, new QTableWidgetItem(options));
    }
    markTableServer();
    // The row buttons come with the rows' first state (checkMountedBeendet), or without one when mount
    // cannot run.
    checkMounted();
    if (!checkMountedProc.isRunning()) {
        placeRowButtons({});
        return;
    }
    // The mount listing brings the first state within milliseconds: the rows are shown with it and their
    // buttons, not painted once without them before. Should the listing take longer, they show meanwhile.
    tableWidget->setUpdatesEnabled(false);
    QTimer::singleShot(100, tableWidget, [this] { tableWidget->setUpdatesEnabled(true); });
}

// The view shows the button of every row, also of those scrolled out of sight, and Qt repaints a shown button
// whose text changes with a search through all its siblings: the buttons get their first text before they are
// shown, or a table's first state would take time growing with the square of its rows. So it goes for every
// button standing where the view is to be repainted: each one is put in its cell before it is shown, and only
// the few rows in sight are repainted. Each button shown asks the view for a new layout through the event queue,
// and Qt searches the queue for an earlier request to merge it with, from its head: one is put there before the
// buttons are made (every new widget is sent a polish request through the queue, and those come behind it), and
// the buttons are polished while still hidden, so that a polish request makes no layout request of its own.
void sharedeck::placeRowButtons(const QList<RowMount>& states)
{
    const int rows = tableWidget->columnCount() == 5 ? tableWidget->rowCount() : 0;
    if (rows == 0 || !rowButtons(tableWidget).isEmpty())
        return;
    QCoreApplication::postEvent(tableWidget->viewport(), new QEvent(QEvent::LayoutRequest));
    QList<QPushButton*> buttons;
    buttons.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        auto* button = new QPushButton(tableWidget->viewport());
        button->setObjectName(QStringLiteral("mountButton%1").arg(row));
        showRowState(button, row, states.value(row, RowMount::Unknown));
        connect(button, &QPushButton::clicked, signalMapper, qOverload<>(&QSignalMapper::map));
        signalMapper->setMapping(button, row);
        button->setGeometry(tableWidget->visualRect(tableWidget->model()->index(row, 0)));
        buttons.append(button);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    for (int row = 0; row < rows; ++row)
        tableWidget->setCellWidget(row, 0, buttons[row]);
    rowStates = states;
    rowStates.resize(rows);
    connect(signalMapper, &QSignalMapper::mappedInt, this, &sharedeck::mountButtonClicked, Qt::UniqueConnection);
}

// A row's button for the state of its share: what a press does, or why it cannot be pressed.
void sharedeck::showRowState(QPushButton* button, int row, RowMount state)
{
    button->setText(state == RowMount::Unknown   ? QString()
                    : state == RowMount::Mounted ? QStringLiteral("umount")
                                                 : QStringLiteral("mount"));
    // A share the helper refuses can never be mounted; another user's place cannot be used.
    QString problem = shareMountProblem(shareList.value(row));
    if (problem.isEmpty() && state == RowMount::OtherUser)
        problem = tr("Der Mountpoint wird von einem anderen Benutzer benutzt: Dort ist eine Freigabe für ihn "
                     "eingehängt, die Sie weder öffnen noch aushängen können. Bitte wählen Sie in der Tabelle einen "
                     "anderen Mountpoint.");
    button->setDisabled(!problem.isEmpty());
    button->setToolTip(problem);
}

// A mapper finds the button behind a signal by a search through all of its buttons, also when one is deleted:
// the buttons leave it first, so that a big table goes in time linear in its rows.
void sharedeck::releaseRowButtons()
{
    for (QPushButton* button : rowButtons(tableWidget))
        button->disconnect(signalMapper);
    rowStates.clear();
}
