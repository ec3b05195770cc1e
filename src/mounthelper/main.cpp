// sharedeck-mount: mounts a share under /mnt or unmounts one for the user who
// called it through pkexec. It runs as root on behalf of any local user, so it
// refuses (one German line on standard error, exit status 1) whatever the
// checks do not allow, and runs nothing but /bin/mount or /bin/umount.
//
// Two processes. The front talks to the caller: it says "authorised", reads
// the password (bounded), checks the arguments, and at the end writes what is
// to be shown without ever waiting on the caller. The worker, its child, never
// touches the caller's standard input, output or error: it checks the mount
// point, mounts or unmounts, verifies, keeps the records and hands its text to
// the front through a pipe. The front ends the worker 27 s after the input,
// locks and all, wherever it is stuck; the worker's mount or umount and all
// they started die with the worker. Locks are short and narrow: the records'
// for reading or writing them, one per mount point for the mount there, and
// one per mount still under way, so that these count against a user's cap.
#include "checks.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
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

#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x4000U // Linux 6.8
#endif

namespace {

using Clock = std::chrono::steady_clock;
const char* const base = "/mnt";
// Root's alone: the locks and the records of the mounts made.
const char* const stateDir = "/run/sharedeck";
// The worker's own bound after the input, and the front's, which ends the worker.
const auto bound = std::chrono::seconds(25), watchdog = std::chrono::seconds(27);
// How long an unmount may wait on the share's server before the mount is detached.
const auto detachAfter = std::chrono::seconds(5);
const size_t maxMountsPerUser = 100, maxOutput = 4096;

// What the caller is to see; written by the front only, once everything else is done.
std::string shown;

struct Refusal {
    int status;
};

[[noreturn]] void fail(const std::string& error)
{
    shown += "sharedeck-mount: " + error + "\n";
    throw Refusal{1};
}

void check(const std::string& error)
{
    if (!error.empty())
        fail(error);
}

long long millisecondsTo(Clock::time_point end)
{
    return std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
}

// pkexec keeps the caller's resource limits: none of them may end the helper half way (a file size limit
// of 0 would kill it writing its records), and a root process holding a password never dumps core. Without
// CAP_SYS_RESOURCE (in some containers) a hard limit stays: then the soft one is raised to it, and a write
// beyond it fails (SIGXFSZ is ignored) and undoes what it was to record.
void resetLimits()
{
    const std::pair<int, rlimit> limits[] = {{RLIMIT_FSIZE, {RLIM_INFINITY, RLIM_INFINITY}},
                                             {RLIMIT_AS, {RLIM_INFINITY, RLIM_INFINITY}},
                                             {RLIMIT_CPU, {RLIM_INFINITY, RLIM_INFINITY}},
                                             {RLIMIT_STACK, {8 << 20, RLIM_INFINITY}},
                                             {RLIMIT_NOFILE, {1024, 1024}},
                                             {RLIMIT_CORE, {0, 0}}};
    for (const auto& [resource, wanted] : limits) {
        rlimit now{};
        if (setrlimit(resource, &wanted) != 0 && getrlimit(resource, &now) == 0) {
            now.rlim_cur = std::min(wanted.rlim_cur, now.rlim_max);
            setrlimit(resource, &now);
        }
    }
    signal(SIGXFSZ, SIG_IGN);
}

// pkexec keeps the caller's scheduling too: an idle class, nice 19, one busy CPU, idle I/O or a timer slack of
// seconds would slow every step of the helper, the bounded ones and those under a lock alike. All go back to
// what a process started by root has.
void resetScheduling()
{
    struct {
        uint32_t size, policy;
        uint64_t flags;
        int32_t nice;
        uint32_t priority;
        uint64_t runtime, deadline, period;
        uint32_t utilMin, utilMax;
    } attributes{sizeof attributes, SCHED_OTHER, 0x60 /* the utilisation clamps too */, 0, 0, 0, 0, 0, 0, 1024};
    const sched_param none{};
    if (syscall(SYS_sched_setattr, 0, &attributes, 0) != 0) // a kernel without utilisation clamps
        sched_setscheduler(0, SCHED_OTHER, &none);
    setpriority(PRIO_PROCESS, 0, 0);
    cpu_set_t all;
    CPU_ZERO(&all);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        CPU_SET(cpu, &all);
    sched_setaffinity(0, sizeof all, &all);
    syscall(SYS_ioprio_set, 1 /* this process */, 0, 0 /* the class that follows the nice value */);
    prctl(PR_SET_TIMERSLACK, 50000UL); // not 0: that is the caller's own, handed on when it forked
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
        pollfd in{0, POLLIN, 0};
        const int ready = poll(&in, 1, int(millisecondsTo(end)));
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

// Writes the text to standard error only if that cannot wait: at most PIPE_BUF bytes, which a pipe with
// room for any takes whole. A pipe nobody reads or a stopped terminal loses the text, nothing else.
void show(const std::string& text)
{
    pollfd out{2, POLLOUT, 0};
    if (!text.empty() && poll(&out, 1, 0) == 1 && (out.revents & POLLOUT))
        (void)!write(2, text.data(), std::min<size_t>(text.size(), PIPE_BUF));
}

std::string mountinfo()
{
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    check((text << file.rdbuf()) ? "" : "/proc/self/mountinfo lässt sich nicht lesen");
    return text.str();
}

// The mount at path (relative to dir; itself with AT_EMPTY_PATH) as statx sees it, without asking its file
// system for anything (a share whose server hangs), or false.
bool seenAt(int dir, const char* path, int flags, SeenMount& seen)
{
    struct statx st {
    };
    if (statx(dir, path, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC,
              STATX_MNT_ID | STATX_MNT_ID_UNIQUE, &st) != 0)
        return false;
    // Linux 6.8 and later give the unique ID, 5.8 and later at least the one mountinfo shows.
    const bool unique = st.stx_mask & STATX_MNT_ID_UNIQUE, id = st.stx_mask & STATX_MNT_ID;
    seen = {std::to_string(st.stx_dev_major) + ":" + std::to_string(st.stx_dev_minor),
            unique ? std::to_string(st.stx_mnt_id) : "0", id ? std::to_string(st.stx_mnt_id) : ""};
    return true;
}

// A directory NAME in /mnt as "UID:INODE:BIRTH" (birth "-" where the file system keeps none), the inode number in
// ino; empty for anything else. Looked at without following a link or asking a mounted share's server.
std::string directoryAt(int baseFd, const std::string& name, uint64_t& ino)
{
    struct statx st {
    };
    if (statx(baseFd, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC,
              STATX_TYPE | STATX_UID | STATX_INO | STATX_BTIME, &st) != 0 ||
        !S_ISDIR(st.stx_mode))
        return "";
    ino = st.stx_ino;
    const bool birth = st.stx_mask & STATX_BTIME;
    return std::to_string(st.stx_uid) + ":" + std::to_string(st.stx_ino) + ":" +
           (birth ? std::to_string(st.stx_btime.tv_sec) + "." + std::to_string(st.stx_btime.tv_nsec) : "-");
}

const char* const tooLate = "Ein anderes Ein- oder Aushängen ist nicht rechtzeitig fertig geworden";

// The state directory, root's alone, and its files: "lock" (the records' lock), "mounts" (the records) and two
// files of byte locks: "points", one per mount point at its directory's inode number, and "pending", one per
// mount under way at 128 × uid + slot. The byte locks belong to the worker's open file descriptions: whatever
// ends the worker, they go with it.
struct State {
    int dir, records, points, pending;
};

State openState()
{
    const std::string where = stateDir;
    struct stat st;
    check(mkdir(stateDir, 0700) != 0 && errno != EEXIST ? withError(where + " lässt sich nicht anlegen") : "");
    const int dir = open(stateDir, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    check(dir < 0 || fstat(dir, &st) != 0 ? withError(where + " lässt sich nicht öffnen") : "");
    check(st.st_uid != 0 || fchmod(dir, 0700) != 0 ? where + " muss ein Verzeichnis von root sein" : "");
    const auto file = [&](const char* name) {
        const int fd = openat(dir, name, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        check(fd < 0 ? withError(where + "/" + name + " lässt sich nicht öffnen") : "");
        return fd;
    };
    return {dir, file("lock"), file("points"), file("pending")};
}

// Takes (or with F_UNLCK gives back) the byte lock at offset; false when someone else holds it.
bool byteLock(int fd, uint64_t offset, short type = F_WRLCK)
{
    struct flock byte {
    };
    byte.l_type = type;
    byte.l_whence = SEEK_SET;
    byte.l_start = off_t(offset & 0x3fffffffffffffffULL);
    byte.l_len = 1;
    if (fcntl(fd, F_OFD_SETLK, &byte) == 0)
        return true;
    check(errno != EAGAIN && errno != EACCES ? withError(std::string(stateDir) + " lässt sich nicht sperren") : "");
    return false;
}

// Tries a lock until end; no lock is ever held while its holder waits on a caller.
template <typename Lock> void waitFor(Lock tryLock, Clock::time_point end)
{
    while (!tryLock()) {
        check(Clock::now() > end ? tooLate : "");
        usleep(5000);
    }
}

// The records' lock, held only to read and replace the records: never while anything runs or a file system is
// looked at, so that no one waits on it for longer than that takes.
struct RecordsLock {
    int fd;
    RecordsLock(int fd, Clock::time_point end) : fd(fd)
    {
        waitFor(
            [fd] {
                if (flock(fd, LOCK_EX | LOCK_NB) == 0)
                    return true;
                check(errno != EWOULDBLOCK ? withError(std::string(stateDir) + "/lock lässt sich nicht sperren") : "");
                return false;
            },
            end);
    }
    ~RecordsLock() { flock(fd, LOCK_UN); }
    RecordsLock(const RecordsLock&) = delete;
};

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

// Replaces the records whole; false (and errno) when they could not be written.
bool writeRecords(int dir, const std::string& records)
{
    const int fd = openat(dir, "mounts.new", O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    const bool written = fd >= 0 && write(fd, records.data(), records.size()) == ssize_t(records.size());
    return fd >= 0 && close(fd) == 0 && written && renameat(dir, "mounts.new", dir, "mounts") == 0;
}

const int ignoredSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGTSTP, SIGPIPE, SIGTTOU, SIGTTIN, SIGXFSZ};

// Runs args[0] with /dev/null as input, an environment of PATH and the secret (if any), until it ends or
// end has come, and keeps the first maxOutput bytes of what it writes in output. Returns its exit status, or -1
// when it was stopped. It is the first process of a PID namespace of its own and dies with the worker, so
// whatever it started (mount.cifs outlives a killed mount) is gone once it is: nothing can finish a mount that
// no one is left to verify.
int run(std::vector<const char*> args, const char* secret, Clock::time_point end, std::string& output)
{
    const char* environment[] = {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", secret, nullptr};
    args.push_back(nullptr);
    int out[2], life[2];
    check(pipe2(out, O_CLOEXEC) != 0 || pipe2(life, O_CLOEXEC) != 0 ? withError("pipe") : "");
    const bool ownNamespace = unshare(CLONE_NEWPID) == 0; // otherwise a process group and the worker as subreaper
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(life[1]);
        pollfd worker{life[0], POLLIN, 0}; // the worker holds the other end: hung up, it is gone already
        const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (poll(&worker, 1, 0) != 0 || null < 0 || dup2(null, 0) < 0 || dup2(out[1], 1) < 0 || dup2(out[1], 2) < 0)
            _exit(1);
        setpgid(0, 0);
        for (const int s : ignoredSignals)
            signal(s, SIG_DFL);
        execve(args[0], const_cast<char* const*>(args.data()), const_cast<char* const*>(environment));
        const std::string error = "sharedeck-mount: " + withError(std::string(args[0]) + " lässt sich nicht starten");
        (void)!write(2, (error + "\n").data(), error.size() + 1);
        _exit(1);
    }
    close(out[1]);
    close(life[0]);
    check(child < 0 ? withError("fork") : "");
    if (!ownNamespace)
        setpgid(child, child);
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    char buffer[4096];
    const auto drain = [&] {
        for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR);)
            output.append(buffer, size_t(std::max<ssize_t>(0, std::min<ssize_t>(got, maxOutput - output.size()))));
    };
    siginfo_t info{};
    while (waitid(P_PID, child, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0 && Clock::now() < end) {
        pollfd more{out[0], POLLIN, 0};
        poll(&more, 1, 20);
        drain();
    }
    const bool ended = info.si_pid == child;
    kill(ownNamespace ? child : -child, SIGKILL);
    // A killed child stuck in the kernel (an umount waiting on a server that is gone) goes once its call
    // returns: it is waited for only briefly, so that the mount can be detached meanwhile.
    int status = 0;
    const auto reapBy = Clock::now() + std::chrono::seconds(2);
    while (waitpid(child, &status, WNOHANG) == 0 && Clock::now() < reapBy)
        usleep(20000);
    for (pid_t got = 0; !ownNamespace && Clock::now() < reapBy && (got >= 0 || errno == EINTR);) {
        got = waitpid(-child, nullptr, WNOHANG);
        if (got == 0)
            usleep(20000);
    }
    drain();
    close(out[0]);
    close(life[1]);
    return !ended ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

std::string stopped(const char* program)
{
    return std::string(program) + " hat nicht innerhalb von 25 s geantwortet und wurde abgebrochen";
}

struct Request {
    bool mount, create;
    uid_t uid;
    gid_t gid;
    std::string source, mountPoint, options, secret;
};

// One of the caller's 100 slots for a mount under way, held until its record is written or the worker ends, so
// that helpers running side by side cannot pass the cap together; -1 when the caller's records and mounts under
// way take all. Under the records' lock.
int64_t reserveSlot(const State& s, uid_t uid, size_t recorded)
{
    size_t busy = 0;
    int64_t mine = -1;
    for (uint64_t slot = 0, at = uint64_t(uid) * 128; slot < maxMountsPerUser; ++slot, ++at) {
        if (!byteLock(s.pending, at))
            ++busy;
        else if (mine < 0)
            mine = int64_t(at);
        else
            byteLock(s.pending, at, F_UNLCK);
    }
    if (recorded + busy < maxMountsPerUser)
        return mine;
    if (mine >= 0)
        byteLock(s.pending, uint64_t(mine), F_UNLCK);
    return -1;
}

// Detaches everything at path, the topmost mount first with all mounted on it, lazily (a hung server cannot hold
// the helper); one stacking mounts there without end keeps it at most until end.
void detachAll(const std::string& path, Clock::time_point end)
{
    while (!topmostId(mountinfo(), path).empty() && Clock::now() < end &&
           umount2(path.c_str(), MNT_DETACH | UMOUNT_NOFOLLOW) == 0) {
    }
}

// Removes the mount point the helper made (made: as directoryAt saw it then) if it is still that directory,
// empty, no mount point and no other helper's now.
void removeMade(const State& s, int baseFd, const std::string& name, const std::string& made)
{
    uint64_t ino = 0;
    if (!made.empty() && directoryAt(baseFd, name, ino) == made && byteLock(s.points, ino) &&
        topmostId(mountinfo(), "/mnt/" + name).empty())
        unlinkat(baseFd, name.c_str(), AT_REMOVEDIR);
}

// The share's record, once it is the one mount at the mount point, with nosuid and nodev; otherwise the reason.
std::string record(const Request& r, const State& s, const std::string& made, int64_t slot, Clock::time_point end)
{
    // The mount now at the point, held: what mountinfo shows next is compared with it.
    const int top = open(r.mountPoint.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const std::string after = mountinfo();
    SeenMount seen;
    std::string error = checkMounted(after, r.mountPoint, r.source);
    // Tied to what the kernel never hands out again while the mount lives, where it can.
    const std::string line = error.empty() && top >= 0 && seenAt(top, "", AT_EMPTY_PATH, seen)
                                 ? recordOf(after, r.mountPoint, r.uid, seen, made)
                                 : "";
    if (top >= 0)
        close(top);
    if (!error.empty() || line.empty())
        return error.empty() ? "Die eingehängte Freigabe ließ sich nicht erkennen und wurde wieder ausgehängt" : error;
    const RecordsLock held(s.records, end);
    if (!writeRecords(s.dir, liveRecords(readRecords(s.dir), mountinfo()) + line))
        return withError(std::string(stateDir) + "/mounts lässt sich nicht schreiben") +
               "; die Freigabe wurde wieder ausgehängt";
    if (slot >= 0) // counted by its record from now on
        byteLock(s.pending, uint64_t(slot), F_UNLCK);
    return "";
}

int mountShare(const Request& r, const State& s, Clock::time_point end)
{
    int64_t slot = -1;
    if (r.uid != 0) {
        const RecordsLock held(s.records, end);
        slot = reserveSlot(s, r.uid, recordsOf(liveRecords(readRecords(s.dir), mountinfo()), r.uid));
        check(slot < 0 ? "Sie haben schon " + std::to_string(maxMountsPerUser) +
                             " Freigaben mit sharedeck eingehängt; bitte hängen Sie zuerst eine davon aus"
                       : "");
    }
    check(checkMountPoint(r.mountPoint, base, r.uid, mountinfo(), r.create));
    // Only root can write to /mnt: the name stays, and what mkdirat makes is the helper's (another helper making
    // the same name meanwhile wins, and keeps it).
    const std::string name = r.mountPoint.substr(5);
    const int baseFd = open(base, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    const bool create = r.create && fstatat(baseFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0;
    check(create && mkdirat(baseFd, name.c_str(), 0755) != 0 ? withError(r.mountPoint + " lässt sich nicht anlegen")
                                                             : "");
    uint64_t ino = 0;
    std::string made = create ? directoryAt(baseFd, name, ino) : "", error; // root's until it is the caller's
    int status = 1;
    bool ran = false;
    try {
        if (create) {
            check(fchownat(baseFd, name.c_str(), r.uid, r.gid, AT_SYMLINK_NOFOLLOW) != 0
                      ? withError(r.mountPoint + " lässt sich nicht anlegen")
                      : "");
            made = directoryAt(baseFd, name, ino);
        }
        const std::string point = directoryAt(baseFd, name, ino);
        // Under the mount point's lock no other helper mounts there: a mount or another directory found there now
        // came meanwhile.
        check(point.empty() ? r.mountPoint + " ist kein Verzeichnis" : "");
        waitFor([&] { return byteLock(s.points, ino); }, end);
        uint64_t now = 0;
        check(topmostId(mountinfo(), r.mountPoint).empty() && directoryAt(baseFd, name, now) == point
                  ? ""
                  : r.mountPoint + " ist schon ein Einhängepunkt");
        std::string output;
        ran = true;
        status = run({"/bin/mount", "-t", "cifs", r.source.c_str(), r.mountPoint.c_str(), "-o", r.options.c_str()},
                     r.secret.empty() ? nullptr : r.secret.c_str(), end, output);
        shown += output;
        error = status < 0 ? stopped("/bin/mount") : status ? "" : record(r, s, made, slot, end);
        if (status == 0 && error.empty())
            return 0;
    } catch (const Refusal&) {
        if (ran)
            detachAll(r.mountPoint, end + std::chrono::seconds(1));
        removeMade(s, baseFd, name, made);
        throw;
    }
    // Whatever landed there unverified or unrecorded goes at once, all of it, and the directory made for it.
    detachAll(r.mountPoint, end + std::chrono::seconds(1));
    removeMade(s, baseFd, name, made);
    check(error);
    return status;
}

int unmountShare(const Request& r, const State& s, Clock::time_point end)
{
    // Before any lock: statx of the mount point waits on nothing but the file system of /mnt.
    SeenMount seen;
    const bool seenThere = seenAt(AT_FDCWD, r.mountPoint.c_str(), 0, seen);
    std::string record, without, id;
    {
        const RecordsLock held(s.records, end);
        const std::string table = mountinfo(), records = liveRecords(readRecords(s.dir), table);
        check(checkUnmount(table, records, r.mountPoint, r.uid, record));
        // A later mount at the same place may have the same ID and device as a gone one, never the same unique ID.
        if (!record.empty() && !(seenThere && isSeen(record, seen))) {
            check(r.uid != 0 ? r.mountPoint + " wurde nicht von sharedeck für Sie eingehängt" : "");
            record.clear();
        }
        // The record goes first, so that it never outlives the mount; it comes back if the mount stays.
        std::istringstream lines(records);
        for (std::string line; std::getline(lines, line);)
            without += line == record ? "" : line + "\n";
        check(writeRecords(s.dir, without) ? ""
                                           : withError(std::string(stateDir) + "/mounts lässt sich nicht schreiben"));
        id = topmostId(table, r.mountPoint);
    }
    std::string output;
    // -c: no look at the path, which would hang on a share whose server is gone.
    int status = run({"/bin/umount", "-c", "--", r.mountPoint.c_str()}, nullptr,
                     std::min(end, Clock::now() + detachAfter), output);
    shown += output;
    // The kernel's unmount of a share whose server stopped or went silent waits on that server; the mount is
    // detached instead (MNT_DETACH returns at once) and goes when nothing uses it.
    if (status < 0 && topmostId(mountinfo(), r.mountPoint) == id)
        umount2(r.mountPoint.c_str(), MNT_DETACH | UMOUNT_NOFOLLOW);
    if (status < 0 && topmostId(mountinfo(), r.mountPoint) != id)
        status = 0;
    std::string after;
    {
        const RecordsLock held(s.records, end + std::chrono::seconds(1));
        after = mountinfo();
        const std::string records = readRecords(s.dir), kept = liveRecords(records + record + "\n", after);
        check(kept != records && !writeRecords(s.dir, kept)
                  ? withError(std::string(stateDir) + "/mounts lässt sich nicht schreiben")
                  : "");
    }
    // A mount point the helper made goes with the mount, if it is still the one made and nothing was put there.
    if (liveRecords(record, after).empty())
        removeMade(s, open(base, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC), r.mountPoint.substr(5),
                   createdAs(record));
    check(status < 0 ? stopped("/bin/umount") : "");
    return status;
}

// The worker. Its standard input is /dev/null, its output and error go to the front.
int work(const Request& r, Clock::time_point end)
{
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const State s = openState();
    return r.mount ? mountShare(r, s, end) : unmountShare(r, s, end);
}
// Runs the worker and ends it at the watchdog's time, whatever it waits for. Its text goes to shown.
int runWorker(const Request& r, Clock::time_point start)
{
    int report[2];
    check(pipe2(report, O_CLOEXEC) != 0 ? withError("pipe") : "");
    const pid_t front = getpid(), worker = fork();
    if (worker == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != front || dup2(report[1], 1) < 0 || dup2(report[1], 2) < 0)
            _exit(1);
        int status = 1;
        try {
            const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
            check(null < 0 || dup2(null, 0) < 0 ? withError("/dev/null lässt sich nicht öffnen") : "");
            status = work(r, start + bound);
        } catch (const Refusal& refusal) {
            status = refusal.status;
        } catch (...) {
            shown += "sharedeck-mount: Interner Fehler\n";
        }
        for (size_t done = 0; done < shown.size();) {
            const ssize_t wrote = write(report[1], shown.data() + done, shown.size() - done);
            if (wrote < 0 && errno != EINTR)
                break;
            done += size_t(std::max<ssize_t>(0, wrote));
        }
        _exit(status);
    }
    close(report[1]);
    check(worker < 0 ? withError("fork") : "");
    const auto end = start + watchdog;
    char buffer[4096];
    bool late = false;
    for (ssize_t got = 1; got != 0;) {
        pollfd in{report[0], POLLIN, 0};
        const int ready = poll(&in, 1, int(millisecondsTo(end)));
        late = ready == 0;
        got = ready > 0 ? read(report[0], buffer, sizeof buffer) : late ? 0 : -1;
        if (got < 0 && errno != EINTR)
            break;
        if (got > 0 && shown.size() < 65536)
            shown.append(buffer, size_t(got));
    }
    // Done it ends at once; late, or not ending, it is killed, which also ends whatever it waits for in the kernel.
    int status = 0;
    pid_t done = 0;
    for (int round = late; round < 2 && done == 0; ++round) {
        if (round == 1)
            kill(worker, SIGKILL);
        for (const auto until = Clock::now() + std::chrono::seconds(2);
             (done = waitpid(worker, &status, WNOHANG)) == 0 && Clock::now() < until;)
            usleep(200); // its pipe closed: it is ending
    }
    if (!late && done == worker && WIFEXITED(status))
        return WEXITSTATUS(status);
    fail("Das Ein- oder Aushängen ist nicht innerhalb von 25 s fertig geworden und wurde abgebrochen");
}

int helper(int argc, char** argv)
{
    umask(022);
    resetLimits();
    resetScheduling();
    // No job control of the caller's terminal stops the helper.
    signal(SIGTTOU, SIG_IGN);
    signal(SIGTTIN, SIG_IGN);
    // Nothing is held before the worker starts, so the front may wait here (for a caller that does not read its
    // "authorised"), but not for ever.
    alarm(60);
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
    Request r{mount, create, uid, 0, "", argv[mount ? 3 + create : 2], "", "PASSWD=" + input()};
    const auto start = Clock::now();
    // From here on a terminal's Ctrl-C or a closed window must not leave a
    // mount or a mount point half done.
    for (const int s : ignoredSignals)
        signal(s, SIG_IGN);
    const passwd* account = getpwuid(uid);
    check(account ? "" : "Unbekannter Benutzer " + std::to_string(uid));
    r.gid = account->pw_gid;
    if (mount) {
        r.source = argv[2 + create];
        check(checkSource(r.source));
        check(checkOptions(argv[4 + create], uid, r.gid, r.options));
        // Kerberos without a password: mount.cifs gets no PASSWD at all, the kernel takes the caller's ticket.
        if (r.secret == "PASSWD=" && usesKerberos(r.options))
            r.secret.clear();
    }
    // The bound on the caller ends here: the work has its own, the watchdog's.
    alarm(0);
    return runWorker(r, start);
}

} // namespace

int main(int argc, char** argv)
{
    int status = 1;
    try {
        status = helper(argc, argv);
    } catch (const Refusal& refusal) {
        status = refusal.status;
    } catch (...) {
        shown += "sharedeck-mount: Interner Fehler\n";
    }
    show(shown);
    return status;
}
