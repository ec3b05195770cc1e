#!/bin/sh
# Stands in for mount.cifs: "mount -t cifs SRC DIR -o OPTS" runs it as
# "mount.cifs SRC DIR -o OPTS" with PASSWD in the environment. It checks the
# credentials against the real server and mounts a tmpfs named SRC at DIR that
# keeps uid=, gid=, nosuid and nodev of OPTS.
src=$1 dir=$2 opts=
[ "$3" = -o ] && opts=$(printf '%s\n' "$4" | tr ',' '\n')
user=$(printf '%s\n' "$opts" | sed -n 's/^username=//p' | head -n1)
keep=$(printf '%s\n' "$opts" | grep -E '^(uid=|gid=|nosuid$|nodev$)' | tr '\n' ,)
if ! PASSWD=${PASSWD-} smbclient "$src" -U "$user" -c ls </dev/null >/dev/null 2>&1; then
    echo "mount error(13): Permission denied" >&2
    echo "Refer to the mount.cifs(8) manual page (e.g. man mount.cifs) and kernel log messages (dmesg)" >&2
    exit 32
fi
exec mount -i -t tmpfs -o "${keep}size=64k" "$src" "$dir"
