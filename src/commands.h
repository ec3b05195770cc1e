#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QProcess;

// Bound for every command that is waited for.
constexpr int commandTimeoutMs = 30000;
// Period of the keep-alive touches.
constexpr int keepAlivePeriodMs = 300000;

// sec=ntlmssp: Linux no longer knows sec=ntlm, and ntlmssp is its default anyway.
inline const QString defaultMountOptions = QStringLiteral("gid=1000,uid=1000,sec=ntlmssp");
inline const QString markerFileSuffix = QStringLiteral("/Server_Alive.txt");

// One child process to run: a bare program name looked up on PATH, its
// arguments (never through a shell) and its environment. Secrets travel in the
// environment only, because every local user can read a process's arguments.
struct Command {
    QString program;
    QStringList arguments;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

Command shareListCommand(const QString& server, const QString& user, const QString& password);
Command mountListCommand();
Command mountCommand(const QString& server, const QString& share, const QString& mountPoint, const QString& user,
                     const QString& password, const QString& options);
Command unmountCommand(const QString& mountPoint);
Command touchCommand(const QString& mountPoint);

QString mountPointFor(const QString& share);

// Starts the command read-write and closes its standard input at once, so a
// child that asks for a password sees end of input instead of waiting forever.
// False when the program could not be started.
bool startCommand(QProcess& process, const Command& command);

// Waits up to timeoutMs for a started command; one that outlasts the bound is
// killed so the process object is free for the next command. False on timeout.
bool finishWithin(QProcess& process, int timeoutMs);
