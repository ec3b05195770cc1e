// sharedeck-mount: mounts a share under /mnt or unmounts one for the user who
// called it through pkexec. It runs as root on behalf of any local user, so it
// refuses (one German line on standard error, exit status 1) whatever the
// checks do not allow, and runs nothing but /bin/mount or /bin/umount.
#include "checks.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

const char* const base = "/mnt";

void check(const std::string& error)
{
    if (error.empty())
        return;
    std::fprintf(stderr, "sharedeck-mount: %s\n", error.c_str());
    std::exit(1);
}

// pkexec runs the helper with real and effective uid 0 and names the caller in
// PKEXEC_UID; without it, root itself is the caller. Installed setuid, anyone
// could set PKEXEC_UID, so a real uid other than 0 is refused.
uid_t caller()
{
    const char* pkexecUid = std::getenv("PKEXEC_UID");
    unsigned long uid = 0;
    check(geteuid() != 0 || getuid() != 0 ? "Muss als root laufen (über pkexec)" : "");
    check(pkexecUid && !parseDecimal(pkexecUid, 4294967294UL, uid) ? "PKEXEC_UID ist ungültig" : "");
    return uid_t(uid);
}

// The password: all of standard input, byte for byte.
std::string password()
{
    char buffer[4097];
    const std::string text(buffer, std::fread(buffer, 1, sizeof buffer, stdin));
    check(std::ferror(stdin) ? "Das Passwort lässt sich nicht lesen" : "");
    check(text.size() > 4096 ? "Das Passwort ist länger als 4096 Bytes" : "");
    check(text.find('\0') != std::string::npos ? "Das Passwort enthält ein Nullbyte" : "");
    return text;
}

// Only root can write to /mnt, so what the checks saw there still holds.
void createMissing(const std::string& name)
{
    const int dir = open(base, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    if (dir < 0 || (fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 &&
                    (mkdirat(dir, name.c_str(), 0755) != 0 || fchownat(dir, name.c_str(), 0, 0, AT_SYMLINK_NOFOLLOW))))
        check(withError("/mnt/" + name + " lässt sich nicht anlegen"));
    close(dir);
}

// Runs args[0] with an environment of PATH and, for mount, the password, and
// ends with its exit status. The window cannot signal root's processes, so a
// command that hangs is stopped here, before the window's 30 s bound, together
// with everything it started (mount.cifs outlives a killed mount).
[[noreturn]] void run(std::vector<const char*> args, const char* secret = nullptr)
{
    const char* environment[] = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", secret, nullptr};
    args.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execve(args[0], const_cast<char* const*>(args.data()), const_cast<char* const*>(environment));
        check(withError(std::string(args[0]) + " lässt sich nicht starten"));
    }
    check(child < 0 ? withError("fork") : "");
    int status = 0;
    for (int tenths = 0; waitpid(child, &status, WNOHANG) == 0; ++tenths) {
        if (tenths == 250) {
            kill(-child, SIGKILL);
            waitpid(child, &status, 0);
            check(std::string(args[0]) + " hat nicht innerhalb von 25 s geantwortet und wurde abgebrochen");
        }
        usleep(100000);
    }
    std::exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
}

} // namespace

int main(int argc, char** argv)
{
    umask(022);
    const uid_t uid = caller();
    const std::string verb = argc > 1 ? argv[1] : "";
    const bool create = verb == "mount" && argc > 2 && std::strcmp(argv[2], "--create") == 0;
    const bool mount = verb == "mount" && argc - create == 5;
    check(!mount && !(verb == "umount" && argc == 3) ? "Aufruf: sharedeck-mount mount [--create] //SERVER/FREIGABE "
                                                       "/mnt/NAME OPTIONEN | sharedeck-mount umount /mnt/NAME"
                                                     : "");
    const passwd* account = getpwuid(uid);
    check(account ? "" : "Unbekannter Benutzer " + std::to_string(uid));
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream mountinfo;
    check((mountinfo << file.rdbuf()) ? "" : "/proc/self/mountinfo lässt sich nicht lesen");

    const std::string mountPoint = argv[mount ? 3 + create : 2];
    if (!mount) {
        check(checkMountPoint(mountPoint, base, 0, mountinfo.str(), Use::Umount));
        check(checkMounted(mountinfo.str(), mountPoint, uid));
        run({"/bin/umount", mountPoint.c_str()});
    }
    const std::string source = argv[2 + create], options = argv[4 + create];
    check(checkSource(source));
    check(checkOptions(options, uid, account->pw_gid));
    check(checkMountPoint(mountPoint, base, 0, mountinfo.str(), create ? Use::MountCreate : Use::Mount));
    const std::string secret = "PASSWD=" + password(), allOptions = options + ",nosuid,nodev";
    if (create)
        createMissing(mountPoint.substr(5));
    run({"/bin/mount", "-t", "cifs", source.c_str(), mountPoint.c_str(), "-o", allOptions.c_str()}, secret.c_str());
}
