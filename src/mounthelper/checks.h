#pragma once

// Checks of the arguments of sharedeck-mount, the helper that mounts and
// unmounts shares as root for any local user. Each check returns an empty
// string when the argument is allowed, otherwise the German reason for the
// refusal (one line, without the program name). mountinfo is the content of
// /proc/self/mountinfo; records the helper's list of the mounts it made, one
// line "ID\tDEVICE\tUID\tSOURCE\tPOINT\tUNIQUE\tCREATED" each: the mount's ID
// and MAJOR:MINOR device as in mountinfo, the caller, the share and the mount
// point, the kernel's unique mount ID (where the kernel has none "=" and the
// mount's options and those of its file system as mountinfo shows them, a
// blank between) and "created:" with the directory the helper made for it as
// "UID:INODE:BIRTH" ("-" when it made none).

#include <string>
#include <sys/types.h>

// text + ": " + the message of errno.
std::string withError(const std::string& text);

// Strict decimal number: digits only, no sign, no leading zero, at most max.
bool parseDecimal(const std::string& text, unsigned long max, unsigned long& value);

// The share as mount.cifs takes it: exactly "//SERVER/SHARE", SERVER a host
// name, an IPv4 or an IPv6 address (bare, "::1", with an optional zone "%eth0").
std::string checkSource(const std::string& source);

// The caller's comma-separated mount options. When they are allowed, final is
// the option string for mount: the helper's own options first (nosuid,nodev;
// for a caller other than root uid=, gid= and cruid= of the caller,
// forceuid,forcegid and dir_mode=0700,file_mode=0600 unless the caller gives
// them), then the caller's, each option once.
std::string checkOptions(const std::string& options, uid_t callerUid, gid_t callerGid, std::string& final);

// Whether mount options ask for Kerberos (sec=krb5 or sec=krb5i); the window asks it of a row's options too.
bool usesKerberos(const std::string& options);

// mountPoint must read "/mnt/NAME" with one safe NAME, looked at inside base
// (the real /mnt: a directory, no symbolic link, root's and writable by root
// alone) and no mount point. NAME must be an empty directory, for a caller
// other than root one of the caller's own; with create a missing NAME is fine
// too (and, for a caller other than root, an existing one is not).
std::string checkMountPoint(const std::string& mountPoint, const std::string& base, uid_t callerUid,
                            const std::string& mountinfo, bool create);

// After mount: the one mount at path must be of source, no FUSE mount, and
// carry nosuid and nodev; anything stacked on it or below it fails too.
std::string checkMounted(const std::string& mountinfo, const std::string& path, const std::string& source);

// The ID of the topmost mount at path, empty when nothing is mounted there.
std::string topmostId(const std::string& mountinfo, const std::string& path);

// The mount at a path as statx saw it: its device "MAJOR:MINOR", the kernel's
// unique mount ID ("0" where the kernel has none) and the ID mountinfo shows
// (empty where statx gave the unique one or none).
struct SeenMount {
    std::string device, unique, id;
};

// The record of the topmost mount at path, made for callerUid on the
// directory made (as in a record, empty if none), or empty when seen is not
// that mount.
std::string recordOf(const std::string& mountinfo, const std::string& path, uid_t callerUid, const SeenMount& seen,
                     const std::string& made);

// The records whose mount is still there: the same ID and device at the same
// point, and where a record has it the same fingerprint.
std::string liveRecords(const std::string& records, const std::string& mountinfo);

// How many of the records are callerUid's.
size_t recordsOf(const std::string& records, uid_t callerUid);

// Unmounting path: judged from mountinfo and records alone, nothing under path
// is touched (a share whose server hangs would hang the helper). Root may
// unmount any share ("//SERVER/SHARE") under /mnt, anyone else only a mount
// the helper recorded for them that is still the topmost one there. record is
// then the line of the topmost mount, without the line feed, or empty when
// none was recorded (root only).
std::string checkUnmount(const std::string& mountinfo, const std::string& records, const std::string& path,
                         uid_t callerUid, std::string& record);

// Whether a record's mount is the one seen: the same device and, where the
// record has a unique mount ID, the same unique ID.
bool isSeen(const std::string& record, const SeenMount& seen);

// The directory the helper made for the record's mount ("UID:INODE:BIRTH"),
// or empty.
std::string createdAs(const std::string& record);
