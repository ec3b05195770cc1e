#include "sharedeck.h"

#include "checks.h"
#include "commands.h"
#include "dialogsupport.h"
#include "mounttable.h"
#include "passwordstore.h"
#include "sharelisting.h"
#include "systempaths.h"
#include "translation.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>
#include <sys/stat.h>

namespace {

// Of a row's share and mount point cells: the text it keeps while its share is mounted there.
constexpr int keptRole = Qt::UserRole + 1;

// A command's output in a box: as written, and wrapped at the box's edge
// rather than cut there.
QString pre(const QString& text)
{
    return "<pre style=\"white-space: pre-wrap\">" + shownText(text, maxBoxChars).toHtmlEscaped() + "</pre>";
}

// As root, mount runs directly: the mount point must be a directory of its
// own (no symbolic link) and empty, or the share would hide its files.
QString rootMountPointProblem(const QString& mountPoint)
{
    const QFileInfo info(mountPoint);
    if (info.isSymLink() || !info.isDir())
        return sharedeck::tr("Der Mountpoint ist kein Verzeichnis (oder ein symbolischer Link).");
    if (!QDir(mountPoint).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return sharedeck::tr("Der Mountpoint ist nicht leer: Die Freigabe würde seine Dateien verdecken. Bitte "
                             "wählen Sie in der Tabelle einen anderen.");
    return {};
}

} // namespace

void sharedeck::checkMounted()
{
    // The Info view has no share rows; the mount point of an ended mount or
    // umount is tested all the same.
    const int rows = tableWidget->columnCount() == 5 ? tableWidget->rowCount() : 0;
    if (rows == 0 && toJudge.isEmpty())
        return;
    // One listing at a time; what changed while it runs is tested by the next.
    if (checkMountedProc.isRunning()) {
        testAgain = true;
        return;
    }
    startMountListing();
}

bool sharedeck::startMountListing()
{
    pushWaitCursor();
    if (!checkMountedProc.start(mountListCommand())) {
        popWaitCursor();
        return false;
    }
    judging += toJudge;
    toJudge.clear();
    return true;
}

void sharedeck::checkMountedBeendet()
{
    popWaitCursor();
    // A new table's rows are painted from here on, with their first state. Before its buttons are placed: turning
    // updates on marks every widget in the view for repainting, and those out of sight cost as much as in sight.
    tableWidget->setUpdatesEnabled(true);
    const auto next = qScopeGuard([this] {
        if (std::exchange(testAgain, false))
            checkMounted();
    });
    // Only a complete listing tells that something is not mounted; what this
    // one was to judge waits for the next.
    if (!checkMountedProc.succeededWhole()) {
        toJudge = judging + toJudge;
        judging.clear();
        placeRowButtons({}); // of a new table, its rows' state not known
        return;
    }
    const MountListing listing(QString::fromLocal8Bit(checkMountedProc.output()));
    const int rows = tableWidget->columnCount() == 5 ? tableWidget->rowCount() : 0;
    // As a normal user only the user's own mounts count; root's count for root, and everyone's.
    const qint64 uid = systemPaths().asRoot ? qint64(-1) : qint64(systemPaths().uid);
    // A new table's buttons come with its rows' first state.
    const bool newTable = rows > 0 && !tableWidget->cellWidget(0, 0);
    QList<RowMount> states;
    if (newTable)
        states.reserve(rows);
    // Every row, or those the listing can touch: any other is plainly not mounted and stays so.
    const bool everyRow = newTable || !rowPlacesKnown;
    if (everyRow)
        rowsAt.clear();
    for (const int row : rowsToJudge(listing, rows, everyRow)) {
        const QTableWidgetItem* shareItem = tableWidget->item(row, 1);
        const QTableWidgetItem* mountPointItem = tableWidget->item(row, 2);
        if (!shareItem || !mountPointItem) {
            states.append(RowMount::Unknown);
            continue;
        }
        const QString mountPoint = cleanMountPoint(mountPointItem->text());
        if (everyRow)
            rowsAt.insert(mountPoint, row);
        const RowMount state = listing.recordIn(
            mountedDirs, [shareItem] { return shareItem->text(); }, mountPoint, uid);
        keepRow(row, state == RowMount::Mounted);
        QPushButton* button = nullptr;
        if (newTable) {
            states.append(state);
        } else if (rowStates.value(row) == state) {
            continue; // a row whose state stays is left alone: nothing of it is repainted
        } else if (!(button = qobject_cast<QPushButton*>(tableWidget->cellWidget(row, 0)))) {
            continue;
        }
        tableWidget->setItem(row, 4, statusItem(state == RowMount::Mounted ? greenIcon : redIcon));
        if (button) {
            showRowState(button, row, state);
            rowStates[row] = state;
        }
    }
    // What a look at every row learnt holds, though rows were kept or let go meanwhile.
    rowPlacesKnown |= everyRow && rows > 0;
    if (newTable)
        placeRowButtons(states);
    for (const auto& [share, mountPoint] : std::as_const(judging))
        listing.recordIn(mountedDirs, share, mountPoint, uid);
    judging.clear();
    // A place where no share (of this user's) is mounted any more is forgotten, wherever it came from.
    mountedDirs.removeIf([&](const QString& dir) { return !listing.showsAnyShareAt(dir, uid); });
}

void sharedeck::mountButtonClicked(int tabellenzeile)
{
    // One mount or umount at a time, none while the state of the rows is
    // being tested (the buttons may be out of date) or the window closes. The
    // second press of a double click comes just after the first one's command ended.
    if (closing || mountProc.isRunning() || checkMountedProc.isRunning() ||
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
    // The mount helper's rules, before anything is asked: elsewhere leads nowhere.
    if (const QString problem = mountPointProblem(request.mountPoint); !problem.isEmpty()) {
        showMountError("<b>" + problem + "</b><br>" + pre(mountPointItem->text()) +
                       tr("Bitte ändern Sie ihn in der Tabelle."));
        return;
    }
    const bool asRoot = systemPaths().asRoot;
    if (action == QLatin1String("umount")) {
        endTouch(request.mountPoint);
        // Waiting for the touch ran the event loop: a command may have started meanwhile.
        if (closing || mountProc.isRunning())
            return;
        startRowCommand(unmountCommand(request.mountPoint, asRoot), request.share, request.mountPoint, tabellenzeile);
        return;
    }
    for (const QString& problem : {shareMountProblem(request.share), userNameProblem(request.user)}) {
        if (!problem.isEmpty()) {
            showMountError(problem);
            return;
        }
    }
    if (!QDir(request.mountPoint).exists()) {
        const int answer = runMessageBox(messageFont, 12, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                                         QMessageBox::Information, tr("sharedeck: fehlendes mount-Verzeichnis"),
                                         tr("Das mount-Verzeichnis existiert nicht.<br>Soll es angelegt werden?"));
        // The box ran the event loop: a command may have started meanwhile.
        if (answer != QMessageBox::Yes || closing || mountProc.isRunning())
            return;
        if (!asRoot) {
            request.createMountPoint = true; // the helper may create it, the user may not
        } else if (::mkdir(QFile::encodeName(request.mountPoint).constData(), 0777) != 0) {
            showMountError(
                tr("<b>Das mount-Verzeichnis konnte nicht angelegt werden:</b><br>%1%2")
                    .arg(pre(request.mountPoint), QString::fromLocal8Bit(std::strerror(errno)).toHtmlEscaped()));
            return;
        }
    }
    if (const QString problem = asRoot ? rootMountPointProblem(request.mountPoint) : QString(); !problem.isEmpty()) {
        showMountError("<b>" + problem + "</b><br>" + pre(request.mountPoint));
        return;
    }
    if (!startRowCommand(mountCommand(request, asRoot), request.share, request.mountPoint, tabellenzeile,
                         request.options))
        return;
    // From the press on, the row is where its share is being mounted.
    keepRow(tabellenzeile, true);
    passwords->started(RememberedPasswords::Mount, request.user, request.server,
                       usesKerberos(request.options.toStdString()) ? QString() : request.password);
}

// The rows a state test judges, in order: every row, or those the listing can touch (the rows at its places and
// those not plainly unmounted), when the rows were learnt and every line of the listing is looked up by its place.
QList<int> sharedeck::rowsToJudge(const MountListing& listing, int rows, bool everyRow) const
{
    QList<int> judged;
    const auto rowsAtPlace = [&](QStringView place) {
        for (auto [row, end] = rowsAt.equal_range(place.toString()); row != end; ++row)
            judged.append(*row);
    };
    if (!everyRow && listing.forEachPlace(rowsAtPlace)) {
        for (int row = 0; row < rowStates.size(); ++row) {
            if (rowStates[row] != RowMount::NotMounted)
                judged.append(row);
        }
        std::sort(judged.begin(), judged.end());
        judged.erase(std::unique(judged.begin(), judged.end()), judged.end());
        return judged;
    }
    // Rows not learnt yet, or a line that can only be searched, which may show a share anywhere: every row.
    judged.resize(rows);
    std::iota(judged.begin(), judged.end(), 0);
    return judged;
}

// The share and mount point of a row whose share is mounted (or being mounted) stay as they were: its unmount and
// the mount listing look there, so the share never drops out of the table. Changed anyway (an edit begun before),
// they go back at once; the tooltip says why the cells do not open.
void sharedeck::keepRow(int row, bool keep)
{
    for (int column : {1, 2}) {
        QTableWidgetItem* item = tableWidget->item(row, column);
        if (!item || item->data(keptRole).isValid() == keep)
            continue;
        rowPlacesKnown = false; // a row kept or let go is judged by the next look at every row
        item->setData(keptRole, keep ? QVariant(item->text()) : QVariant());
        item->setFlags(keep ? item->flags() & ~Qt::ItemIsEditable : item->flags() | Qt::ItemIsEditable);
        item->setToolTip(keep ? tr("Die Freigabe ist hier eingehängt: Freigabename und Mountpoint lassen sich erst "
                                   "nach dem Aushängen ändern.")
                              : QString());
    }
}

void sharedeck::cellEdited(QTableWidgetItem* item)
{
    if (tableWidget->columnCount() != 5 || (item->column() != 1 && item->column() != 2))
        return;
    if (const QVariant kept = item->data(keptRole); kept.isValid()) {
        if (item->text() != kept.toString())
            item->setText(kept.toString());
        return;
    }
    // Another place than the one another user's share took: the press finds out.
    auto* button = qobject_cast<QPushButton*>(tableWidget->cellWidget(item->row(), 0));
    if (button && rowStates.value(item->row()) == RowMount::OtherUser) {
        rowStates[item->row()] = RowMount::NotMounted;
        showRowState(button, item->row(), RowMount::NotMounted);
    }
}

bool sharedeck::startRowCommand(const Command& command, const QString& share, const QString& mountPoint, int row,
                                const QString& options)
{
    pushWaitCursor();
    if (!mountProc.start(command)) {
        popWaitCursor();
        QString text = tr("<b>%1 konnte nicht gestartet werden!</b><br>").arg(command.program.toHtmlEscaped()) +
                       pre(mountProc.errorString());
        if (command.program == QLatin1String("pkexec"))
            text += tr("Zum Einhängen als normaler Benutzer wird pkexec benötigt.<br>Bitte installieren Sie das "
                       "Paket pkexec (bei älteren Systemen policykit-1).");
        showMountError(text);
        return false;
    }
    runningShare = share;
    runningMountPoint = mountPoint;
    runningOptions = options;
    runningRow = row;
    return true;
}

void sharedeck::showMountError(const QString& text)
{
    runMessageBox(messageFont, 12, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Critical,
                  tr("sharedeck: Fehler von mount"), text);
}

void sharedeck::mountProcBeendet()
{
    popWaitCursor();
    endedRow = std::exchange(runningRow, -1);
    rowEnded.start();
    // Its own mount point is judged, whatever the table shows by then.
    toJudge.append({runningShare, runningMountPoint});
    checkMounted();

    passwords->ended(RememberedPasswords::Mount, mountOutcome(mountProc.end()));
    // Anything but success, a dismissed authentication or a stop at close is told, with the output (the
    // helper's own lines in the interface's language).
    const QString output = helperOutputShown(mountProc.text());
    switch (mountProc.end()) {
    case CommandEnd::TimedOut:
        showMountError(tr("<b>Der Befehl hat nicht innerhalb von %1 s geantwortet und wurde abgebrochen.</b><br>")
                           .arg(systemPaths().commandTimeoutMs / 1000) +
                       pre(output));
        break;
    case CommandEnd::Crashed:
        showMountError(tr("<b>%1 ist abgestürzt.</b><br>").arg(mountProc.program().toHtmlEscaped()) + pre(output));
        break;
    case CommandEnd::Failed:
        showMountError(tr("mount meldete einen Fehler! (Error-Code:%1)<br>").arg(mountProc.exitCode()) + pre(output) +
                       mountFailureAdvice(mountProc.text(), runningOptions).toHtmlEscaped());
        break;
    case CommandEnd::NotAuthorised:
        // Nobody was asked when pkexec found no authentication agent: that is no refusal.
        if (const QString line = missingAgentLine(output); !line.isEmpty())
            showMountError(tr("<b>Das Einhängen wurde nicht erlaubt.</b><br><br>Es konnte kein Anmeldedialog "
                              "angezeigt werden: Dazu muss das Authentifizierungsprogramm (der polkit-Agent) Ihrer "
                              "Arbeitsumgebung laufen. Bitte melden Sie sich an einer grafischen Arbeitsumgebung an, "
                              "die es startet, oder bitten Sie einen Administrator, Sie in die Gruppe sharedeck "
                              "aufzunehmen.") +
                           pre(line));
        else
            showMountError(tr("<b>Das Einhängen wurde nicht erlaubt.</b><br><br>pkexec hat die Berechtigung "
                              "verweigert.<br>Ein Administrator kann sie mit einer polkit-Regel für die "
                              "Aktion<br>org.example.sharedeck.mount erteilen."));
        break;
    case CommandEnd::Succeeded:
    case CommandEnd::Dismissed:
    case CommandEnd::Stopped:
        break;
    }
}

void sharedeck::send_touch()
{
    for (const QString& dir : QStringList(mountedDirs)) {
        // A directory whose last touch still runs (its server may be gone)
        // is skipped this round; the window never waits for a touch. So is
        // one being unmounted, which a touch would keep busy.
        if (touches.contains(dir) || closing || (mountProc.isRunning() && dir == runningMountPoint))
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

// A keep-alive touch hung on a share whose server stopped answering keeps that share busy, and unmounting
// it would fail: the touch is ended first and given up to 5 s to go (SIGKILL ends even a touch that waits
// on a dead server, within a second or two). The window goes on painting meanwhile.
void sharedeck::endTouch(const QString& dir)
{
    const QPointer<QProcess> touch = touches.value(dir);
    if (!touch)
        return;
    QEventLoop loop;
    connect(touch, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    stopCommand(*touch);
    if (touch && touch->state() != QProcess::NotRunning)
        loop.exec();
}

void sharedeck::reject()
{
    close();
}

void sharedeck::closeEvent(QCloseEvent* event)
{
    // The window stays until the end says otherwise; a second close while
    // this one waits or asks does nothing.
    event->ignore();
    if (closing)
        return;
    closing = true;
    const auto done = qScopeGuard([this] { closing = false; });

    nextListingServer.clear();
    smbclientProc.stop();
    // A row's mount or umount ends first (or at its bound), so that it is
    // known what is mounted. One still waiting for its authentication is
    // ended: pkexec runs as the user until then and has started nothing yet.
    if (mountProc.awaitsAuthorisation())
        mountProc.stop();
    mountProc.waitForEnd();
    while (checkMountedProc.isRunning())
        checkMountedProc.waitForEnd();
    // What is mounted now, and of that what this user may unmount: as a user
    // only the shares mounted for them.
    QStringList mounted = mountedDirs;
    if (startMountListing()) {
        checkMountedProc.waitForEnd();
        mounted = mountedDirs;
        if (!systemPaths().asRoot && checkMountedProc.succeededWhole()) {
            const MountListing listing(QString::fromLocal8Bit(checkMountedProc.output()));
            mounted.removeIf([&](const QString& dir) { return !listing.showsAnyShareAt(dir, systemPaths().uid); });
        }
    }
    if (mounted.isEmpty()) {
        event->accept();
        return;
    }
    QStringList shown;
    for (const QString& dir : std::as_const(mounted))
        shown.append(dir.toHtmlEscaped());
    const int answer =
        runMessageBox(messageFont, 12, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::Warning,
                      tr("sharedeck: gemountete Verzeichnisse"),
                      tr("Es sind noch Verzeichnisse gemounted.<br><pre>") +
                          shownText(shown.join(QStringLiteral("<br>")), maxBoxChars) +
                          tr("</pre><br>Möchten Sie die Verzeichnisse aushängen<br>und das Programm beenden?"));
    if (answer != QMessageBox::Yes)
        return;
    for (const QString& dir : std::as_const(mounted)) {
        endTouch(dir);
        if (!startRowCommand(unmountCommand(dir, systemPaths().asRoot), QString(), dir, -1))
            continue;
        mountProc.waitForEnd();
        // An authentication cancelled or refused unmounted nothing: the
        // window stays, as if the question had been answered No.
        if (mountProc.end() == CommandEnd::Dismissed || mountProc.end() == CommandEnd::NotAuthorised)
            return;
    }
    event->accept();
}
