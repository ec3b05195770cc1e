#include "sharedeck.h"

#include "commands.h"
#include "dialogsupport.h"
#include "mounttable.h"

#include <QDir>
#include <QTimer>

namespace {

const QString mountErrorTitle = QStringLiteral("sharedeck: Fehler von mount");

// Starts a mount or umount under the wait cursor; the cursor is popped when
// the command's end is seen, or here when it cannot start at all.
bool startMountCommand(QProcess& process, const Command& command, QFont& font)
{
    pushWaitCursor();
    if (startCommand(process, command))
        return true;
    popWaitCursor();
    runMessageBox(font, 12, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Critical, mountErrorTitle,
                  "<b>" + command.program.toHtmlEscaped() + " konnte nicht gestartet werden!</b><br><pre>" +
                      process.errorString().toHtmlEscaped() + "</pre>");
    return false;
}

} // namespace

void sharedeck::checkMounted()
{
    // The Info view has no share rows: nothing to test, nothing to touch.
    if (tableWidget->columnCount() < 5)
        return;
    const QList<QPushButton*> buttons = rowButtons(tableWidget);
    const int rows = tableWidget->rowCount();
    // Rows may share a mount point; it stays listed if any of them is mounted.
    QStringList foundMounted;
    for (int row = 0; row < rows && row < buttons.size(); ++row) {
        const QTableWidgetItem* shareItem = tableWidget->item(row, 1);
        const QTableWidgetItem* mountPointItem = tableWidget->item(row, 2);
        if (!shareItem || !mountPointItem)
            continue;
        const QString mountPoint = mountPointItem->text();
        isMounted.clear();
        mountEntry = mountSearchText(shareItem->text(), mountPoint);

        checkMountedOutput.clear();
        pushWaitCursor();
        if (!startCommand(checkMountedProc, mountListCommand())) {
            popWaitCursor();
            return;
        }
        // A listing that hangs would hang for the next row too.
        if (!finishWithin(checkMountedProc, commandTimeoutMs))
            return;

        if (isMounted == QLatin1String("Yes")) {
            foundMounted.append(mountPoint);
            if (!mountedDirs.contains(mountPoint))
                mountedDirs.append(mountPoint);
            tableWidget->setItem(row, 4, statusItem(greenIcon));
            buttons[row]->setText(QStringLiteral("umount"));
        } else if (isMounted == QLatin1String("No")) {
            if (!foundMounted.contains(mountPoint))
                mountedDirs.removeOne(mountPoint);
            tableWidget->setItem(row, 4, statusItem(redIcon));
            buttons[row]->setText(QStringLiteral("mount"));
        }
    }
}

void sharedeck::checkMountedAusgabe()
{
    checkMountedOutput += checkMountedProc.readAllStandardOutput();
}

void sharedeck::checkMountedBeendet()
{
    popWaitCursor();
    checkMountedAusgabe();
    procAusgabe = QString::fromLocal8Bit(checkMountedOutput);
    // Only a complete listing tells that something is not mounted.
    const bool complete = checkMountedProc.exitStatus() == QProcess::NormalExit && checkMountedProc.exitCode() == 0;
    if (!complete || procAusgabe.isEmpty())
        isMounted.clear();
    else
        isMounted = listingShowsMount(procAusgabe, mountEntry) ? QStringLiteral("Yes") : QStringLiteral("No");
}

void sharedeck::mountButtonClicked(int tabellenzeile)
{
    // One mount or umount at a time; its end tests all rows anyway.
    if (mountProc.state() != QProcess::NotRunning)
        return;
    const QList<QPushButton*> buttons = rowButtons(tableWidget);
    if (tabellenzeile < 0 || tabellenzeile >= buttons.size() || tableWidget->columnCount() < 5)
        return;
    const QTableWidgetItem* shareItem = tableWidget->item(tabellenzeile, 1);
    const QTableWidgetItem* mountPointItem = tableWidget->item(tabellenzeile, 2);
    const QTableWidgetItem* optionsItem = tableWidget->item(tabellenzeile, 3);
    if (!shareItem || !mountPointItem || !optionsItem)
        return;

    const QString server = ServerComboBox->currentText();
    const QString share = shareItem->text();
    const QString mountPoint = mountPointItem->text();
    const QString options = optionsItem->text();
    const QString password = PasswordLineEdit->text();
    const QString user = UsernameLineEdit->text();
    mountEntry = mountSearchText(share, mountPoint);

    const QString action = buttons[tabellenzeile]->text();
    if (action == QLatin1String("mount")) {
        if (!QDir(mountPoint).exists()) {
            const int answer =
                runMessageBox(messageFont, 12, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                              QMessageBox::Information, QStringLiteral("sharedeck: fehlendes mount-Verzeichnis"),
                              QStringLiteral("Das mount-Verzeichnis existiert nicht.<br>Soll es "
                                             "angelegt werden?"));
            if (answer != QMessageBox::Yes)
                return;
            QDir().mkdir(mountPoint);
        }
        startMountCommand(mountProc, mountCommand(server, share, mountPoint, user, password, options), messageFont);
    } else if (action == QLatin1String("umount")) {
        startMountCommand(mountProc, unmountCommand(mountPoint), messageFont);
    }
}

void sharedeck::mountProcAusgabe()
{
    mountOutput += mountProc.readAllStandardOutput();
    mountOutput += mountProc.readAllStandardError();
    mountAusgabe = QString::fromLocal8Bit(mountOutput);
}

void sharedeck::mountProcBeendet(int exitCode, QProcess::ExitStatus exitStatus)
{
    popWaitCursor();
    mountProcAusgabe();
    mountOutput.clear();
    if (exitStatus == QProcess::CrashExit)
        return;
    if (exitCode == 1 || exitCode == 32) {
        runMessageBox(messageFont, 12, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Critical, mountErrorTitle,
                      QStringLiteral("mount meldete einen Fehler! (Error-Code:%1)<br>").arg(exitCode) + "<pre>" +
                          mountAusgabe.toHtmlEscaped() + "</pre>");
        return;
    }
    checkMounted();
}

void sharedeck::send_touch()
{
    for (const QString& dir : QStringList(mountedDirs)) {
        if (startCommand(touchProc, touchCommand(dir)))
            finishWithin(touchProc, commandTimeoutMs);
    }
    QTimer::singleShot(keepAlivePeriodMs, this, &sharedeck::send_touch);
}

void sharedeck::closeEvent(QCloseEvent* event)
{
    if (mountedDirs.isEmpty()) {
        event->accept();
        return;
    }
    QStringList shown;
    for (const QString& dir : mountedDirs)
        shown.append(dir.toHtmlEscaped());
    const int answer =
        runMessageBox(messageFont, 12, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::Warning,
                      QStringLiteral("sharedeck: gemountete Verzeichnisse"),
                      "Es sind noch Verzeichnisse gemounted.<br><pre>" + shown.join(QStringLiteral("<br>")) +
                          tr("</pre><br>Möchten Sie die Verzeichnisse aushängen<br>und das Programm beenden?"));
    if (answer != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    // A row's mount or umount still running ends first, so that what it
    // mounted is in the list below.
    if (mountProc.state() != QProcess::NotRunning)
        finishWithin(mountProc, commandTimeoutMs);
    for (const QString& dir : QStringList(mountedDirs)) {
        if (startMountCommand(mountProc, unmountCommand(dir), messageFont))
            finishWithin(mountProc, commandTimeoutMs);
    }
    event->accept();
}
