#!/bin/bash
# Stands in for "mount.cifs SRC DIR -o OPTS" (PASSWD in the environment): checks the credentials
# against the real server, then mounts a tmpfs named SRC at DIR keeping uid=, gid=, nosuid, nodev of OPTS.
IFS=, read -ra opts <<<"${4-}"
for o in "${opts[@]}"; do
    case $o in username=*) user=${o#*=} ;; uid=* | gid=* | nosuid | nodev) keep+=$o, ;; esac
done
if ! PASSWD=${PASSWD-} smbclient "$1" -U "${user-}" -c ls </dev/null >/dev/null 2>&1; then
    printf 'mount error(13): Permission denied\nRefer to the mount.cifs(8) manual page (e.g. man mount.cifs) and kernel log messages (dmesg)\n' >&2
    exit 32
fi
exec mount -i -t tmpfs -o "${keep-}size=64k" "$1" "$2"
