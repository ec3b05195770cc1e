#!/bin/bash
# testbed.sh COMMAND [ARGS...]
# Runs COMMAND as root inside private network and mount namespaces that hold
# a real Samba server on 127.0.0.1:445 and a stand-in for /sbin/mount.cifs
# (this kernel may have no CIFS) that checks the credentials against that
# server and mounts a tmpfs named like the share. COMMAND finds:
#   SMB_SERVER SMB_USER SMB_PASSWORD  the server and a valid account
#   TESTBED_DIR                       a scratch folder for mount points
# With TESTBED_POLKIT=BUILD_DIR also a system D-Bus and polkitd, that build's
# mount helper and action at their installed paths, a rule that lets SMB_USER
# run the helper through pkexec, and an empty /mnt; COMMAND finds:
#   TESTBED_HELPER                    the helper's installed path
#   TESTBED_OTHER_USER                an account without that rule
# Shares: public, "with space", hidden$, costs (comment with "$" and "|"),
# and one whose name is 80 characters long. TESTBED_USER and TESTBED_PASSWORD
# choose another account; TESTBED_CIFS=kernel keeps the real mount.cifs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
skip() {
    if [ "${CI:-}" = true ]; then echo "testbed: $1 (required in CI)" >&2; exit 1; fi
    echo "SKIP: testbed: $1" >&2; exit 77
}

if [ -z "${TESTBED_INSIDE:-}" ]; then
    [ "$(id -u)" = 0 ] || skip "needs root for namespaces, smbd and mount"
    polkit_tools="cmake pkexec pkaction dbus-daemon dbus-send runuser /usr/lib/polkit-1/polkitd"
    for tool in smbd smbpasswd smbclient unshare ip ${TESTBED_POLKIT:+$polkit_tools}; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
    [ -e /sbin/mount.cifs ] || skip "/sbin/mount.cifs (cifs-utils) is missing"
    unshare --net --mount true 2>/dev/null || skip "unshare --net --mount is not permitted here"
    # A private PID namespace, so that every Samba helper ends with the test bed.
    TESTBED_INSIDE=1 exec unshare --net --mount --pid --fork --mount-proc "$0" "$@"
fi

set -e
ip link set lo up
mount --make-rprivate /
dir=$(mktemp -d /tmp/sharedeck-testbed.XXXXXX)
chmod 755 "$dir"
smbd_pid="" bus_pids=""
cleanup() {
    [ -n "$smbd_pid" ] && kill "$smbd_pid" 2>/dev/null
    [ -n "$bus_pids" ] && kill $bus_pids 2>/dev/null
    grep -F " $dir/" /proc/self/mounts | cut -d' ' -f2 | sort -r | xargs -r -n1 umount -l 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

# The account exists only in this mount namespace.
export SMB_SERVER=127.0.0.1 SMB_USER=${TESTBED_USER:-sdtest} SMB_PASSWORD=${TESTBED_PASSWORD:-'pa,ss%wo$rd'}
export TESTBED_DIR="$dir/work"
for f in passwd group; do cp "/etc/$f" "$dir/$f"; mount --bind "$dir/$f" "/etc/$f"; done
echo "$SMB_USER:x:4711:4711::/nonexistent:/usr/sbin/nologin" >>/etc/passwd
echo "$SMB_USER:x:4711:" >>/etc/group

mkdir -p "$dir"/{private,state,lock,cache,pid,ncalrpc,work,log} "$dir/shares"/{public,space,hidden,costs,long}
chmod 777 "$dir/shares"/* "$dir/work"
touch "$dir/shares/public/Server_Alive.txt"
cat >"$dir/smb.conf" <<CONF
[global]
  server role = standalone
  interfaces = lo
  bind interfaces only = yes
  smb ports = 445
  disable netbios = yes
  load printers = no
  printing = bsd
  printcap name = /dev/null
  map to guest = never
  private dir = $dir/private
  state directory = $dir/state
  lock directory = $dir/lock
  cache directory = $dir/cache
  pid directory = $dir/pid
  ncalrpc dir = $dir/ncalrpc
  log file = $dir/smbd.log
  passdb backend = tdbsam:$dir/private/passdb.tdb
[public]
  path = $dir/shares/public
  comment = Shared files
  read only = no
[with space]
  path = $dir/shares/space
  comment = a share with a blank
[hidden\$]
  path = $dir/shares/hidden
  comment = Hidden one
[costs]
  path = $dir/shares/costs
  comment = Costs \$5 a|b pipe
[eighty-characters-$(printf '%062d' 0)]
  path = $dir/shares/long
CONF
printf '%s\n%s\n' "$SMB_PASSWORD" "$SMB_PASSWORD" | smbpasswd -c "$dir/smb.conf" -s -a "$SMB_USER" >/dev/null
# Samba's clients would keep their caches in /run/samba, and samba-dcerpcd and
# its rpcd_* helpers log to /var/log/samba whatever smb.conf says.
mount --bind "$dir/smb.conf" /etc/samba/smb.conf
mount --bind "$dir/log" /var/log/samba
smbd -D -s "$dir/smb.conf"
for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/445) 2>/dev/null && break
    sleep 0.1
done
smbd_pid=$(cat "$dir/pid/smbd.pid")
[ "${TESTBED_CIFS:-}" = kernel ] || mount --bind "$here/mount.cifs-standin.sh" /sbin/mount.cifs

# Everything below lives in this mount namespace only: /usr/lib gets an overlay
# (the host may have no /usr/lib/sharedeck, or a real installation); a copy of
# the actions plus the build's own and a folder with only the test's rule are
# bound over the host's.
if [ -n "${TESTBED_POLKIT:-}" ]; then
    export TESTBED_HELPER=/usr/lib/sharedeck/sharedeck-mount TESTBED_OTHER_USER=sdother
    echo "$TESTBED_OTHER_USER:x:4712:4712::/nonexistent:/usr/sbin/nologin" >>/etc/passwd
    echo "$TESTBED_OTHER_USER:x:4712:" >>/etc/group
    mount -t tmpfs -o mode=755 testbed-mnt /mnt
    mkdir -p "$dir"/usrlib/{upper,work} "$dir/rules" /run/dbus
    mount -t overlay -o "lowerdir=/usr/lib,upperdir=$dir/usrlib/upper,workdir=$dir/usrlib/work" testbed-usrlib /usr/lib
    # The build's own install rules lay out program directory and action.
    DESTDIR=$dir/stage cmake --install "$TESTBED_POLKIT" --prefix /usr >/dev/null
    cp -r "$dir/stage/usr/lib/sharedeck" /usr/lib/
    cp /usr/share/polkit-1/actions/*.policy "$dir/stage/usr/share/polkit-1/actions/"
    mount --bind "$dir/stage/usr/share/polkit-1/actions" /usr/share/polkit-1/actions
    cat >"$dir/rules/50-sharedeck-test.rules" <<RULES
polkit.addRule(function(action, subject) {
    if (action.id == "org.example.sharedeck.mount" && subject.user == "$SMB_USER")
        return polkit.Result.YES;
});
RULES
    mount --bind "$dir/rules" /etc/polkit-1/rules.d
    mount -t tmpfs -o mode=755 testbed-dbus /run/dbus
    bus_pids=$(dbus-daemon --system --fork --print-pid)
    # Starts polkitd through D-Bus and fails unless it knows the action.
    pkaction --action-id org.example.sharedeck.mount >/dev/null
    bus_pids+=" $(dbus-send --system --print-reply=literal --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.PolicyKit1 | awk '{print $2}')"
fi

set +e
"$@"
