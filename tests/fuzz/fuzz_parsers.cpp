// libFuzzer target for all parsers: the first byte (mod 3) picks one (seeds: tests/corpus); aborts on a fault.
#include "../../src/discovery.h"
#include "../../src/mounthelper/checks.h"
#include "../../src/mounttable.h"
#include "../../src/sharelisting.h"

#include <QDir>
#include <QRegularExpression>

#include <libmount.h>

#include <regex>

namespace {
// The options as libmount reads the final option string, or as the helper means them for a caller of uid 1000
// and gid 100: its own first (private modes unless the caller gives them), then each of the caller's but those
// the helper has set already.
std::vector<std::string> parsed(std::string optstr)
{
    std::vector<std::string> list;
    char *next = optstr.data(), *name, *value;
    size_t nameSize, valueSize;
    while (mnt_optstr_next_option(&next, &name, &nameSize, &value, &valueSize) == 0)
        list.push_back(std::string(name, nameSize) + (value ? "=" + std::string(value, valueSize) : ""));
    return list;
}
std::vector<std::string> meant(const QString& options)
{
    std::vector<std::string> list{"nosuid", "nodev", "uid=1000", "gid=100", "forceuid", "forcegid", "cruid=1000"};
    const QStringList given = options.split(','), keys = QStringList(given).replaceInStrings(QRegularExpression("=.*"), "");
    for (const char* mode : {"dir_mode=0700", "file_mode=0600"})
        if (!keys.contains(QString(mode).section('=', 0, 0)))
            list.push_back(mode);
    for (const QString& item : given)
        if (!QStringList{"uid", "gid", "cruid"}.contains(item.section('=', 0, 0)))
            list.push_back(item.toStdString());
    return list;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::regex safeMnt("/mnt/(?!\\.\\.?$)[^/\\x00-\\x1f\\x7f]{1,255}"), safeSource("//[^/]+/[^/]+"),
        safeOptions("(,((username|domain|sec|vers|uid|gid|cruid|file_mode|dir_mode|iocharset|cache|actimeo)=[^,]*|rw|ro|"
                    "noperm|nobrl|serverino|noserverino|mapchars|nomapchars|seal|nounix))+");
    const QString text = QString::fromLocal8Bit(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList f = text.mid(1).split('\t'); // the fields; the last may hold tabs and line feeds
    const std::string point = f[0].toStdString(), table = f.mid(3).join('\t').toStdString();
    bool bad = false;
    if (size > 0 && data[0] % 3 == 0) { // "point\tsource\toptions\tmountinfo": what the helper allows is safe
        const std::string source = f.value(1).toStdString(), options = f.value(2).toStdString();
        std::string final, record;
        bad = (checkMountPoint(point, "/", 1000, table, true).empty() && !std::regex_match(point, safeMnt)) ||
              (checkSource(source).empty() && !std::regex_match(source, safeSource)) ||
              (checkOptions(options, 1000, 100, final).empty() &&
               (!std::regex_match("," + options, safeOptions) || parsed(final) != meant(f.value(2)))) ||
              (checkMounted(table, point, source).empty() &&
               (table.find("nosuid") == std::string::npos || table.find("nodev") == std::string::npos)) ||
              checkUnmount(table, "", point, 1000, record).empty(); // nothing recorded, nothing a user may unmount
    } else if (size > 0 && data[0] % 3 == 1) {
        // "share\tpoint\tlisting": shown as mounted exactly when a line holds the needle, so always with such a line
        const QString at = f.value(1), needle = "/" + f[0] + " on " + at + " type ", listing = f.mid(2).join('\t');
        const MountListing plain(listing), withLine(listing + "\n//srv" + needle + "cifs (rw)");
        bad = plain.showsShare(f[0], at) == listing.split('\n').filter(needle).isEmpty() ||
              (!needle.contains('\n') && !(withLine.showsShare(f[0], at) && withLine.showsAnyShareAt(at)));
    } else if (size > 0) { // the whole input: an offered share is a visible one, its mount point right in /mnt
        // A listing's verdict holds exactly those shares: a table has some, no other verdict any.
        for (const int status : {0, 1}) {
            const ListingResult r = judgeListing(text, status);
            bad |= r.shares != diskSharesFromListing(text) || (r.kind == ListingResult::Shares && r.shares.isEmpty()) ||
                   (r.kind == ListingResult::NoDiskShares && !r.shares.isEmpty()) ||
                   (status == 0 && !r.shares.isEmpty() && r.kind != ListingResult::Shares);
        }
        for (const QString& share : diskSharesFromListing(text)) {
            const QString at = QDir::cleanPath("/mnt/" + share);
            bad |= share.contains('$') || share.contains('\n') || at.section('/', 0, -2) != "/mnt";
        }
        // Each line as discovery output: a found server has an IPv4 address and a name fit for the chooser (or
        // none), and is listed once it is in the chooser.
        static const QRegularExpression ipv4("^([0-9]{1,3}\\.){3}[0-9]{1,3}$");
        for (const QByteArray& line : QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n')) {
            for (const auto& s : {wsddFound(line), avahiFound(line)}) {
                bad |= s && (!ipv4.match(s->address).hasMatch() || (!s->name.isEmpty() && !usableServerName(s->name)) ||
                             !alreadyListed(*s, {s->name.isEmpty() ? s->address : s->name}, {}));
            }
        }
    }
    if (bad)
        std::abort();
    return 0;
}
