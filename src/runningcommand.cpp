#include "runningcommand.h"

#include "systempaths.h"

#include <QEventLoop>

RunningCommand::RunningCommand(qsizetype outputLimit) : outputLimit(outputLimit)
{
    // Read as it comes, both channels, so that what is kept stays bounded.
    connect(&process, &QProcess::readyReadStandardOutput, this, &RunningCommand::read);
    connect(&process, &QProcess::readyReadStandardError, this, &RunningCommand::read);
    connect(&process, &QProcess::finished, this, [this] {
        read();
        deadline.stop();
        awaitingAuthorisation = false;
        emit ended();
    });
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, [this] {
        timedOut = true;
        stopCommand(process);
    });
}

RunningCommand::~RunningCommand()
{
    // What still runs is stopped with all it started rather than left to
    // mount a share after the window is gone; nobody hears of its end.
    disconnect(&process, nullptr, this, nullptr);
    if (isRunning()) {
        stopCommand(process);
        process.waitForFinished(1000);
    }
}

bool RunningCommand::start(const Command& command)
{
    out.clear();
    err.clear();
    pending.clear();
    tooLarge = timedOut = stopped = false;
    throughPkexec = awaitingAuthorisation = command.program == QLatin1String("pkexec");
    if (!startCommand(process, command)) {
        awaitingAuthorisation = false;
        return false;
    }
    if (!awaitingAuthorisation)
        deadline.start(systemPaths().commandTimeoutMs);
    return true;
}

void RunningCommand::stop()
{
    if (!isRunning())
        return;
    stopped = true;
    stopCommand(process);
}

void RunningCommand::waitForEnd()
{
    if (!isRunning())
        return;
    QEventLoop loop;
    connect(this, &RunningCommand::ended, &loop, &QEventLoop::quit);
    loop.exec();
}

CommandEnd RunningCommand::end() const
{
    return judgeEnd(throughPkexec, process.exitStatus(), process.exitCode(), timedOut, stopped);
}

void RunningCommand::read()
{
    appendBounded(err, process.readAllStandardError(), maxShownBytes + 1);
    QByteArray output = process.readAllStandardOutput();
    if (awaitingAuthorisation) {
        // The helper's first line says it runs as root; it is no output of its work.
        pending += output;
        output.clear();
        if (pending.startsWith(authorisedMarker)) {
            output = pending.mid(authorisedMarker.size());
        } else if (authorisedMarker.startsWith(pending) && isRunning()) {
            return; // more of the marker may follow
        } else {
            output = pending; // something else writes (pkexec itself, or a helper without the marker)
        }
        pending.clear();
        awaitingAuthorisation = false;
        deadline.start(systemPaths().commandTimeoutMs);
    }
    tooLarge |= !appendBounded(out, output, outputLimit);
}
