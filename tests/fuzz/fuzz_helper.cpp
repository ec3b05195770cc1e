// libFuzzer target: mount point, source, options (a line each), then a mountinfo table. Whatever the checks
// allow is /mnt/NAME with a safe NAME, //SERVER/SHARE with no other slash, and allow-listed option keys only.
#include "checks.h"

#include <algorithm>
#include <sstream>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char dir[] = "/tmp/fuzz_helper.XXXXXX";
    static const std::string base = mkdtemp(dir), keys = ",username,domain,sec,vers,uid,gid,file_mode,dir_mode,"
                                                         "iocharset,rw,ro,noperm,nobrl,serverino,noserverino,cache,"
                                                         "actimeo,mapchars,nomapchars,seal,nounix,";
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string point, source, options, table, item;
    std::getline(std::getline(std::getline(std::getline(in, point), source), options), table, '\0');
    const std::string name = point.substr(std::min<size_t>(5, point.size()));
    bool bad = checkMountPoint(point, base, getuid(), table, Use::MountCreate).empty() &&
               (point.compare(0, 5, "/mnt/") || name.empty() || name == "." || name == ".." || name.size() > 255 ||
                std::any_of(name.begin(), name.end(), [](unsigned char c) { return c < 32 || c == 127 || c == '/'; }));
    bad |= checkSource(source).empty() && (source.compare(0, 2, "//") || source[2] == '/' || source.back() == '/' ||
                                           std::count(source.begin(), source.end(), '/') != 3);
    std::istringstream items(checkOptions(options, 1000, 1000).empty() ? options : "");
    while (std::getline(items, item, ','))
        bad |= keys.find(',' + item.substr(0, item.find('=')) + ',') == std::string::npos;
    if (bad || (checkMounted(table, point, 1000).empty() && table.find("uid=1000") == std::string::npos))
        __builtin_trap();
    return 0;
}
