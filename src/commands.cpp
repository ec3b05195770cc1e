#include "commands.h"

#include "checks.h"
#include "systempaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <netdb.h>
#include <signal.h>
#include <unistd.h>

namespace {

Command withPassword(Command command, const QString& password)
{
    // smbclient and mount.cifs both read the password from PASSWD.
    ownEnvironment(command).insert(QStringLiteral("PASSWD"), password);
    return command;
}

QString helperPath()
{
    return programDirectory() + QStringLiteral("/sharedeck-mount");
}

} // namespace

QProcessEnvironment& ownEnvironment(Command& command)
{
    if (command.environment.inheritsFromParent())
        command.environment = QProcessEnvironment::systemEnvironment();
    return command.environment;
}

Command shareListCommand(const QString& server, const QString& user, const QString& password)
{
    return withPassword({QStringLiteral("smbclient"), {"-g", "-U", user, "-L", server}}, password);
}

Command ticketCheckCommand()
{
    return {QStringLiteral("klist"), {"-s"}};
}

Command ticketCacheCommand()
{
    return {QStringLiteral("klist"), {}};
}

Command kerberosShareListCommand(const QString& server)
{
    Command command{QStringLiteral("smbclient"), {"-g", "-L", server, "--use-kerberos=required", "-N"}};
    ownEnvironment(command).remove(QStringLiteral("PASSWD"));
    return command;
}

Command mountListCommand()
{
    return {QStringLiteral("mount"), {}};
}

Command mountCommand(const MountRequest& request, bool asRoot)
{
    const QString source = "//" + serverHost(request.server) + "/" + request.share;
    const QString options = mountOptionString(request.user, request.options);
    if (asRoot) {
        const Command mount{QStringLiteral("mount"), {"-t", "cifs", source, request.mountPoint, "-o", options}};
        // Kerberos without a password: the ticket alone, as the helper does it.
        if (request.password.isEmpty() && usesKerberos(request.options.toStdString()))
            return mount;
        return withPassword(mount, request.password);
    }
    QStringList arguments{helperPath(), "mount"};
    if (request.createMountPoint)
        arguments << "--create";
    arguments << source << request.mountPoint << options;
    return {QStringLiteral("pkexec"), arguments, QProcessEnvironment::systemEnvironment(), request.password.toUtf8()};
}

Command unmountCommand(const QString& mountPoint, bool asRoot)
{
    if (asRoot)
        return {QStringLiteral("umount"), {mountPoint}};
    return {QStringLiteral("pkexec"), {helperPath(), "umount", mountPoint}};
}

Command touchCommand(const QString& mountPoint)
{
    return {QStringLiteral("touch"), {"--no-create", mountPoint + markerFileSuffix}};
}

QString mountPointFor(const QString& share)
{
    return systemPaths().mountBase + "/" + share;
}

QString serverHost(const QString& server)
{
    qsizetype start = 0;
    while (start < server.size() && (server[start] == QLatin1Char('/') || server[start] == QLatin1Char('\\')))
        ++start;
    return server.mid(start);
}

bool isIpAddress(const QString& host)
{
    // An IPv6 zone names an interface that need not exist here.
    const QString address = host.contains(QLatin1Char(':')) ? host.section(QLatin1Char('%'), 0, 0) : host;
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST; // never a lookup
    addrinfo* found = nullptr;
    const bool numeric = ::getaddrinfo(address.toLocal8Bit().constData(), nullptr, &hints, &found) == 0;
    if (found)
        ::freeaddrinfo(found);
    return numeric;
}

QString kerberosServerProblem(const QString& server)
{
    if (isIpAddress(serverHost(server)))
        return QCoreApplication::translate(
            "commands", "Kerberos braucht den Namen des Servers, nicht seine Adresse. Bitte tragen Sie den Namen "
                        "des Servers in server.conf ein, oder geben Sie Benutzername und Passwort ein.");
    return {};
}

QString defaultMountOptions(bool asRoot, bool kerberos)
{
    const QString sec = kerberos ? QStringLiteral("krb5") : QStringLiteral("ntlmssp");
    if (asRoot)
        return QStringLiteral("gid=1000,uid=1000,sec=") + sec;
    return QStringLiteral("gid=%1,uid=%2,sec=%3").arg(systemPaths().gid).arg(systemPaths().uid).arg(sec);
}

QString mountOptionString(const QString& user, const QString& options)
{
    QString name = user, domain;
    const qsizetype split = user.indexOf(QRegularExpression(QStringLiteral("[\\\\/]")));
    if (split >= 0) {
        domain = user.left(split);
        name = user.mid(split + 1);
    }
    QStringList items;
    if (!name.isEmpty())
        items << "username=" + name;
    if (!domain.isEmpty())
        items << "domain=" + domain;
    if (!options.isEmpty())
        items << options;
    return items.join(QLatin1Char(','));
}

QString listingUserProblem(const QString& user)
{
    if (user.contains(QLatin1Char('%')))
        return QCoreApplication::translate("commands", "Der Benutzername darf kein \"%\" enthalten.");
    return {};
}

QString userNameProblem(const QString& user)
{
    if (user.contains(QLatin1Char(',')) || user.contains(QLatin1Char('=')))
        return QCoreApplication::translate("commands",
                                           "Der Benutzername darf zum Einhängen weder \",\" noch \"=\" enthalten.");
    return {};
}

QString cleanMountPoint(const QString& cell)
{
    // A leading slash is an absolute path; only other texts need QDir's slower test.
    return cell.startsWith(QLatin1Char('/')) || QDir::isAbsolutePath(cell) ? QDir::cleanPath(cell) : cell;
}

QString mountPointProblem(const QString& cleaned)
{
    const QString base = systemPaths().mountBase + "/";
    const QString name = cleaned.startsWith(base) ? cleaned.mid(base.size()) : QString();
    bool control = false;
    for (const QChar c : name)
        control |= c.unicode() < 0x20 || c.unicode() == 0x7f;
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || control || QFile::encodeName(name).size() > 255)
        return QCoreApplication::translate(
                   "commands", "Der Mountpoint muss %1NAME lauten: ein Name direkt in %2, nicht . oder .., ohne "
                               "Steuerzeichen, höchstens 255 Bytes lang.")
            .arg(base, systemPaths().mountBase);
    return {};
}

QString shareMountProblem(const QString& share)
{
    // The mount helper's own rule decides; the text says it in the window's words.
    if (!checkSource("//host/" + share.toStdString()).empty())
        return QCoreApplication::translate(
            "commands", "Diese Freigabe lässt sich nicht einhängen: Ihr Name beginnt mit \"-\" oder enthält "
                        "\",\", \"\\\" oder ein Steuerzeichen.");
    return {};
}

CommandEnd judgeEnd(bool throughPkexec, QProcess::ExitStatus status, int exitCode, bool timedOut, bool stopped)
{
    if (stopped)
        return CommandEnd::Stopped;
    if (timedOut)
        return CommandEnd::TimedOut;
    if (status == QProcess::CrashExit)
        return CommandEnd::Crashed;
    if (throughPkexec && (exitCode == 126 || exitCode == 127))
        return exitCode == 126 ? CommandEnd::Dismissed : CommandEnd::NotAuthorised;
    return exitCode == 0 ? CommandEnd::Succeeded : CommandEnd::Failed;
}

bool startCommand(QProcess& process, const Command& command)
{
    process.setProcessEnvironment(command.environment);
    // A group of its own, so that stopping the command also stops what it
    // started (mount leaves mount.cifs running when only mount is killed).
    process.setChildProcessModifier([] { ::setsid(); });
    process.start(command.program, command.arguments, QIODevice::ReadWrite);
    if (!process.waitForStarted(systemPaths().commandTimeoutMs))
        return false;
    if (!command.input.isEmpty())
        process.write(command.input);
    process.closeWriteChannel();
    return true;
}

void stopCommand(QProcess& process)
{
    if (process.processId() > 0)
        ::kill(-pid_t(process.processId()), SIGKILL);
    process.kill();
}

bool appendBounded(QByteArray& buffer, const QByteArray& more, qsizetype limit)
{
    const qsizetype room = qMax(qsizetype(0), limit - buffer.size());
    buffer += more.left(room);
    return more.size() <= room;
}
