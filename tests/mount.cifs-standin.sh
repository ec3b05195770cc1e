#!/bin/bash
# Stands in for "mount.cifs SRC DIR -o OPTS" (PASSWD in the environment): checks the credentials against the real
# server, then mounts a tmpfs named SRC at DIR keeping uid=, gid=, nosuid, nodev of OPTS, dir_mode= as its mode, and
# puts Server_Alive.txt there, owned by uid= and gid=, with the mode of file_mode= (the kernel's 755 by default).
# Refuses (exit 99) an environment with more than PATH and PASSWD, a password on mount's command line, and
# Kerberos with PASSWD set but empty (a ticket alone needs none); like cifs.upcall, Kerberos (sec=krb5, or no sec=
# at all: the server may offer nothing else) without cruid= of the uid would take root's credentials. Mount points
# for tests: DIR .../standin-hang* never answers, .../standin-nosuid mounts without nosuid and nodev, and on
# .../standin-stack-* the uid= user's own fusermount3 stacks a FUSE mount on the new one (named like it for -same)
# before the helper can look.
IFS=, read -ra opts <<<"${4-}"
for o in "${opts[@]}"; do
    case $o in username=*) user=${o#*=} ;; uid=* | gid=* | nosuid | nodev) keep+=$o, ;; dir_mode=*) mode=${o#*=} ;; esac
    case $o in uid=*) uid=${o#*=} ;; gid=*) gid=${o#*=} ;; cruid=*) cruid=${o#*=} ;; file_mode=*) fmode=${o#*=} ;; esac
    case $o in sec=krb5*) krb=1 ;; sec=*) sec=1 ;; esac
done
# mount's command line, by its process ID as /proc knows it (mount may run in a PID namespace of its own)
while read -r key value; do [ "$key" != PPid: ] || ppid=$value; done </proc/self/status
env=$(env -u PATH -u PASSWD -u PWD -u SHLVL -u _ | cut -d= -f1 | tr '\n' ' ')
args=$(tr '\0' ' ' </proc/$ppid/cmdline)" $*"
[ -z "$env" ] || { echo "mount.cifs stand-in: environment has $env" >&2 && exit 99; }
[ -z "${PASSWD-}" ] || [[ $args != *"$PASSWD"* ]] || { echo "mount.cifs stand-in: password in argv" >&2 && exit 99; }
[ -z "${krb-}" ] || [ "${PASSWD-unset}" != "" ] || { echo "mount.cifs stand-in: empty PASSWD with Kerberos" >&2 && exit 99; }
[ -n "${sec-}" ] || [ "${cruid-0}" = "${uid-0}" ] || { echo "mount error(126): Required key not available" >&2 && exit 32; }
if ! PASSWD=${PASSWD-} smbclient "$1" -U "${user-}" -c ls </dev/null >/dev/null 2>&1; then
    printf 'mount error(13): Permission denied\nRefer to the mount.cifs(8) manual page (e.g. man mount.cifs) and kernel log messages (dmesg)\n' >&2
    exit 32
fi
case $2 in */standin-hang*) sleep 600 & wait ;; */standin-nosuid) keep=${keep//nosuid,/} && keep=${keep//nodev,/} ;; esac
mount -i -t tmpfs -o "${keep-}mode=${mode-755},size=64k" "$1" "$2" && f=$2/Server_Alive.txt && touch "$f" &&
    chown "${uid-0}:${gid-0}" "$f" && chmod "${fmode-755}" "$f" || exit
[[ $2 != */standin-stack-* ]] || { [[ $2 == *-same ]] && fs=$1; } || fs=fuse
[ -z "${fs-}" ] || setpriv --reuid="${uid-0}" --regid="${gid-0}" --clear-groups python3 -c 'import socket, subprocess, sys
_, end = socket.socketpair()  # where libfuse would take the FUSE device; nobody serves it
sys.exit(subprocess.run(["fusermount3", "-o", "fsname=" + sys.argv[2], "--", sys.argv[1]], pass_fds=[end.fileno()],
                        env={"_FUSE_COMMFD": str(end.fileno()), "PATH": "/usr/bin:/bin"}).returncode)' "$2" "$fs"
