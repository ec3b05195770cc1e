#include "sharedeck.h"

#include "commands.h"
#include "dialogsupport.h"
#include "mounttable.h"
#include "systempaths.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

const QString mountErrorTitle = QStringLiteral("sharedeck: Fehler von mount");

// pkexec's own exit statuses: the user dismissed the authentication, or the
// action is not permitted (or there is no authentication agent).
constexpr int pkexecDismissed = 126;
constexpr int pkexecNotAuthorised = 127;

QString pre(const QString& text)
{
    return "<pre>" + shownText(text, maxBoxChars).toHtmlEscaped() + "</pre>";
}

} // namespace

void sharedeck::checkMounted()
{
    // The Info view has no share rows; the mount point of an ended mount or
    // umount is tested all the same.
    const int rows = tableWidget->columnCount() == 5 ? tableWidget->rowCount() : 0;
    const bool mountEnded = !runningMountPoint.isEmpty() && mountProc.state() == QProcess::NotRunning;
    if (rows == 0 && !mountEnded)
        return;

    // One listing answers for every row.
    procAusgabe.clear();
    pushWaitCursor();
    if (!startCommand(checkMountedProc, mountListCommand())) {
        popWaitCursor();
        return;
    }
    finishWithin(checkMountedProc, systemPaths().commandTimeoutMs);
    // Only a complete listing tells that something is not mounted.
    if (procAusgabe.isEmpty())
        return;
    const MountListing listing(procAusgabe);

    const QList<QPushButton*> buttons = rowButtons(tableWidget);
    for (int row = 0; row < rows && row < buttons.size(); ++row) {
        const QTableWidgetItem* shareItem = tableWidget->item(row, 1);
        const QTableWidgetItem* mountPointItem = tableWidget->item(row, 2);
        if (!shareItem || !mountPointItem)
            continue;
        const QString mountPoint = cleanMountPoint(mountPointItem->text());
        mountEntry = mountSearchText(shareItem->text(), mountPoint);
        isMounted =
            listing.recordIn(mountedDirs, shareItem->text(), mountPoint) ? QStringLiteral("Yes") : QStringLiteral("No");
        const bool mounted = isMounted == QLatin1String("Yes");
        tableWidget->setItem(row, 4, statusItem(mounted ? greenIcon : redIcon));
        buttons[row]->setText(mounted ? QStringLiteral("umount") : QStringLiteral("mount"));
    }
    if (mountEnded) {
        listing.recordIn(mountedDirs, runningShare, runningMountPoint);
        runningShare.clear();
        runningMountPoint.clear();
    }
}

void sharedeck::checkMountedAusgabe()
{
    checkMountedOutputTooLarge |=
        !appendBounded(checkMountedOutput, checkMountedProc.readAllStandardOutput(), maxListingBytes);
}

void sharedeck::checkMountedBeendet()
{
    popWaitCursor();
    checkMountedAusgabe();
    const bool complete = checkMountedProc.exitStatus() == QProcess::NormalExit && checkMountedProc.exitCode() == 0 &&
                          !checkMountedOutputTooLarge;
    procAusgabe = complete ? QString::fromLocal8Bit(checkMountedOutput) : QString();
    checkMountedOutput.clear();
    checkMountedOutputTooLarge = false;
}

void sharedeck::mountButtonClicked(int tabellenzeile)
{
    // One mount or umount at a time; its end tests all rows anyway. The second
    // press of a double click comes just after the first one's command ended.
    if (mountProc.state() != QProcess::NotRunning ||
        (tabellenzeile == endedRow && rowEnded.isValid() && rowEnded.elapsed() < QApplication::doubleClickInterval()))
        return;
    const QList<QPushButton*> buttons = rowButtons(tableWidget);
    if (tabellenzeile < 0 || tabellenzeile >= buttons.size() || tableWidget->columnCount() < 5)
        return;
    const QTableWidgetItem* shareItem = tableWidget->item(tabellenzeile, 1);
    const QTableWidgetItem* mountPointItem = tableWidget->item(tabellenzeile, 2);
    const QTableWidgetItem* optionsItem = tableWidget->item(tabellenzeile, 3);
    const QString action = buttons[tabellenzeile]->text();
    if (!shareItem || !mountPointItem || !optionsItem ||
        (action != QLatin1String("mount") && action != QLatin1String("umount")))
        return;

    // The table belongs to the server it was listed from.
    MountRequest request{tableServer,
                         shareItem->text(),
                         cleanMountPoint(mountPointItem->text()),
                         UsernameLineEdit->text(),
                         PasswordLineEdit->text(),
                         optionsItem->text()};
    if (!isUsableMountPoint(request.mountPoint)) {
        // mount would take a relative path from the program's working directory.
        showMountError(tr("<b>Der Mountpoint ist kein absoluter Pfad:</b><br><pre>%1</pre>Bitte geben Sie ihn "
                          "vollständig an, beginnend mit \"/\".")
                           .arg(shownText(request.mountPoint, maxBoxChars).toHtmlEscaped()));
        return;
    }
    const bool asRoot = systemPaths().asRoot;
    if (action == QLatin1String("umount")) {
        startRowCommand(unmountCommand(request.mountPoint, asRoot), request.share, request.mountPoint, tabellenzeile);
        return;
    }
    const QString userProblem = userNameProblem(request.user);
    if (!userProblem.isEmpty()) {
        showMountError(userProblem);
        return;
    }
    if (!QDir(request.mountPoint).exists()) {
        const int answer =
            runMessageBox(messageFont, 12, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                          QMessageBox::Information, QStringLiteral("sharedeck: fehlendes mount-Verzeichnis"),
                          QStringLiteral("Das mount-Verzeichnis existiert nicht.<br>Soll es "
                                         "angelegt werden?"));
        // The box ran the event loop: a command may have started meanwhile.
        if (answer != QMessageBox::Yes || mountProc.state() != QProcess::NotRunning)
            return;
        if (!asRoot) {
            request.createMountPoint = true; // the helper may create it, the user may not
        } else if (::mkdir(QFile::encodeName(request.mountPoint).constData(), 0777) != 0) {
            showMountError(tr("<b>Das mount-Verzeichnis konnte nicht angelegt werden:</b><br><pre>%1</pre>%2")
                               .arg(shownText(request.mountPoint, maxBoxChars).toHtmlEscaped(),
                                    QString::fromLocal8Bit(std::strerror(errno)).toHtmlEscaped()));
            return;
        }
    }
    startRowCommand(mountCommand(request, asRoot), request.share, request.mountPoint, tabellenzeile);
}

bool sharedeck::startRowCommand(const Command& command, const QString& share, const QString& mountPoint, int row)
{
    mountOutput.clear();
    mountPendingOutput.clear();
    mountTimedOut = false;
    awaitingAuthorisation = command.program == QLatin1String("pkexec");
    pushWaitCursor();
    if (!startCommand(mountProc, command)) {
        awaitingAuthorisation = false;
        popWaitCursor();
        QString text = "<b>" + command.program.toHtmlEscaped() + " konnte nicht gestartet werden!</b><br>" +
                       pre(mountProc.errorString());
        if (command.program == QLatin1String("pkexec"))
            text += tr("Zum Einhängen als normaler Benutzer wird pkexec benötigt.<br>Bitte installieren Sie das "
                       "Paket pkexec (bei älteren Systemen policykit-1).");
        showMountError(text);
        return false;
    }
    runningShare = share;
    runningMountPoint = mountPoint;
    runningRow = row;
    if (!awaitingAuthorisation)
        startMountDeadline();
    return true;
}

void sharedeck::startMountDeadline()
{
    awaitingAuthorisation = false;
    mountDeadline.start(systemPaths().commandTimeoutMs);
}

// At close: an authentication takes as long as the user needs in the agent,
// the command itself at most the bound.
void sharedeck::waitForRowCommand()
{
    while (awaitingAuthorisation && mountProc.state() != QProcess::NotRunning)
        mountProc.waitForReadyRead(-1);
    if (mountProc.state() != QProcess::NotRunning)
        finishWithin(mountProc, systemPaths().commandTimeoutMs);
}

void sharedeck::showMountError(const QString& text)
{
    runMessageBox(messageFont, 12, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Critical, mountErrorTitle, text);
}

void sharedeck::mountProcAusgabe()
{
    QByteArray output = mountProc.readAllStandardOutput();
    if (awaitingAuthorisation) {
        // The helper's first line says it runs as root; it is no output of its work.
        mountPendingOutput += output;
        output.clear();
        if (mountPendingOutput.startsWith(authorisedMarker)) {
            output = mountPendingOutput.mid(authorisedMarker.size());
            mountPendingOutput.clear();
            startMountDeadline();
        } else if (!authorisedMarker.startsWith(mountPendingOutput) || mountProc.state() == QProcess::NotRunning) {
            // Something else writes (pkexec itself, or a helper without the marker).
            output.swap(mountPendingOutput);
            startMountDeadline();
        }
    }
    appendBounded(mountOutput, output, maxShownBytes + 1);
    appendBounded(mountOutput, mountProc.readAllStandardError(), maxShownBytes + 1);
    mountAusgabe = QString::fromLocal8Bit(mountOutput);
}

void sharedeck::mountProcBeendet(int exitCode, QProcess::ExitStatus exitStatus)
{
    popWaitCursor();
    mountProcAusgabe();
    mountDeadline.stop();
    awaitingAuthorisation = false;
    mountOutput.clear();
    // The command's own mount point is judged first, before a box lets
    // anything else start.
    checkMounted();
    endedRow = runningRow;
    runningRow = -1;
    rowEnded.start();

    if (mountTimedOut) {
        showMountError(tr("<b>Der Befehl hat nicht innerhalb von %1 s geantwortet und wurde abgebrochen.</b><br>")
                           .arg(systemPaths().commandTimeoutMs / 1000) +
                       pre(mountAusgabe));
    } else if (exitStatus == QProcess::CrashExit || exitCode == pkexecDismissed) {
        return;
    } else if (exitCode == 1 || exitCode == 32) {
        showMountError(QStringLiteral("mount meldete einen Fehler! (Error-Code:%1)<br>").arg(exitCode) +
                       pre(mountAusgabe));
    } else if (exitCode == pkexecNotAuthorised && !systemPaths().asRoot) {
        showMountError(tr("<b>Das Einhängen wurde nicht erlaubt.</b><br><br>pkexec hat die Berechtigung "
                          "verweigert.<br>Ein Administrator kann sie mit einer polkit-Regel für die "
                          "Aktion<br>org.example.sharedeck.mount erteilen."));
    }
}

void sharedeck::send_touch()
{
    for (const QString& dir : QStringList(mountedDirs)) {
        // A directory whose last touch still runs (its server may be gone)
        // is skipped this round; the window never waits for a touch.
        if (touches.contains(dir))
            continue;
        auto* touch = new QProcess(this);
        if (!startCommand(*touch, touchCommand(dir))) {
            delete touch;
            continue;
        }
        touches.insert(dir, touch);
        connect(touch, &QProcess::finished, this, [this, dir, touch] {
            touches.remove(dir);
            touch->deleteLater();
        });
        QTimer::singleShot(systemPaths().commandTimeoutMs, touch, [touch] { stopCommand(*touch); });
    }
    QTimer::singleShot(systemPaths().keepAlivePeriodMs, this, &sharedeck::send_touch);
}

void sharedeck::closeEvent(QCloseEvent* event)
{
    // A row's mount or umount still running ends first (or is stopped at the
    // bound), and its end tests the state: only then is it known what is mounted.
    // One still waiting for its authentication is ended: pkexec runs as the
    // user until it is authorised, and has started nothing yet.
    if (mountProc.state() != QProcess::NotRunning) {
        if (awaitingAuthorisation)
            stopCommand(mountProc);
        finishWithin(mountProc, systemPaths().commandTimeoutMs);
    }
    if (mountedDirs.isEmpty()) {
        event->accept();
        return;
    }
    QStringList shown;
    for (const QString& dir : mountedDirs)
        shown.append(dir.toHtmlEscaped());
    const int answer = runMessageBox(
        messageFont, 12, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::Warning,
        QStringLiteral("sharedeck: gemountete Verzeichnisse"),
        "Es sind noch Verzeichnisse gemounted.<br><pre>" + shownText(shown.join(QStringLiteral("<br>")), maxBoxChars) +
            tr("</pre><br>Möchten Sie die Verzeichnisse aushängen<br>und das Programm beenden?"));
    if (answer != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    for (const QString& dir : QStringList(mountedDirs)) {
        if (!startRowCommand(unmountCommand(dir, systemPaths().asRoot), QString(), dir, -1))
            continue;
        waitForRowCommand();
        // An authentication cancelled (126) or refused (127) unmounted nothing:
        // the window stays, as if the question had been answered No.
        const int exitCode = mountProc.exitStatus() == QProcess::NormalExit ? mountProc.exitCode() : 0;
        if (!systemPaths().asRoot && (exitCode == pkexecDismissed || exitCode == pkexecNotAuthorised)) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
