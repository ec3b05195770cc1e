#include "sharelisting.h"

#include "mounthelper/checks.h"

#include <QCoreApplication>

bool isOfferableShareName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')))
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QStringList diskSharesFromListing(const QString& output)
{
    QStringList shares;
    for (QStringView line : QStringView(output).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // Share names cannot contain "|", comments can: the name is the second field.
        const QList<QStringView> fields = line.split(QLatin1Char('|'));
        if (fields.size() < 2 || fields[0] != QLatin1String("Disk"))
            continue;
        const QString name = fields[1].toString();
        if (!name.contains(QLatin1Char('$')) && isOfferableShareName(name))
            shares.append(name);
    }
    return shares;
}

namespace {

// The advice is translated where it is returned, so that it is in the language of the interface now.
QString advice(const char* text)
{
    return QCoreApplication::translate("sharelisting", text);
}

const char* const noList =
    QT_TRANSLATE_NOOP("sharelisting", "Der Server hat die Verbindung angenommen, aber seine Liste der Freigaben "
                                      "nicht herausgegeben. Bitte versuchen Sie es noch einmal, oder wenden Sie sich "
                                      "an den Administrator des Servers.");

} // namespace

ListingFailure explainListingFailure(const QString& output, bool kerberos)
{
    static const char* const unreachable =
        QT_TRANSLATE_NOOP("sharelisting", "Der Server ist nicht erreichbar oder antwortet nicht. Bitte prüfen Sie, "
                                          "ob er eingeschaltet und das Netzwerk verbunden ist, und versuchen Sie es "
                                          "später noch einmal.");
    static const char* const locked =
        QT_TRANSLATE_NOOP("sharelisting", "Das Benutzerkonto ist auf dem Server deaktiviert oder gesperrt (etwa nach "
                                          "zu vielen falschen Passwörtern). Bitte wenden Sie sich an den "
                                          "Administrator des Servers.");
    static const std::pair<const char*, const char*> known[] = {
        {"NT_STATUS_LOGON_FAILURE", QT_TRANSLATE_NOOP("sharelisting", "Benutzername oder Passwort sind falsch. Bitte "
                                                                      "prüfen Sie beide und versuchen Sie es noch "
                                                                      "einmal.")},
        {"NT_STATUS_ACCOUNT_DISABLED", locked},
        {"NT_STATUS_ACCOUNT_LOCKED_OUT", locked},
        {"NT_STATUS_UNSUCCESSFUL", QT_TRANSLATE_NOOP("sharelisting", "Der Server ist unbekannt: Sein Name lässt sich "
                                                                     "nicht auflösen. Bitte prüfen Sie den Eintrag in "
                                                                     "server.conf.")},
        {"NT_STATUS_IO_TIMEOUT", unreachable},
        {"NT_STATUS_CONNECTION_REFUSED", unreachable},
        {"NT_STATUS_HOST_UNREACHABLE", unreachable},
        {"NT_STATUS_NETWORK_UNREACHABLE", unreachable},
        {"NT_STATUS_CONNECTION_DISCONNECTED",
         QT_TRANSLATE_NOOP("sharelisting", "Der Server spricht nur das veraltete Protokoll SMB1. Zum Auflisten muss "
                                           "ein Administrator in /etc/samba/smb.conf unter [global] \"client min "
                                           "protocol = NT1\" eintragen; zum Einhängen fügen Sie in der Spalte Options "
                                           "vers=1.0 hinzu.")},
    };
    const QList<QStringView> lines = QStringView(output).split(QLatin1Char('\n'));
    for (QStringView line : lines) {
        // The session stood, the list did not come: whatever the status, it is no matter of protocol or password.
        if (line.contains(QLatin1String("rpc_pipe_bind")) || line.contains(QLatin1String("cli_rpc_pipe_open")))
            return {advice(noList), line.trimmed().toString()};
        for (const auto& [status, text] : known) {
            // With a ticket there is no password to be wrong.
            if (line.contains(QLatin1String(status)) && !(kerberos && qstrcmp(status, "NT_STATUS_LOGON_FAILURE") == 0))
                return {advice(text), line.trimmed().toString()};
        }
    }
    if (!kerberos)
        return {};
    ListingFailure failure{QCoreApplication::translate(
                               "sharelisting",
                               "Die Anmeldung mit Kerberos ist fehlgeschlagen: Ihr Ticket ist abgelaufen, oder der "
                               "Server gehört nicht zur Domäne. Bitte melden Sie sich neu an (oder führen Sie "
                               "kinit aus) und laden Sie die Freigaben noch einmal, oder geben Sie Benutzername "
                               "und Passwort ein."),
                           {}};
    for (QStringView line : lines) {
        if (failure.line.isEmpty() && line.contains(QLatin1String("NT_STATUS_")))
            failure.line = line.trimmed().toString();
    }
    return failure;
}

ListingResult judgeListing(const QString& output, int exitCode, bool kerberos)
{
    static const QStringList listTypes{"Disk", "IPC", "Printer", "Device", "Server", "Workgroup"};
    bool answered = false, error = false, strayAfterShares = false, shareSeen = false;
    for (QStringView line : QStringView(output).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        const bool listLine = bar > 0 && listTypes.contains(line.left(bar));
        answered |= listLine;
        shareSeen |= listLine && line.startsWith(QLatin1String("Disk|"));
        error |= !listLine && (line.contains(QLatin1String("NT_STATUS_")) ||
                               line.contains(QLatin1String("failed"), Qt::CaseInsensitive));
        strayAfterShares |=
            shareSeen && !listLine && !line.isEmpty() && !line.endsWith(QLatin1String("-- no workgroup available"));
    }
    ListingResult result{ListingResult::Failed, diskSharesFromListing(output), {}};
    if (!result.shares.isEmpty() && (exitCode == 0 || !strayAfterShares))
        result.kind = ListingResult::Shares;
    else if (result.shares.isEmpty() && answered && !error)
        result.kind = ListingResult::NoDiskShares;
    else if (exitCode == 0 && !error)
        result.failure = {advice(noList), {}}; // nothing at all came back, though smbclient saw no fault
    else
        result.failure = explainListingFailure(output, kerberos);
    return result;
}

QString mountFailureAdvice(const QString& output, const QString& options)
{
    // 126 (ENOKEY): the kernel's upcall found no usable ticket. With Kerberos, mount.cifs reports a ticket the
    // server refused (expired, or the server is not known in the domain) as 13.
    if (output.contains(QLatin1String("mount error(126)")) ||
        (usesKerberos(options.toStdString()) &&
         (output.contains(QLatin1String("mount error(13)")) || output.contains(QLatin1String("Permission denied")))))
        return QCoreApplication::translate(
            "sharelisting", "Die Anmeldung mit Kerberos ist fehlgeschlagen: Ihr Ticket ist abgelaufen oder fehlt, "
                            "oder der Server ist der Domäne unbekannt. Bitte melden Sie sich neu an (oder führen "
                            "Sie kinit aus), oder geben Sie Ihr Passwort ein und laden Sie die Freigaben neu.");
    // mount.cifs's own hint when the server closed the connection on SMB2 and later.
    if (output.contains(QLatin1String("vers=1.0")))
        return QCoreApplication::translate(
            "sharelisting", "Der Server spricht nur das veraltete Protokoll SMB1: fügen Sie in der Spalte Options "
                            "vers=1.0 hinzu.");
    // EACCES: the server refused this user the share (smb.conf's "valid users", or a wrong password).
    if (output.contains(QLatin1String("mount error(13)")))
        return QCoreApplication::translate(
            "sharelisting", "Der Server hat diesem Benutzer den Zugriff auf diese Freigabe verweigert. Bitte prüfen "
                            "Sie Benutzername und Passwort, oder bitten Sie den Administrator des Servers um das "
                            "Recht an der Freigabe.");
    if (output.contains(QLatin1String("target is busy")))
        return QCoreApplication::translate(
            "sharelisting", "Die Freigabe wird noch von einem Programm oder einem Terminal benutzt. Bitte schließen "
                            "Sie es oder verlassen Sie den Ordner, und hängen Sie die Freigabe dann noch einmal aus.");
    return {};
}

QString missingAgentLine(const QString& output)
{
    for (QStringView line : QStringView(output).split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("authentication agent")))
            return line.trimmed().toString();
    }
    return {};
}
