// sharedeck-mount: mounts a share under /mnt or unmounts one for the user who
// called it through pkexec. It runs as root on behalf of any local user, so it
// refuses (one German line on standard error, exit status 1) whatever the
// checks do not allow, and runs nothing but /bin/mount or /bin/umount.
//
// Order: the input first (bounded), then the lock, the checks, the mount and
// its verification, so that nothing can change between a check and the mount
// it allows. Everything after the input ends within 25 s.
#include "checks.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
const char* const base = "/mnt";
// Root's alone: the lock and the records of the mounts made.
const char* const stateDir = "/run/sharedeck";
const auto bound = std::chrono::seconds(25);
// How long an unmount may wait on the share's server before the mount is detached.
const auto detachAfter = std::chrono::seconds(5);

[[noreturn]] void fail(const std::string& error)
{
    std::fprintf(stderr, "sharedeck-mount: %s\n", error.c_str());
    std::exit(1);
}

void check(const std::string& error)
{
    if (!error.empty())
        fail(error);
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

// All of standard input, byte for byte: at most 4096 bytes within 10 s.
std::string input()
{
    const auto end = Clock::now() + std::chrono::seconds(10);
    std::string text;
    char buffer[4097];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        pollfd in{0, POLLIN, 0};
        const int ready = left > 0 ? poll(&in, 1, int(left)) : 0;
        check(ready == 0 ? "Das Passwort kam nicht innerhalb von 10 s an" : "");
        const ssize_t got = ready < 0 ? -1 : read(0, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        check(got < 0 ? withError("Das Passwort lässt sich nicht lesen") : "");
        if (got == 0)
            break;
        text.append(buffer, size_t(got));
        check(text.size() > 4096 ? "Das Passwort ist länger als 4096 Bytes" : "");
    }
    check(text.find('\0') != std::string::npos ? "Das Passwort enthält ein Nullbyte" : "");
    return text;
}

std::string mountinfo()
{
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    check((text << file.rdbuf()) ? "" : "/proc/self/mountinfo lässt sich nicht lesen");
    return text.str();
}

// Opens the state directory and holds its lock until the helper ends; waits
// for another helper at most until end.
int lockState(Clock::time_point end)
{
    const std::string where = stateDir;
    struct stat st;
    check(mkdir(stateDir, 0700) != 0 && errno != EEXIST ? withError(where + " lässt sich nicht anlegen") : "");
    const int dir = open(stateDir, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    check(dir < 0 || fstat(dir, &st) != 0 ? withError(where + " lässt sich nicht öffnen") : "");
    check(st.st_uid != 0 || fchmod(dir, 0700) != 0 ? where + " muss ein Verzeichnis von root sein" : "");
    const int lock = openat(dir, "lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    check(lock < 0 ? withError(where + "/lock lässt sich nicht öffnen") : "");
    while (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        check(errno != EWOULDBLOCK ? withError(where + "/lock lässt sich nicht sperren") : "");
        check(Clock::now() > end ? "Ein anderes Ein- oder Aushängen ist nicht rechtzeitig fertig geworden" : "");
        usleep(20000);
    }
    return dir;
}

std::string readRecords(int dir)
{
    const int fd = openat(dir, "mounts", O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    std::string text;
    char buffer[4096];
    for (ssize_t got; fd >= 0 && (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(got));
    if (fd >= 0)
        close(fd);
    return text;
}

void writeRecords(int dir, const std::string& records)
{
    const int fd = openat(dir, "mounts.new", O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    const bool written = fd >= 0 && write(fd, records.data(), records.size()) == ssize_t(records.size());
    check(fd < 0 || close(fd) != 0 || !written || renameat(dir, "mounts.new", dir, "mounts") != 0
              ? withError(std::string(stateDir) + "/mounts lässt sich nicht schreiben")
              : "");
}

const int ignoredSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGTSTP, SIGPIPE};

// Runs args[0] in a process group of its own with an environment of PATH and,
// for mount, the password, until it ends or end has come. Returns its exit
// status, or -1 when it was stopped. Either way everything it started is gone
// then: the helper is the subreaper of all of them (mount.cifs outlives a
// killed mount) and kills and reaps the whole group.
int run(std::vector<const char*> args, const char* secret, Clock::time_point end)
{
    const char* environment[] = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", secret, nullptr};
    args.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        for (const int s : ignoredSignals)
            signal(s, SIG_DFL);
        execve(args[0], const_cast<char* const*>(args.data()), const_cast<char* const*>(environment));
        const std::string error = "sharedeck-mount: " + withError(std::string(args[0]) + " lässt sich nicht starten");
        (void)!write(2, (error + "\n").data(), error.size() + 1);
        _exit(1);
    }
    check(child < 0 ? withError("fork") : "");
    setpgid(child, child);
    siginfo_t info{};
    while (waitid(P_PID, child, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0 && Clock::now() < end)
        usleep(20000);
    const bool ended = info.si_pid == child;
    kill(-child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    while (waitpid(-child, nullptr, 0) > 0 || errno == EINTR) {
    }
    return !ended ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

std::string stopped(const char* program)
{
    return std::string(program) + " hat nicht innerhalb von 25 s geantwortet und wurde abgebrochen";
}

} // namespace

int main(int argc, char** argv)
{
    umask(022);
    const uid_t uid = caller();
    // polkit has let the call through: what follows is the helper's own work.
    std::fputs("sharedeck-mount: authorised\n", stdout);
    std::fflush(stdout);
    const std::string verb = argc > 1 ? argv[1] : "";
    const bool create = verb == "mount" && argc > 2 && std::strcmp(argv[2], "--create") == 0;
    const bool mount = verb == "mount" && argc - create == 5;
    check(!mount && !(verb == "umount" && argc == 3) ? "Aufruf: sharedeck-mount mount [--create] //SERVER/FREIGABE "
                                                       "/mnt/NAME OPTIONEN | sharedeck-mount umount /mnt/NAME"
                                                     : "");
    const std::string secret = "PASSWD=" + input();
    // From here on a terminal's Ctrl-C or a closed window must not leave a
    // mount or a mount point half done.
    for (const int s : ignoredSignals)
        signal(s, SIG_IGN);
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const auto end = Clock::now() + bound;
    const passwd* account = getpwuid(uid);
    check(account ? "" : "Unbekannter Benutzer " + std::to_string(uid));
    const int state = lockState(end);
    // The mount table as the checks see it; under the lock no other helper changes it.
    const std::string table = mountinfo();
    const std::string records = liveRecords(readRecords(state), table);

    const std::string mountPoint = argv[mount ? 3 + create : 2];
    if (!mount) {
        check(checkUnmount(table, records, mountPoint, uid));
        // -c: no look at the path, which would hang on a share whose server is gone.
        const std::string id = topmostId(table, mountPoint);
        int status =
            run({"/bin/umount", "-c", "--", mountPoint.c_str()}, nullptr, std::min(end, Clock::now() + detachAfter));
        // The kernel's unmount of a share whose server stopped or went silent waits on that server; the
        // mount is detached instead (MNT_DETACH returns at once) and goes when nothing uses it.
        if (status < 0 && topmostId(mountinfo(), mountPoint) == id)
            umount2(mountPoint.c_str(), MNT_DETACH | UMOUNT_NOFOLLOW);
        if (status < 0 && topmostId(mountinfo(), mountPoint) != id)
            status = 0;
        writeRecords(state, liveRecords(records, mountinfo()));
        check(status < 0 ? stopped("/bin/umount") : "");
        return status;
    }
    const std::string source = argv[2 + create], options = argv[4 + create], name = mountPoint.substr(5);
    std::string allOptions;
    check(checkSource(source));
    check(checkOptions(options, uid, account->pw_gid, allOptions));
    check(checkMountPoint(mountPoint, base, uid, table, create));
    // Only root can write to /mnt and the lock is held, so what the checks saw still holds.
    const int baseFd = open(base, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    const bool created = create && fstatat(baseFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0;
    if (created && (mkdirat(baseFd, name.c_str(), 0755) != 0 ||
                    fchownat(baseFd, name.c_str(), uid, account->pw_gid, AT_SYMLINK_NOFOLLOW) != 0)) {
        const std::string error = withError(mountPoint + " lässt sich nicht anlegen");
        unlinkat(baseFd, name.c_str(), AT_REMOVEDIR);
        fail(error);
    }
    const int status = run({"/bin/mount", "-t", "cifs", source.c_str(), mountPoint.c_str(), "-o", allOptions.c_str()},
                           secret.c_str(), end);
    const std::string after = mountinfo();
    const std::string error = status < 0 ? stopped("/bin/mount")
                              : status   ? ""
                                         : checkMounted(after, mountPoint, source);
    if (status == 0 && error.empty()) {
        writeRecords(state, records + recordOf(after, mountPoint, uid));
        return 0;
    }
    // Whatever landed there unverified goes at once; lazily, so a hung server cannot hold the helper.
    if (!topmostId(after, mountPoint).empty())
        umount2(mountPoint.c_str(), MNT_DETACH | UMOUNT_NOFOLLOW);
    if (created)
        unlinkat(baseFd, name.c_str(), AT_REMOVEDIR);
    check(error);
    return status;
}
