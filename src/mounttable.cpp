#include "mounttable.h"

QString mountSearchText(const QString& share, const QString& mountPoint)
{
    return share + " on " + mountPoint;
}

MountListing::MountListing(const QString& output) : text(output)
{
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines.append(line);
}

bool MountListing::showsShare(const QString& share, const QString& mountPoint) const
{
    const QString needle = "/" + mountSearchText(share, mountPoint) + " type ";
    for (QStringView line : lines) {
        if (line.contains(needle))
            return true;
    }
    return false;
}

bool MountListing::showsAnyShareAt(const QString& mountPoint, qint64 uid) const
{
    const QString needle = " on " + mountPoint + " type ";
    const QString owner = QStringLiteral("uid=%1").arg(uid);
    for (QStringView line : lines) {
        // The options close the line: "... type cifs (rw,nosuid,uid=1000,...)".
        const qsizetype open = line.lastIndexOf(QLatin1String(" ("));
        const QStringView options =
            open < 0 || !line.endsWith(QLatin1Char(')')) ? QStringView() : line.sliced(open + 2).chopped(1);
        if (line.startsWith(QLatin1String("//")) && line.contains(needle) &&
            (uid < 0 || options.split(QLatin1Char(',')).contains(QStringView(owner))))
            return true;
    }
    return false;
}

bool MountListing::recordIn(QStringList& mountedDirs, const QString& share, const QString& mountPoint) const
{
    const bool mounted = showsShare(share, mountPoint);
    if (mounted && !mountedDirs.contains(mountPoint))
        mountedDirs.append(mountPoint);
    else if (!mounted && !showsAnyShareAt(mountPoint))
        mountedDirs.removeOne(mountPoint);
    return mounted;
}
