#pragma once

#include "commands.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QTimer>

// One command the window runs without waiting for it: the process (in a
// process group of its own), its bound, what it wrote and how it ended.
// The bound runs from the start, or, through pkexec, from the helper's
// authorisation marker on: the time the user takes to authenticate is not
// bounded. ended() comes once per started command, also after stop().
class RunningCommand : public QObject
{
    Q_OBJECT

public:
    explicit RunningCommand(qsizetype outputLimit);
    ~RunningCommand() override;

    // False when the command could not be started; errorString() says why.
    bool start(const Command& command);
    bool isRunning() const { return process.state() != QProcess::NotRunning; }
    bool awaitsAuthorisation() const { return awaitingAuthorisation; }
    // Kills the command with everything it started; it ends as stopped.
    void stop();
    // Runs the event loop until the command has ended: the window goes on
    // answering meanwhile.
    void waitForEnd();

    // Of the command that ended last.
    CommandEnd end() const;
    int exitCode() const { return process.exitCode(); }
    QString program() const { return process.program(); }
    QString errorString() const { return process.errorString(); }
    // Standard output (bounded by outputLimit) and standard error (1 MiB).
    const QByteArray& output() const { return out; }
    const QByteArray& errors() const { return err; }
    bool outputTooLarge() const { return tooLarge; }
    // Whether it succeeded and all it wrote is kept: only then does its output tell the whole story.
    bool succeededWhole() const { return end() == CommandEnd::Succeeded && !tooLarge; }
    // Both as text, standard output first.
    QString text() const { return QString::fromLocal8Bit(out + err); }

signals:
    void ended();

private:
    void read();

    QProcess process;
    QTimer deadline;
    const qsizetype outputLimit;
    QByteArray out, err;
    QByteArray pending; // what may still turn out to be the helper's marker
    bool throughPkexec = false, awaitingAuthorisation = false;
    bool tooLarge = false, timedOut = false, stopped = false;
};
