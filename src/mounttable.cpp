#include "mounttable.h"

#include <QVarLengthArray>

#include <algorithm>

namespace {

const QLatin1String on(" on "), type(" type ");

// Where a text occurs in a line, overlapping occurrences too. A line the kernel wrote holds each once.
QVarLengthArray<qsizetype, 4> positions(QStringView line, QLatin1String what)
{
    QVarLengthArray<qsizetype, 4> found;
    for (qsizetype at = line.indexOf(what); at >= 0; at = line.indexOf(what, at + 1))
        found.append(at);
    return found;
}

// Whether a line is mounted for the user uid, that is with the option "uid=UID" (the mount helper gives every
// mount of a user that user's uid); every line for a uid below 0.
bool mountedFor(QStringView line, qint64 uid)
{
    if (uid < 0)
        return true;
    // The options close the line: "... type cifs (rw,nosuid,uid=1000,...)".
    const qsizetype open = line.lastIndexOf(QLatin1String(" ("));
    const QStringView options =
        open < 0 || !line.endsWith(QLatin1Char(')')) ? QStringView() : line.sliced(open + 2).chopped(1);
    const QString owner = QStringLiteral("uid=%1").arg(uid);
    return options.split(QLatin1Char(',')).contains(QStringView(owner));
}

// More places a line may be mounted at than this, and it is searched instead.
constexpr qsizetype maxPlacesPerLine = 16;

} // namespace

QString mountSearchText(const QString& share, const QString& mountPoint)
{
    return share + " on " + mountPoint;
}

MountListing::MountListing(const QString& output) : text(output)
{
    byMountPoint.reserve(text.count(QLatin1Char('\n')) + 1);
    for (QStringView line : QStringView(text).tokenize(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QVarLengthArray<qsizetype, 4> types = positions(line, type);
        QVarLengthArray<QStringView, 4> places;
        bool many = false;
        for (qsizetype start : positions(line, on)) {
            for (qsizetype end : types) {
                if (end < start + on.size())
                    continue;
                if ((many = places.size() == maxPlacesPerLine))
                    break;
                places.append(line.sliced(start + on.size(), end - start - on.size()));
            }
            if (many)
                break;
        }
        if (many) {
            searched.append(line);
            continue;
        }
        for (QStringView place : places)
            byMountPoint.insert(place, line);
    }
}

template <class Test> bool MountListing::anyLineAt(const QString& mountPoint, Test test) const
{
    for (auto [line, end] = byMountPoint.equal_range(QStringView(mountPoint)); line != end; ++line) {
        if (test(*line))
            return true;
    }
    return std::any_of(searched.begin(), searched.end(), test);
}

bool MountListing::mayShowAt(const QString& mountPoint) const
{
    return !searched.isEmpty() || byMountPoint.contains(QStringView(mountPoint));
}

bool MountListing::showsShare(const QString& share, const QString& mountPoint, qint64 uid) const
{
    if (!mayShowAt(mountPoint))
        return false;
    const QString needle = "/" + mountSearchText(share, mountPoint) + " type ";
    return anyLineAt(mountPoint, [&](QStringView line) { return line.contains(needle) && mountedFor(line, uid); });
}

bool MountListing::showsAnyShareAt(const QString& mountPoint, qint64 uid) const
{
    if (!mayShowAt(mountPoint))
        return false;
    const QString needle = " on " + mountPoint + " type ";
    return anyLineAt(mountPoint, [&](QStringView line) {
        return line.startsWith(QLatin1String("//")) && line.contains(needle) && mountedFor(line, uid);
    });
}

RowMount MountListing::recordIn(QStringList& mountedDirs, const QString& share, const QString& mountPoint,
                                qint64 uid) const
{
    const bool mounted = showsShare(share, mountPoint, uid);
    const bool ours = mounted || showsAnyShareAt(mountPoint, uid);
    if (mounted && !mountedDirs.contains(mountPoint))
        mountedDirs.append(mountPoint);
    else if (!ours)
        mountedDirs.removeOne(mountPoint);
    if (mounted)
        return RowMount::Mounted;
    return !ours && uid >= 0 && showsAnyShareAt(mountPoint) ? RowMount::OtherUser : RowMount::NotMounted;
}
