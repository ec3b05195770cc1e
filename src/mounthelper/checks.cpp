#include "checks.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Every option a caller may give, with the pattern its value must match
// (values have at most 256 bytes); flags take no value. A '%' in a user name
// would make mount.cifs read the rest as password.
const char* const decimalId = "[0-9]+";
// clang-format off
const std::map<std::string, const char*> allowedOptions = {
    {"username", "[^ =%\\x00-\\x1f\\x7f]+"}, {"domain", "[^ =\\x00-\\x1f\\x7f]+"},
    {"sec", "ntlmssp|ntlmsspi|ntlmv2|ntlmv2i|krb5|krb5i|none"}, {"vers", "[0-9]+(\\.[0-9]+)*"},
    {"uid", decimalId}, {"gid", decimalId}, {"actimeo", decimalId},
    {"file_mode", "[0-7]{1,4}"}, {"dir_mode", "[0-7]{1,4}"}, {"iocharset", "[A-Za-z0-9_-]+"},
    {"cache", "strict|loose|none|singleclient|singleuser|ro"},
    {"rw", nullptr}, {"ro", nullptr}, {"noperm", nullptr}, {"nobrl", nullptr}, {"serverino", nullptr},
    {"noserverino", nullptr}, {"mapchars", nullptr}, {"nomapchars", nullptr}, {"seal", nullptr}, {"nounix", nullptr}};
// clang-format on

struct Mount {
    std::string point, options, source, superOptions;
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
            list.push_back({unescape(f[4]), f[5], unescape(f[dash + 2]), f[dash + 3]});
    }
    return list;
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
    if (server.empty() || server[0] == '-' || server.find_first_of(", \\") != npos || hasControl(server))
        return "Ungültiger Servername: " + shown(server);
    if (share.empty() || share[0] == '-' || share == "." || share == ".." || share.find_first_of("/,") != npos ||
        hasControl(share))
        return "Ungültiger Freigabename: " + shown(share);
    return {};
}

std::string checkOptions(const std::string& options, uid_t callerUid, gid_t callerGid)
{
    std::map<std::string, std::string> given;
    for (const std::string& item : split(options, ',')) {
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
            (pattern && (value.size() > 256 || !std::regex_match(value, std::regex(pattern)) ||
                         (pattern == decimalId && !parseDecimal(value, 4294967294UL, id)))))
            return "Ungültiger Wert bei Einhängeoption " + key;
        given[key] = value;
    }
    if (callerUid != 0 && (given["uid"] != std::to_string(callerUid) || given["gid"] != std::to_string(callerGid)))
        return "uid= und gid= müssen Ihre eigene Kennung nennen (uid=" + std::to_string(callerUid) +
               ", gid=" + std::to_string(callerGid) + ")";
    return {};
}

std::string checkMountPoint(const std::string& mountPoint, const std::string& base, uid_t baseOwner,
                            const std::string& mountinfo, Use use)
{
    const std::string name = mountPoint.compare(0, 5, "/mnt/") == 0 ? mountPoint.substr(5) : "";
    if (name.empty() || name == "." || name == ".." || name.find('/') != npos || hasControl(name) ||
        name.size() > NAME_MAX)
        return "Der Einhängepunkt muss /mnt/NAME lauten: " + shown(mountPoint);
    const int baseFd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const Dir dir(baseFd < 0 ? nullptr : fdopendir(baseFd), closedir);
    struct stat baseStat, st;
    if (!dir || fstat(baseFd, &baseStat) != 0)
        return withError(base + " lässt sich nicht als Verzeichnis öffnen");
    if (baseStat.st_uid != baseOwner || (baseStat.st_mode & 022))
        return base + " muss root gehören und darf nur für root beschreibbar sein";
    const bool failed = fstatat(baseFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0;
    if (failed && errno != ENOENT)
        return withError(mountPoint + " lässt sich nicht prüfen");
    if (failed)
        return use == Use::MountCreate ? "" : "Den Einhängepunkt " + mountPoint + " gibt es nicht";
    if (!S_ISDIR(st.st_mode)) // not followed, a symbolic link is no directory either
        return mountPoint + " ist kein Verzeichnis (sondern z. B. eine Datei oder ein symbolischer Link)";
    if (use == Use::Umount)
        return {};
    const std::vector<Mount> list = mounts(mountinfo);
    if (st.st_dev != baseStat.st_dev ||
        std::any_of(list.begin(), list.end(), [&](const Mount& m) { return m.point == base + "/" + name; }))
        return mountPoint + " ist schon ein Einhängepunkt";
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

std::string checkMounted(const std::string& mountinfo, const std::string& path, uid_t callerUid)
{
    const std::vector<Mount> list = mounts(mountinfo);
    const auto top = std::find_if(list.rbegin(), list.rend(), [&](const Mount& m) { return m.point == path; });
    if (top == list.rend())
        return shown(path) + " ist nicht eingehängt";
    const size_t slash = top->source.find('/', 2);
    if (top->source.compare(0, 2, "//") != 0 || slash == npos || slash == 2 || slash + 1 == top->source.size())
        return shown(path) + " ist keine eingehängte Freigabe";
    const std::vector<std::string> options = split(top->options + "," + top->superOptions, ',');
    if (callerUid != 0 && std::count(options.begin(), options.end(), "uid=" + std::to_string(callerUid)) == 0)
        return shown(path) + " wurde nicht für Sie eingehängt";
    return {};
}
