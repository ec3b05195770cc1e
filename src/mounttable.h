#pragma once

#include <QString>

// The text a mount listing line carries for a share mounted at a mount point:
// share name, " on ", mount point.
QString mountSearchText(const QString& share, const QString& mountPoint);

// Whether one line of the output of "mount" reads
// "<source ending in /share> on <mountPoint> type ...", from any server.
bool listingShowsMount(const QString& listing, const QString& searchText);
