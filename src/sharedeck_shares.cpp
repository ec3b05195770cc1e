#include "sharedeck.h"

#include "commands.h"
#include "dialogsupport.h"
#include "sharelisting.h"
#include "systempaths.h"

#include <QHeaderView>
#include <QSignalMapper>
#include <QTimer>

void sharedeck::load_Shares()
{
    const QString server = ServerComboBox->currentText();
    const QString user = UsernameLineEdit->text();
    const QString password = PasswordLineEdit->text();

    if (user.isEmpty() || password.isEmpty()) {
        runMessageBox(messageFont, 10, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Critical,
                      QStringLiteral("sharedeck"),
                      tr("<b>Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!</b><br><br>"
                         "Bitte füllen Sie die Felder username und password aus."));
        return;
    }
    if (const QString problem = listingUserProblem(user); !problem.isEmpty()) {
        runMessageBox(messageFont, 12, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Critical,
                      QStringLiteral("sharedeck"), problem);
        return;
    }
    // A listing that outlasted its wait is still running; its end rebuilds the table.
    if (smbclientProc.state() != QProcess::NotRunning)
        return;

    smbclientOutput.clear();
    smbclientErrors.clear();
    smbclientOutputTooLarge = false;
    listingServer = server;
    pushWaitCursor();
    if (!startCommand(smbclientProc, shareListCommand(server, user, password))) {
        popWaitCursor();
        showInfoView(tableWidget, QStringLiteral("ERROR: SMBCLIENT COULD NOT BE STARTED"));
        return;
    }
    smbclientProc.waitForFinished(systemPaths().commandTimeoutMs);
}

void sharedeck::smbclientAusgabe()
{
    smbclientOutputTooLarge |= !appendBounded(smbclientOutput, smbclientProc.readAllStandardOutput(), maxListingBytes);
    appendBounded(smbclientErrors, smbclientProc.readAllStandardError(), maxShownBytes + 1);
}

void sharedeck::smbclientProcBeendet(int exitCode, QProcess::ExitStatus exitStatus)
{
    popWaitCursor();
    signalMapper = new QSignalMapper(this);

    smbclientAusgabe();
    const bool tooLarge = smbclientOutputTooLarge;
    procAusgabe = tooLarge ? QString() : QString::fromLocal8Bit(smbclientOutput);
    const QString errors = QString::fromLocal8Bit(smbclientErrors);
    smbclientOutput.clear();
    smbclientErrors.clear();
    shareList = diskSharesFromListing(procAusgabe);

    if (exitStatus == QProcess::CrashExit) {
        showInfoView(tableWidget, QStringLiteral("ERROR: SMBCLIENT CRASHED"));
    } else if (tooLarge) {
        showInfoView(tableWidget,
                     tr("FEHLER: DIE AUSGABE VON SMBCLIENT IST ZU GROSS (ÜBER %1 MiB)").arg(maxListingBytes >> 20));
    } else if (exitCode == 1) {
        showInfoView(tableWidget, shownText(procAusgabe + errors));
    } else if (shareList.isEmpty()) {
        // An empty table would look like a listing that failed.
        showInfoView(tableWidget, tr("Der Server hat keine Festplatten-Freigaben aufgelistet."));
    } else {
        tableServer = listingServer;
        clear_tableWidget();
    }
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

    const QString options = defaultMountOptions(systemPaths().asRoot);
    for (int row = 0; row < rows; ++row) {
        auto* button = new QPushButton;
        button->setObjectName(QStringLiteral("mountButton%1").arg(row));
        tableWidget->setCellWidget(row, 0, button);
        connect(button, &QPushButton::clicked, signalMapper, qOverload<>(&QSignalMapper::map));
        signalMapper->setMapping(button, row);
        tableWidget->setItem(row, 1, new QTableWidgetItem(shareList[row]));
        tableWidget->setItem(row, 2, new QTableWidgetItem(mountPointFor(shareList[row])));
        tableWidget->setItem(row, 3, new QTableWidgetItem(options));
    }
    connect(signalMapper, &QSignalMapper::mappedInt, this, &sharedeck::mountButtonClicked, Qt::UniqueConnection);
    checkMounted();
}
