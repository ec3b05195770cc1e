// libFuzzer target for all parsers: the first byte (mod 3) picks one (seeds: tests/corpus); aborts on a fault.
#include "../../src/mounthelper/checks.h"
#include "../../src/mounttable.h"
#include "../../src/sharelisting.h"

#include <QDir>

#include <regex>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::regex safeMnt("/mnt/(?!\\.\\.?$)[^/\\x00-\\x1f\\x7f]{1,255}"), safeSource("//[^/]+/[^/]+"),
        safeOptions("(,((username|domain|sec|vers|uid|gid|file_mode|dir_mode|iocharset|cache|actimeo)=[^,]*|rw|ro|"
                    "noperm|nobrl|serverino|noserverino|mapchars|nomapchars|seal|nounix))+");
    const QString text = QString::fromLocal8Bit(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList f = text.mid(1).split('\t'); // the fields; the last may hold tabs and line feeds
    const std::string point = f[0].toStdString(), table = f.mid(3).join('\t').toStdString();
    bool bad = false;
    if (size > 0 && data[0] % 3 == 0) { // "point\tsource\toptions\tmountinfo": what the helper allows is safe
        const std::string source = f.value(1).toStdString(), options = f.value(2).toStdString();
        bad = (checkMountPoint(point, "/", 0, table, Use::MountCreate).empty() && !std::regex_match(point, safeMnt)) ||
              (checkSource(source).empty() && !std::regex_match(source, safeSource)) ||
              (checkOptions(options, 1000, 1000).empty() && !std::regex_match("," + options, safeOptions)) ||
              (checkMounted(table, point, 1000).empty() && table.find("uid=1000") == std::string::npos);
    } else if (size > 0 && data[0] % 3 == 1) {
        // "share\tpoint\tlisting": shown as mounted exactly when a line holds the needle, so always with such a line
        const QString at = f.value(1), needle = "/" + f[0] + " on " + at + " type ", listing = f.mid(2).join('\t');
        const MountListing plain(listing), withLine(listing + "\n//srv" + needle + "cifs (rw)");
        bad = plain.showsShare(f[0], at) == listing.split('\n').filter(needle).isEmpty() ||
              (!needle.contains('\n') && !(withLine.showsShare(f[0], at) && withLine.showsAnyShareAt(at)));
    } else if (size > 0) { // the whole input: an offered share is a visible one, its mount point right in /mnt
        for (const QString& share : diskSharesFromListing(text)) {
            const QString at = QDir::cleanPath("/mnt/" + share);
            bad |= share.contains('$') || share.contains('\n') || at.section('/', 0, -2) != "/mnt";
        }
    }
    if (bad)
        std::abort();
    return 0;
}
