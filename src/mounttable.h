#pragma once

#include <QList>
#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <type_traits>

// The text a mount listing line carries for a share mounted at a mount point:
// share name, " on ", mount point.
QString mountSearchText(const QString& share, const QString& mountPoint);

// How a row's share stands at its mount point: no listing told yet, not mounted, mounted (for the user),
// or a place where only another user's shares are mounted, which this user can neither open nor unmount.
enum class RowMount { Unknown, NotMounted, Mounted, OtherUser };

// The output of "mount": one line per mount, "SRC on TARGET type FSTYPE (OPTIONS)",
// with blanks in SRC and TARGET printed raw.
class MountListing
{
public:
    explicit MountListing(const QString& output);

    // Whether a line reads "<source ending in /share> on <mountPoint> type ...",
    // the share from any server. The "/" in front and " type " behind pin the
    // share name and the mount point to whole fields: //srv/olddata and
    // /mnt/data2 do not count for data at /mnt/data. With a uid, only a line mounted for that user
    // counts, as for showsAnyShareAt.
    bool showsShare(const QString& share, const QString& mountPoint, qint64 uid = -1) const;

    // Whether any share ("//server/share") is mounted at mountPoint; with a
    // uid, one mounted for that user, that is with the option "uid=UID" (the
    // mount helper gives every mount of a user that user's uid).
    bool showsAnyShareAt(const QString& mountPoint, qint64 uid = -1) const;

    // Brings the list of mounted directories up to date for a share at a mount
    // point and tells how it stands there. Another share may be mounted at
    // that place: it is forgotten only when no share is mounted there at all.
    // With a uid (a normal user's) only that user's mounts count as mounted, and
    // a place holding shares of others alone is OtherUser; without one, every
    // mount counts and OtherUser never comes.
    RowMount recordIn(QStringList& mountedDirs, const QString& share, const QString& mountPoint, qint64 uid = -1) const;
    // The same with the share's name from shareName(), asked for only where a share may be mounted at
    // mountPoint: a big table is mostly rows with nothing mounted, and each is judged by one look-up.
    template <class ShareName>
    requires std::is_invocable_v<ShareName> RowMount recordIn(QStringList& mountedDirs, ShareName shareName,
                                                              const QString& mountPoint, qint64 uid = -1)
    const
    {
        if (mayShowAt(mountPoint))
            return recordIn(mountedDirs, QString(shareName()), mountPoint, uid);
        mountedDirs.removeOne(mountPoint);
        return RowMount::NotMounted;
    }

    // Calls place(text) for every text that a line is looked up under (a text may come more than once). When
    // every line is looked up so (none is searched), nothing can be mounted at any other place.
    template <class Place> bool forEachPlace(Place place) const
    {
        for (auto key = byMountPoint.keyBegin(); key != byMountPoint.keyEnd(); ++key)
            place(*key);
        return searched.isEmpty();
    }

private:
    // Whether test holds for a line that may read "... on <mountPoint> type ...".
    // Those lines are looked up, not searched, so that testing every row of a big
    // table against a long listing costs one look-up per row.
    template <class Test> bool anyLineAt(const QString& mountPoint, Test test) const;
    // Whether any line may read "... on <mountPoint> type ...": where none does, nothing is searched for.
    bool mayShowAt(const QString& mountPoint) const;

    QString text;
    // Each line under every text that stands between one of its " on " and a
    // later " type " (one text for a line the kernel wrote). A line with many of
    // them is not split up but searched each time.
    QMultiHash<QStringView, QStringView> byMountPoint;
    QList<QStringView> searched;
};
