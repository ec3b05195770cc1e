// libFuzzer target: any smbclient output. Whatever the server sends, an
// offered share is a visible share whose mount point stays inside /mnt.
#include "sharelisting.h"

#include <QDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString output = QString::fromLocal8Bit(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& share : diskSharesFromListing(output)) {
        const QString mountPoint = QDir::cleanPath("/mnt/" + share);
        if (share.contains('$') || share.contains('\n') || !mountPoint.startsWith("/mnt/") || mountPoint == "/mnt/")
            std::abort();
    }
    return 0;
}
