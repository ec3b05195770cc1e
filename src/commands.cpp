#include "commands.h"

#include <QProcess>

namespace {

Command withPassword(Command command, const QString& password)
{
    // smbclient and mount.cifs both read the password from PASSWD.
    command.environment.insert(QStringLiteral("PASSWD"), password);
    return command;
}

} // namespace

Command shareListCommand(const QString& server, const QString& user, const QString& password)
{
    return withPassword({QStringLiteral("smbclient"), {"-g", "-U", user, "-L", server}}, password);
}

Command mountListCommand()
{
    return {QStringLiteral("mount"), {}};
}

Command mountCommand(const QString& server, const QString& share, const QString& mountPoint, const QString& user,
                     const QString& password, const QString& options)
{
    const QString source = "//" + server + "/" + share;
    const QString optionString = "username=" + user + "," + options;
    return withPassword({QStringLiteral("mount"), {"-t", "cifs", source, mountPoint, "-o", optionString}}, password);
}

Command unmountCommand(const QString& mountPoint)
{
    return {QStringLiteral("umount"), {mountPoint}};
}

Command touchCommand(const QString& mountPoint)
{
    return {QStringLiteral("touch"), {"--no-create", mountPoint + markerFileSuffix}};
}

QString mountPointFor(const QString& share)
{
    return "/mnt/" + share;
}

bool startCommand(QProcess& process, const Command& command)
{
    process.setProcessEnvironment(command.environment);
    process.start(command.program, command.arguments, QIODevice::ReadWrite);
    if (!process.waitForStarted(commandTimeoutMs))
        return false;
    process.closeWriteChannel();
    return true;
}

bool finishWithin(QProcess& process, int timeoutMs)
{
    if (process.waitForFinished(timeoutMs))
        return true;
    process.kill();
    process.waitForFinished(timeoutMs);
    return false;
}
