#include "checks.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <regex>
#include <vector>

namespace {

const auto npos = std::string::npos;
using Dir = std::unique_ptr<DIR, int (*)(DIR*)>;

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7f;
}

bool hasControl(const std::string& s)
{
    return std::any_of(s.begin(), s.end(), isControl);
}

std::vector<std::string> split(const std::string& s, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = s.find(separator, start)) != npos; start = end + 1)
        parts.push_back(s.substr(start, end - start));
    parts.push_back(s.substr(start));
    return parts;
}

// Caller-given text inside a message: control characters as '?', shortened.
std::string shown(std::string s)
{
    std::replace_if(s.begin(), s.end(), isControl, '?');
    return s.size() > 64 ? s.substr(0, 64) + "..." : s;
}

// The next code point of UTF-8 text at i, strictly: no overlong form, no
// surrogate, nothing above U+10FFFF. False for anything else.
bool nextCodePoint(const std::string& s, size_t& i, char32_t& c)
{
    const auto byte = [&](size_t k) { return k < s.size() ? (unsigned char)s[k] : 0; };
    const unsigned char first = byte(i);
    const int more = first < 0x80                    ? 0
                     : first >= 0xc2 && first < 0xe0 ? 1
                     : first >= 0xe0 && first < 0xf0 ? 2
                     : first >= 0xf0 && first < 0xf5 ? 3
                                                     : -1;
    if (more < 0)
        return false;
    c = more == 0 ? first : first & (0x3f >> more);
    for (int k = 1; k <= more; ++k) {
        if ((byte(i + k) & 0xc0) != 0x80)
            return false;
        c = c << 6 | (byte(i + k) & 0x3f);
    }
    i += 1 + more;
    return !(more == 2 && (c < 0x800 || (c >= 0xd800 && c < 0xe000))) && !(more == 3 && (c < 0x10000 || c > 0x10ffff));
}

bool isUtf8(const std::string& s)
{
    char32_t c;
    for (size_t i = 0; i < s.size();)
        if (!nextCodePoint(s, i, c))
            return false;
    return true;
}

// A user name (withBlank) or domain: letters of any script, digits and ". _ - $ @"; a user name may also
// hold single blanks between other characters ("John Smith"). Nothing libmount or mount.cifs reads
// specially: no quote, backslash, ",", "=", "%" or control character.
bool isAccountName(const std::string& s, bool withBlank)
{
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    char32_t c, previous = ' ';
    for (size_t i = 0; i < s.size(); previous = c) {
        if (!nextCodePoint(s, i, c))
            return false;
        const bool ascii = c < 0x80 && (std::isalnum(int(c)) || (c && std::strchr("._-$@", int(c))));
        const bool blank = withBlank && c == ' ' && previous != ' ' && i < s.size();
        if (!ascii && !blank && !(c >= 0x80 && utf8 && iswalpha_l(wint_t(c), utf8)))
            return false;
    }
    return !s.empty() && s.size() <= 256;
}

// A host name of letters, digits, "-" and "_" in labels of at most 63 bytes that start with neither "-"
// nor "."; an IPv4 address reads as one; or an IPv6 address as mount.cifs takes it, bare ("::1", no
// brackets), with an optional zone: an interface name or index ("fe80::1%eth0", "fe80::1%2").
bool isServer(const std::string& s)
{
    static const std::regex label("[A-Za-z0-9_][A-Za-z0-9_-]{0,62}"), zone("[A-Za-z0-9_][A-Za-z0-9_.-]{0,14}");
    in6_addr address;
    const std::vector<std::string> labels = split(s, '.');
    const size_t percent = s.find('%');
    return (s.size() <= 253 && std::all_of(labels.begin(), labels.end(),
                                           [](const std::string& l) { return std::regex_match(l, label); })) ||
           (inet_pton(AF_INET6, s.substr(0, percent).c_str(), &address) == 1 &&
            (percent == npos || std::regex_match(s.substr(percent + 1), zone)));
}

// Every option a caller may give, with the pattern its value must match
// (values have at most 256 bytes); flags take no value; "" marks an account name.
const char* const decimalId = "[0-9]+";
const char* const mode = "[0-7]{1,3}|0[0-7]{3}";
// clang-format off
const std::map<std::string, const char*> allowedOptions = {
    {"username", ""}, {"domain", ""},
    {"sec", "ntlmssp|ntlmsspi|ntlmv2|ntlmv2i|krb5|krb5i|none"}, {"vers", "[0-9]+(\\.[0-9]+)*"},
    {"uid", decimalId}, {"gid", decimalId}, {"cruid", decimalId}, {"actimeo", decimalId},
    {"file_mode", mode}, {"dir_mode", mode}, {"iocharset", "[A-Za-z0-9_-]+"},
    {"cache", "strict|loose|none|singleclient|singleuser|ro"},
    {"rw", nullptr}, {"ro", nullptr}, {"noperm", nullptr}, {"nobrl", nullptr}, {"serverino", nullptr},
    {"noserverino", nullptr}, {"mapchars", nullptr}, {"nomapchars", nullptr}, {"seal", nullptr}, {"nounix", nullptr}};
// clang-format on

struct Mount {
    std::string id, device, root, point, options, type, source, superOptions;
};

// Undoes the octal escapes (\040 for a blank) of /proc/self/mountinfo.
std::string unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const bool octal = s[i] == '\\' && i + 3 < s.size() && s.find_first_not_of("01234567", i + 1) > i + 3;
        out += octal ? char((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0')) : s[i];
        i += octal ? 3 : 0;
    }
    return out;
}

// Lines: ID PARENT MAJ:MIN ROOT POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPEROPTIONS
std::vector<Mount> mounts(const std::string& mountinfo)
{
    std::vector<Mount> list;
    for (const std::string& line : split(mountinfo, '\n')) {
        const std::vector<std::string> f = split(line, ' ');
        const size_t dash = std::find(f.begin() + std::min<size_t>(6, f.size()), f.end(), "-") - f.begin();
        if (dash + 3 < f.size())
            list.push_back(
                {f[0], f[2], unescape(f[3]), unescape(f[4]), f[5], f[dash + 1], unescape(f[dash + 2]), f[dash + 3]});
    }
    return list;
}

// The topmost mount at path (mounts on top come later), or none.
const Mount* topmost(const std::vector<Mount>& list, const std::string& path)
{
    const auto top = std::find_if(list.rbegin(), list.rend(), [&](const Mount& m) { return m.point == path; });
    return top == list.rend() ? nullptr : &*top;
}

// "/mnt/NAME" with a NAME of one path component, or empty.
std::string nameIn(const std::string& mountPoint)
{
    const std::string name = mountPoint.compare(0, 5, "/mnt/") == 0 ? mountPoint.substr(5) : "";
    const bool safe = !name.empty() && name != "." && name != ".." && name.find('/') == npos && !hasControl(name) &&
                      name.size() <= NAME_MAX;
    return safe ? name : "";
}

// The fields of a record line; empty unless it has all seven.
std::vector<std::string> fields(const std::string& record)
{
    std::vector<std::string> f = split(record, '\t');
    return f.size() == 7 ? f : std::vector<std::string>();
}

// Where the kernel gives no unique mount ID: the mount's own options and those of its file system, which a
// later mount of the same share at the same place (by root, say) has only if it is made just as the helper makes
// it.
std::string fingerprint(const Mount& mount)
{
    return "=" + mount.options + " " + mount.superOptions;
}

// Whether a record names mount at its point: the same ID, device, source and point (and uid, unless any), and
// where it has one the same fingerprint.
bool names(const std::vector<std::string>& f, const Mount& mount, const std::string& uid = "")
{
    return !f.empty() && f[0] == mount.id && f[1] == mount.device && (uid.empty() || f[2] == uid) &&
           f[3] == mount.source && f[4] == mount.point && (f[5].compare(0, 1, "=") != 0 || f[5] == fingerprint(mount));
}

std::string owner(uid_t uid)
{
    const passwd* account = getpwuid(uid);
    return uid == 0 ? "root" : "dem Benutzer " + (account ? std::string(account->pw_name) : std::to_string(uid));
}

} // namespace

std::string withError(const std::string& text)
{
    const int error = errno;
    return text + ": " + std::strerror(error);
}

bool parseDecimal(const std::string& text, unsigned long max, unsigned long& value)
{
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != npos ||
        (text.size() > 1 && text[0] == '0'))
        return false;
    value = std::stoul(text);
    return value <= max;
}

std::string checkSource(const std::string& source)
{
    const size_t slash = source.find('/', 2);
    if (source.compare(0, 2, "//") != 0 || slash == npos)
        return "Die Freigabe muss //SERVER/FREIGABE lauten: " + shown(source);
    const std::string server = source.substr(2, slash - 2), share = source.substr(slash + 1);
    if (!isServer(server))
        return "Ungültiger Servername (erlaubt: Rechnername, IPv4- oder IPv6-Adresse): " + shown(server);
    if (share.empty() || share[0] == '-' || share == "." || share == ".." || share.find_first_of("/\\,") != npos ||
        hasControl(share))
        return "Ungültiger Freigabename: " + shown(share);
    return {};
}

std::string checkOptions(const std::string& options, uid_t callerUid, gid_t callerGid, std::string& final)
{
    std::map<std::string, std::string> given;
    const std::vector<std::string> items = split(options, ',');
    for (const std::string& item : items) {
        const size_t equals = item.find('=');
        const std::string key = item.substr(0, equals), value = equals == npos ? "" : item.substr(equals + 1);
        const auto rule = allowedOptions.find(key);
        unsigned long id;
        if (rule == allowedOptions.end())
            return item.empty() ? "Leerer Eintrag in den Einhängeoptionen"
                                : "Einhängeoption nicht erlaubt: " + shown(key);
        if (given.count(key))
            return "Einhängeoption mehrfach angegeben: " + key;
        const char* pattern = rule->second;
        if ((equals == npos) != !pattern ||
            (pattern && (*pattern ? value.size() > 256 || !std::regex_match(value, std::regex(pattern))
                                  : !isAccountName(value, key == "username"))) ||
            (pattern == decimalId && !parseDecimal(value, 4294967294UL, id)))
            return "Ungültiger Wert bei Einhängeoption " + key;
        given[key] = value;
    }
    // Numbers are compared whole: uid 100 is no part of uid 1000.
    const std::string uid = std::to_string(callerUid), gid = std::to_string(callerGid);
    if (callerUid != 0 && ((given.count("uid") && given["uid"] != uid) || (given.count("gid") && given["gid"] != gid)))
        return "uid= und gid= dürfen nur Ihre eigene Kennung nennen (uid=" + uid + ", gid=" + gid + ")";
    if (given.count("cruid") && given["cruid"] != uid)
        return "cruid= darf nur Ihre eigene Kennung nennen (cruid=" + uid + ")";
    // A caller's share is theirs alone: their files, their Kerberos ticket (with or without sec=, the kernel may
    // choose Kerberos, and would then use root's), and no one else may read it unless they open it up.
    final = "nosuid,nodev";
    const bool user = callerUid != 0;
    if (user)
        final += ",uid=" + uid + ",gid=" + gid + ",forceuid,forcegid,cruid=" + uid +
                 (given.count("dir_mode") ? "" : ",dir_mode=0700") +
                 (given.count("file_mode") ? "" : ",file_mode=0600");
    for (const std::string& item : items) {
        const std::string key = item.substr(0, item.find('='));
        if (!user || (key != "uid" && key != "gid" && key != "cruid")) // the helper has given these already
            final += "," + item;
    }
    return {};
}

bool usesKerberos(const std::string& options)
{
    const std::vector<std::string> items = split(options, ',');
    return std::count(items.begin(), items.end(), "sec=krb5") + std::count(items.begin(), items.end(), "sec=krb5i") > 0;
}

std::string checkMountPoint(const std::string& mountPoint, const std::string& base, uid_t callerUid,
                            const std::string& mountinfo, bool create)
{
    const std::string name = nameIn(mountPoint), path = base + "/" + name;
    if (name.empty())
        return "Der Einhängepunkt muss /mnt/NAME lauten: " + shown(mountPoint);
    const int baseFd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const Dir dir(baseFd < 0 ? nullptr : fdopendir(baseFd), closedir);
    struct stat baseStat, st;
    if (!dir || fstat(baseFd, &baseStat) != 0)
        return withError(base + " lässt sich nicht als Verzeichnis öffnen");
    if (baseStat.st_uid != 0 || (baseStat.st_mode & 022))
        return base + " muss root gehören und darf nur für root beschreibbar sein";
    // Judged from the mount table before anything looks at the point itself.
    if (topmost(mounts(mountinfo), path))
        return mountPoint + " ist schon ein Einhängepunkt";
    const bool failed = fstatat(baseFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0;
    if (failed && errno != ENOENT)
        return withError(mountPoint + " lässt sich nicht prüfen");
    if (failed && (!create || name[0] == '-' || name[0] == '.' || !isUtf8(name)))
        return create ? "Ein Einhängepunkt darf nicht mit - oder . beginnen und muss UTF-8 sein: " + shown(name)
                      : "Den Einhängepunkt " + mountPoint + " gibt es nicht";
    if (failed)
        return {};
    if (create && callerUid != 0)
        return "Den Einhängepunkt " + mountPoint + " gibt es schon";
    if (!S_ISDIR(st.st_mode)) // not followed, a symbolic link is no directory either
        return mountPoint + " ist kein Verzeichnis (sondern z. B. eine Datei oder ein symbolischer Link)";
    if (st.st_dev != baseStat.st_dev)
        return mountPoint + " ist schon ein Einhängepunkt";
    if (callerUid != 0 && st.st_uid != callerUid)
        return mountPoint + " gehört " + owner(st.st_uid) +
               ": bitte wählen Sie in der Tabelle einen anderen Einhängepunkt";
    // A share must never hide files someone else relies on.
    const int fd = openat(baseFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const Dir entries(fd < 0 ? nullptr : fdopendir(fd), closedir);
    if (!entries)
        return withError(mountPoint + " lässt sich nicht prüfen");
    while (const dirent* entry = readdir(entries.get()))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            return mountPoint + " ist nicht leer";
    return {};
}

std::string checkMounted(const std::string& mountinfo, const std::string& path, const std::string& source)
{
    const std::vector<Mount> list = mounts(mountinfo);
    const Mount* top = topmost(list, path);
    if (std::count_if(list.begin(), list.end(), [&](const Mount& m) { return m.point == path; }) > 1)
        return "Am Einhängepunkt liegt außer der Freigabe noch etwas anderes; alles dort wurde wieder ausgehängt";
    const std::vector<std::string> options = split(top ? top->options : "", ',');
    const auto has = [&](const char* o) { return std::count(options.begin(), options.end(), o) > 0; };
    // A user's own FUSE mount there, named like the share, is never it.
    if (!top || top->source != source || top->type.compare(0, 4, "fuse") == 0 || !has("nosuid") || !has("nodev"))
        return "Die Freigabe ist nicht wie verlangt (mit nosuid und nodev) eingehängt worden und wurde wieder "
               "ausgehängt";
    return {};
}

std::string topmostId(const std::string& mountinfo, const std::string& path)
{
    const std::vector<Mount> list = mounts(mountinfo);
    const Mount* top = topmost(list, path);
    return top ? top->id : "";
}

std::string recordOf(const std::string& mountinfo, const std::string& path, uid_t callerUid, const SeenMount& seen,
                     const std::string& made)
{
    const std::vector<Mount> list = mounts(mountinfo);
    const Mount* top = topmost(list, path);
    if (!top || top->device != seen.device || (!seen.id.empty() && top->id != seen.id))
        return "";
    return top->id + "\t" + top->device + "\t" + std::to_string(callerUid) + "\t" + top->source + "\t" + path + "\t" +
           (seen.unique != "0" ? seen.unique : fingerprint(*top)) + "\t" + (made.empty() ? "-" : "created:" + made) +
           "\n";
}

std::string liveRecords(const std::string& records, const std::string& mountinfo)
{
    const std::vector<Mount> list = mounts(mountinfo);
    std::string kept;
    for (const std::string& line : split(records, '\n'))
        if (std::any_of(list.begin(), list.end(), [&](const Mount& m) { return names(fields(line), m); }))
            kept += line + "\n";
    return kept;
}

size_t recordsOf(const std::string& records, uid_t callerUid)
{
    const std::vector<std::string> lines = split(records, '\n');
    return size_t(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        const std::vector<std::string> f = fields(line);
        return !f.empty() && f[2] == std::to_string(callerUid);
    }));
}

std::string checkUnmount(const std::string& mountinfo, const std::string& records, const std::string& path,
                         uid_t callerUid, std::string& record)
{
    record.clear();
    if (nameIn(path).empty())
        return "Der Einhängepunkt muss /mnt/NAME lauten: " + shown(path);
    const std::vector<Mount> list = mounts(mountinfo);
    const Mount* top = topmost(list, path);
    if (!top)
        return shown(path) + " ist nicht eingehängt";
    const size_t slash = top->source.find('/', 2);
    if (top->root != "/" || top->source.compare(0, 2, "//") != 0 || slash == npos || slash == 2 ||
        slash + 1 == top->source.size()) // a part of a file system bound there (root) is no share either
        return shown(path) + " ist keine eingehängte Freigabe";
    // Root may unmount any share; the record of one, whoever's, still goes with it.
    const std::string uid = callerUid != 0 ? std::to_string(callerUid) : "";
    for (const std::string& line : split(records, '\n'))
        if (record.empty() && names(fields(line), *top, uid))
            record = line;
    if (callerUid != 0 && record.empty())
        return shown(path) + " wurde nicht von sharedeck für Sie eingehängt";
    return {};
}

bool isSeen(const std::string& record, const SeenMount& seen)
{
    const std::vector<std::string> f = fields(record);
    return !f.empty() && f[1] == seen.device && (f[5] == "0" || f[5][0] == '=' || f[5] == seen.unique);
}

std::string createdAs(const std::string& record)
{
    const std::vector<std::string> f = fields(record);
    return !f.empty() && f[6].compare(0, 8, "created:") == 0 ? f[6].substr(8) : "";
}
