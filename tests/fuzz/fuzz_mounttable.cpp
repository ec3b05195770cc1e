// libFuzzer target: any mount listing. Input: share name, line feed, mount
// point, line feed, listing. A row counts as mounted only through a line that
// holds "/share on mountpoint type ", and always through such a line.
#include "mounttable.h"

#include <QStringList>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList parts = QString::fromLocal8Bit(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n');
    if (parts.size() < 3)
        return 0;
    const QString search = mountSearchText(parts[0], parts[1]);
    const QString listing = parts.mid(2).join('\n');
    bool found = false;
    for (const QString& l : parts.mid(2))
        found |= l.contains("/" + search + " type ");
    const MountListing withLine(listing + "\n//srv/" + search + " type cifs (rw)");
    if (MountListing(listing).showsShare(parts[0], parts[1]) != found || !withLine.showsShare(parts[0], parts[1]) ||
        !withLine.showsAnyShareAt(parts[1]))
        std::abort();
    return 0;
}
