#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

inline const QString markerFileSuffix = QStringLiteral("/Server_Alive.txt");

// One child process to run: a bare program name looked up on PATH, its
// arguments (never through a shell), its environment and what it reads on
// standard input. Secrets travel in the environment or on standard input
// only, because every local user can read a process's arguments. The
// environment is the window's own, handed on as it stands (no copy to make
// for each start) until ownEnvironment() makes it one to change.
struct Command {
    QString program;
    QStringList arguments;
    QProcessEnvironment environment = QProcessEnvironment(QProcessEnvironment::InheritFromParent);
    QByteArray input = {};
};

// The command's environment to change, starting from the window's own: one that is only inherited holds no
// variables, and a variable put into it would be all that the command gets.
QProcessEnvironment& ownEnvironment(Command& command);

// A row's mount as the user asked for it. The mount point is already cleaned.
struct MountRequest {
    QString server, share, mountPoint, user, password, options;
    bool createMountPoint = false; // lets the helper create a missing mount point
};

Command shareListCommand(const QString& server, const QString& user, const QString& password);
// Whether the user holds a valid Kerberos ticket: "klist -s" exits 0 then.
Command ticketCheckCommand();
// Whether the user has a ticket cache at all: klist without -s exits 0 when it can read one, its tickets valid or
// expired, and 1 when there is none (never made, or destroyed).
Command ticketCacheCommand();
// The share listing with the user's Kerberos ticket: no user name, no password anywhere.
Command kerberosShareListCommand(const QString& server);
Command mountListCommand();
// As root the commands run directly; otherwise pkexec runs the mount helper,
// which reads the password from standard input.
Command mountCommand(const MountRequest& request, bool asRoot);
Command unmountCommand(const QString& mountPoint, bool asRoot);
Command touchCommand(const QString& mountPoint);

// The share's default mount point: the mount base (/mnt) and the share name.
QString mountPointFor(const QString& share);

// The host name for a mount source: smbclient accepts a server written
// "//host" or "\\host", mount wants the bare name.
QString serverHost(const QString& server);

// Whether a host is an address rather than a name: IPv4 in any form the C
// library reads as one (also "127.1"), IPv6 with or without a zone
// ("fe80::2%lo"). Kerberos finds a server by its name only.
bool isIpAddress(const QString& host);

// Why a server cannot be listed with Kerberos, empty when it can.
QString kerberosServerProblem(const QString& server);

// The line the mount helper writes on standard output once it runs as root,
// that is once polkit has authorised the user.
inline const QByteArray authorisedMarker = QByteArrayLiteral("sharedeck-mount: authorised\n");

// sec=ntlmssp: Linux no longer knows sec=ntlm, and ntlmssp is its default
// anyway; sec=krb5 for the rows of a listing made with a Kerberos ticket. A
// normal user gets the shares owned by their own ids.
QString defaultMountOptions(bool asRoot, bool kerberos = false);

// The -o string for a user name and the row's options. mount.cifs does not
// split a domain off the user name, so "CORP\bob" and "CORP/bob" become
// "username=bob,domain=CORP". An empty user name gives no username= at all
// (Kerberos takes the name from the ticket).
QString mountOptionString(const QString& user, const QString& options);

// A user name that smbclient would split: "-U user%rest" takes the rest as
// the password. Empty when the name is fine for listing.
QString listingUserProblem(const QString& user);

// A user name that would add mount options of its own ("," or "="); empty
// when the name is fine for mounting.
QString userNameProblem(const QString& user);

// The cell's mount point as mount lists it: absolute paths cleaned of "//",
// "/./", "/../" and a trailing "/". Anything else is returned unchanged.
QString cleanMountPoint(const QString& cell);

// Why a cleaned mount point cannot be used, empty when it can: the mount
// helper takes only the mount base (/mnt) and one name in it, not "." or
// "..", without control characters and at most 255 bytes long.
QString mountPointProblem(const QString& cleaned);

// Why a share cannot be mounted, empty when it can: the mount helper (and
// the option string mount.cifs builds) takes no share name that starts with
// "-" or holds "," or "\".
QString shareMountProblem(const QString& share);

// How a command ended. pkexec's own statuses (126: the authentication was
// dismissed, 127: not authorised) mean that only for a command through pkexec.
enum class CommandEnd { Succeeded, Failed, Crashed, TimedOut, Stopped, Dismissed, NotAuthorised };
CommandEnd judgeEnd(bool throughPkexec, QProcess::ExitStatus status, int exitCode, bool timedOut, bool stopped);

// Starts the command in a process group of its own, writes its input and
// closes its standard input, so a child that asks for a password sees end of
// input instead of waiting forever. False when it could not be started.
bool startCommand(QProcess& process, const Command& command);

// Kills a command together with everything it started.
void stopCommand(QProcess& process);

// Appends to a buffer that holds at most limit bytes; false once bytes were dropped.
bool appendBounded(QByteArray& buffer, const QByteArray& more, qsizetype limit);

constexpr qsizetype maxShownBytes = qsizetype(1) << 20;
constexpr qsizetype maxListingBytes = qsizetype(64) << 20;
