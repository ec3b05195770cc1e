#pragma once

// Checks of the arguments of sharedeck-mount, the helper that mounts and
// unmounts shares as root for any local user. Each check returns an empty
// string when the argument is allowed, otherwise the German reason for the
// refusal (one line, without the program name). mountinfo is the content of
// /proc/self/mountinfo; records the helper's list of the mounts it made, one
// line "ID\tUID\tSOURCE\tPOINT" each.

#include <string>
#include <sys/types.h>

// text + ": " + the message of errno.
std::string withError(const std::string& text);

// Strict decimal number: digits only, no sign, no leading zero, at most max.
bool parseDecimal(const std::string& text, unsigned long max, unsigned long& value);

// The share as mount.cifs takes it: exactly "//SERVER/SHARE", SERVER a host
// name, an IPv4 or an IPv6 address.
std::string checkSource(const std::string& source);

// The caller's comma-separated mount options. When they are allowed, final is
// the option string for mount: the helper's own options first (nosuid,nodev;
// for a caller other than root uid=, gid= of the caller and forceuid,forcegid;
// with sec=krb5 or krb5i cruid= of the caller), then the caller's.
std::string checkOptions(const std::string& options, uid_t callerUid, gid_t callerGid, std::string& final);

// mountPoint must read "/mnt/NAME" with one safe NAME, looked at inside base
// (the real /mnt: a directory, no symbolic link, root's and writable by root
// alone) and no mount point. NAME must be an empty directory, for a caller
// other than root one of the caller's own; with create a missing NAME is fine
// too (and, for a caller other than root, an existing one is not).
std::string checkMountPoint(const std::string& mountPoint, const std::string& base, uid_t callerUid,
                            const std::string& mountinfo, bool create);

// After mount: the topmost mount at path must be of source and carry nosuid
// and nodev.
std::string checkMounted(const std::string& mountinfo, const std::string& path, const std::string& source);

// The ID of the topmost mount at path, empty when nothing is mounted there.
std::string topmostId(const std::string& mountinfo, const std::string& path);

// The record of the topmost mount at path, made for callerUid.
std::string recordOf(const std::string& mountinfo, const std::string& path, uid_t callerUid);

// The records whose mount is still there, the same ID at the same point.
std::string liveRecords(const std::string& records, const std::string& mountinfo);

// Unmounting path: judged from mountinfo and records alone, nothing under path
// is touched (a share whose server hangs would hang the helper). Root may
// unmount any share ("//SERVER/SHARE") under /mnt, anyone else only a mount
// the helper recorded for them that is still the topmost one there.
std::string checkUnmount(const std::string& mountinfo, const std::string& records, const std::string& path,
                         uid_t callerUid);
