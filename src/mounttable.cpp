#include "mounttable.h"

#include <QList>

QString mountSearchText(const QString& share, const QString& mountPoint)
{
    return share + " on " + mountPoint;
}

bool listingShowsMount(const QString& listing, const QString& searchText)
{
    // The "/" in front and " type " behind pin the share name and the mount
    // point to whole fields: //srv/olddata and /mnt/data2 do not count for data.
    const QString needle = "/" + searchText + " type ";
    for (QStringView line : QStringView(listing).split(QLatin1Char('\n'))) {
        if (line.contains(needle))
            return true;
    }
    return false;
}
