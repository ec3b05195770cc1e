#pragma once

// Checks of the arguments of sharedeck-mount, the helper that mounts and
// unmounts shares as root for any local user. Each check returns an empty
// string when the argument is allowed, otherwise the German reason for the
// refusal (one line, without the program name).

#include <string>
#include <sys/types.h>

// text + ": " + the message of errno.
std::string withError(const std::string& text);

// Strict decimal number: digits only, no sign, no leading zero, at most max.
bool parseDecimal(const std::string& text, unsigned long max, unsigned long& value);

// The share as mount.cifs takes it: exactly "//SERVER/SHARE".
std::string checkSource(const std::string& source);

// The comma-separated mount options. A caller other than root must give
// uid= and gid= with their own uid and primary gid.
std::string checkOptions(const std::string& options, uid_t callerUid, gid_t callerGid);

enum class Use { Mount, MountCreate, Umount };

// mountPoint must read "/mnt/NAME" with one safe NAME. NAME is then looked at
// inside base (the real /mnt), which must be a directory, no symbolic link,
// owned by baseOwner and writable by nobody else. For Mount, NAME must be an
// empty directory that is no mount point yet (mountinfo: the content of
// /proc/self/mountinfo); MountCreate also accepts a missing NAME; for Umount
// it must be a directory.
std::string checkMountPoint(const std::string& mountPoint, const std::string& base, uid_t baseOwner,
                            const std::string& mountinfo, Use use);

// The topmost mount at path must be a share ("//server/share") and, unless
// the caller is root, carry the option uid=<callerUid>.
std::string checkMounted(const std::string& mountinfo, const std::string& path, uid_t callerUid);
