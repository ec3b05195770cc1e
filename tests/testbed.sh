#!/bin/bash
# testbed.sh COMMAND [ARGS...]
# Runs COMMAND as root inside private network, mount and PID namespaces that hold a real Samba server on
# 127.0.0.1:445 and a stand-in for /sbin/mount.cifs (this kernel may have no CIFS) that checks the credentials
# against that server and mounts a tmpfs named like the share. COMMAND finds:
#   SMB_SERVER SMB_USER SMB_PASSWORD  the server and a valid account (SMB_NAME: its Samba name, "John Smith")
#   TESTBED_GID                       SMB_USER's primary group (4700 "sdstaff"; the uid is 4711)
#   TESTBED_DIR                       a scratch folder for mount points
#   TESTBED_OTHER_USER                a second account, without the polkit rule
# Shell functions: ready WHAT COMMAND... polls COMMAND for TESTBED_BOUND s (300), else says what was not ready;
# lists SERVER [SMBCLIENT OPTIONS] once SERVER hands out its shares (its RPC services start on the first request, late on
# a busy machine; krb_lists: the domain's, with a ticket); granted USER once polkit lets USER mount.
# With TESTBED_POLKIT=BUILD_DIR (or a .deb) also a system D-Bus and polkitd, that build (or package) installed
# in /usr, a rule that lets SMB_USER run the mount helper through pkexec, and an empty /mnt; COMMAND finds:
#   TESTBED_HELPER                    the helper's installed path
# With TESTBED_LAN=1 also a LAN joined to no real interface (a bridge "lan" holding this namespace's 198.51.100.20/24
# and link-local IPv6 only) with two Samba hosts in network namespaces of their own, each serving "public" to the
# account: LAN_WSD_HOST "Büro-NAS" (198.51.100.11) announced by WS-Discovery (wsdd) alone, LAN_BOTH_HOST "nas2.local"
# (198.51.100.12) by DNS-SD (avahi-daemon with smbd's own _smb._tcp record) and by WS-Discovery as NAS2; this
# namespace has an avahi-daemon of its own, and /etc/hosts names both hosts as a LAN's name service would.
# "lan_host h11|h12 CMD..." runs CMD in that host's network namespace.
# With TESTBED_KERBEROS=FILE also an Active Directory domain controller (provisioned into FILE once); COMMAND finds:
#   KRB_SERVER KRB_USER KRB_PASSWORD  its name, a domain user and that user's password (KRB_ADMIN_PASSWORD too)
# Shares: public (writable), "with space", hidden$, costs (comment with "$" and "|"), and one whose name is 80
# characters long. TESTBED_USER and TESTBED_PASSWORD choose another account; TESTBED_CIFS=kernel keeps the real
# mount.cifs. Nothing is left on the machine: all that is written lands on tmpfs mounts of the mount namespace.
set -u
here=$(cd "$(dirname "$0")" && pwd)
skip() {
    [ "${CI:-}" = true ] && echo "testbed: $1 (required in CI)" >&2 && exit 1
    echo "SKIP: testbed: $1" >&2 && exit 77
}

if [ -z "${TESTBED_INSIDE:-}" ]; then
    [ "$(id -u)" = 0 ] || skip "needs root for namespaces, smbd and mount"
    polkit_tools="cmake dpkg-deb pkexec pkcheck dbus-daemon runuser /usr/lib/polkit-1/polkitd"
    for tool in smbd smbpasswd smbclient unshare ip ${TESTBED_POLKIT:+$polkit_tools} ${TESTBED_KERBEROS:+samba samba-tool winbindd kinit}; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
    [ -z "${TESTBED_KERBEROS:-}" ] || [ -e /etc/krb5.conf ] || skip "/etc/krb5.conf (krb5-config) is missing"
    [ -e /sbin/mount.cifs ] || skip "/sbin/mount.cifs (cifs-utils) is missing"
    unshare --net --mount true 2>/dev/null || skip "unshare --net --mount is not permitted here"
    # In its own PID namespace every process of the test bed ends with it.
    TESTBED_INSIDE=1 exec unshare --net --mount --pid --fork --mount-proc "$0" "$@"
fi

set -e
ip link set lo up
mount --make-rprivate /
dir=$(mktemp -d /tmp/sharedeck-testbed.XXXXXX)
trap 'umount -l "$dir"; rmdir "$dir"' EXIT
mount -t tmpfs -o mode=755 testbed "$dir"
for d in /etc/samba /var/lib/samba /var/cache/samba /var/log/samba /run/samba /run/dbus /run/sharedeck; do
    mkdir -p "$d" && mount -t tmpfs -o mode=755 testbed "$d"
done
mkdir /var/lib/samba/private

# The accounts exist only in this mount namespace.
export SMB_SERVER=127.0.0.1 SMB_USER=${TESTBED_USER:-sdtest} SMB_PASSWORD=${TESTBED_PASSWORD:-'pa,ss%wo$rd'}
export TESTBED_DIR=$dir/work TESTBED_OTHER_USER=sdother TESTBED_GID=4700
# In the VM (tests/vm.sh) the guest's own /etc: the kernel's helpers (cifs.upcall) look the accounts up there.
[ -n "${TESTBED_GUEST:-}" ] || for f in passwd group; do cp "/etc/$f" "$dir/$f" && mount --bind "$dir/$f" "/etc/$f"; done
account() { # account NAME UID [GID GROUP]: by default a group of the same name and id
    echo "$1:x:$2:${3:-$2}::/nonexistent:/usr/sbin/nologin" >>/etc/passwd && echo "${4:-$1}:x:${3:-$2}:" >>/etc/group
}
account "$SMB_USER" 4711 "$TESTBED_GID" sdstaff && account "$TESTBED_OTHER_USER" 4712
mkdir -m 777 "$TESTBED_DIR" "$dir/shares"

printf '%s\n' "[global]" "server role = standalone" "interfaces = lo" "bind interfaces only = yes" "smb ports = 445" \
    "disable netbios = yes" "load printers = no" "printing = bsd" "printcap name = /dev/null" "map to guest = never" \
    >/etc/samba/smb.conf
# SMB_NAME: the account's Samba name, with a blank as Windows names may have.
export SMB_NAME="John Smith" && echo "username map = /etc/samba/users.map" >>/etc/samba/smb.conf
echo "$SMB_USER = \"$SMB_NAME\"" >/etc/samba/users.map
while IFS=/ read -r name comment; do
    mkdir -m 777 "$dir/shares/$name"
    printf '[%s]\npath = %s\ncomment = %s\n' "$name" "$dir/shares/$name" "$comment"
    [ "$name" != public ] || echo "read only = no"
done >>/etc/samba/smb.conf <<SHARES
public/Shared files
with space/a share with a blank
hidden\$/Hidden one
costs/Costs \$5 a|b pipe
eighty-characters-$(printf '%062d' 0)/
SHARES
touch "$dir/shares/public/Server_Alive.txt" && chmod 666 "$dir/shares/public/Server_Alive.txt"
printf '%s\n%s\n' "$SMB_PASSWORD" "$SMB_PASSWORD" | smbpasswd -s -a "$SMB_USER" >/dev/null
smbd -D
ready() { local end=$((SECONDS + ${TESTBED_BOUND:-300})); until "${@:2}" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] && sleep 0.2 || { echo "${0##*/}: not ready within ${TESTBED_BOUND:-300} s: $1" >&2 && return 1; }; done; }
lists() { grep -q '^Disk|' <<<"$(smbclient -g -L "$@" 2>/dev/null)"; } && export -f ready lists && ready "smbd to list its shares" lists 127.0.0.1 -N

# An Active Directory domain at 127.0.0.3: provisioned into the file once (seconds here, minutes in the VM), then
# started from it. Its user may write on the share "krb", which has a marker file for the keep-alive.
if [ -n "${TESTBED_KERBEROS:-}" ]; then
    export KRB_SERVER=dc1.sharedeck.test KRB_USER=kerbi@SHAREDECK.TEST KRB_PASSWORD=Kerb-pass1 KRB_ADMIN_PASSWORD=Adm1n-pass2
    dc=/var/lib/samba/dc && tool() { samba-tool "$@" -H $dc/private/sam.ldb >/dev/null; }
    if [ ! "$TESTBED_KERBEROS" -nt "$0" ]; then
        samba-tool domain provision --targetdir=$dc --realm=SHAREDECK.TEST --domain=SHAREDECK --host-name=dc1 \
            --host-ip=127.0.0.3 --server-role=dc --dns-backend=NONE --adminpass=$KRB_ADMIN_PASSWORD -s /dev/null \
            --option={"interfaces=127.0.0.3","bind interfaces only=yes","pid directory=$dc","ncalrpc dir=$dc/ncalrpc",\
"log file=$dc/log","tls enabled=no","server services=-dns -nbt -wrepl -ldap -cldap -drepl -kcc -dnsupdate -ntp_signd"} >$dc.log 2>&1 ||
            { cat $dc.log && exit 1; }
        tool user create kerbi $KRB_PASSWORD && tool user setexpiry kerbi --noexpiry
        mkdir -m 777 $dc/krb && install -m 666 /dev/null $dc/krb/Server_Alive.txt
        printf '[krb]\npath = %s\nread only = no\n' $dc/krb >>$dc/etc/smb.conf && tar -C / -cf "$TESTBED_KERBEROS" ${dc#/}
    fi
    ip addr add 127.0.0.3/8 dev lo && tar -C / -xf "$TESTBED_KERBEROS"
    # Each user's tickets in the test bed, not in the machine's /tmp.
    echo "127.0.0.3 $KRB_SERVER" >"$dir/hosts" && printf '%s\n' "[libdefaults]" "default_realm = SHAREDECK.TEST" \
        "dns_lookup_kdc = false" "rdns = false" "default_ccache_name = FILE:$dir/tickets/%{uid}" "[realms]" \
        "SHAREDECK.TEST = {" "kdc = 127.0.0.3" "}" >"$dir/krb5.conf"
    for f in hosts krb5.conf; do mount --bind "$dir/$f" "/etc/$f"; done && mkdir -m 1777 "$dir/tickets"
    # Its winbindd socket has a compiled-in path: out of the way of the test bed's smbd in a /run/samba of its own.
    unshare --mount sh -c "mount -t tmpfs dc /run/samba && samba -s $dc/etc/smb.conf" && krb_lists() {
        printf '%s\n' "$KRB_PASSWORD" | kinit -c "$TESTBED_DIR/ready" "$KRB_USER" && KRB5CCNAME=$TESTBED_DIR/ready lists $KRB_SERVER --use-kerberos=required -N; }
    ready "the domain controller to hand out a ticket and list its shares with it" krb_lists && export -f krb_lists
fi

# /usr gets an overlay: the host may have no sharedeck or a real installation.
if [ -n "${TESTBED_POLKIT:-}" ]; then
    export TESTBED_HELPER=/usr/lib/sharedeck/sharedeck-mount
    mount -t tmpfs -o mode=755 testbed-mnt /mnt
    mkdir -p "$dir"/usr/{upper,work,stage}
    if [ -f "$TESTBED_POLKIT" ]; then dpkg-deb -x "$TESTBED_POLKIT" "$dir/usr/stage"
    else DESTDIR=$dir/usr/stage cmake --install "$TESTBED_POLKIT" --prefix /usr >/dev/null; fi
    mount -t overlay -o "lowerdir=/usr,upperdir=$dir/usr/upper,workdir=$dir/usr/work" testbed-usr /usr
    cp -a "$dir/usr/stage/usr/." /usr/
    mount -t tmpfs -o mode=755 testbed /etc/polkit-1/rules.d
    printf 'polkit.addRule(function(action, subject) { if (action.id == "org.example.sharedeck.mount" &&
    subject.user == "%s") return polkit.Result.YES; });\n' "$SMB_USER" >/etc/polkit-1/rules.d/50-sharedeck-test.rules
    dbus-daemon --system --fork
    # polkitd, started through D-Bus, knows the action and has read the rule.
    granted() { runuser -u "$1" -- sh -c 'exec pkcheck -a org.example.sharedeck.mount -p $$'; } && export -f granted &&
        ready "polkitd to let $SMB_USER run the helper" granted "$SMB_USER"
fi
if [ -n "${TESTBED_LAN:-}" ]; then
    export LAN_WSD_HOST=Büro-NAS LAN_BOTH_HOST=nas2.local
    mkdir -p /run/netns /run/avahi-daemon && mount -t tmpfs lan /run/netns && mount -t tmpfs lan /run/avahi-daemon
    # No IGMP querier on this bridge: without snooping it would stop forwarding the groups.
    ip link add lan type bridge && ip link set lan type bridge mcast_snooping 0 && ip link set lan up
    ip addr add 198.51.100.20/24 dev lan
    lan_host() { local h=$1 && shift && ip netns exec "$h" unshare --mount --uts --propagation private "$@"; }
    for h in 11 12; do
        ip netns add h$h && ip link add v-h$h type veth peer name eth0 netns h$h && ip link set v-h$h master lan up
        ip netns exec h$h sh -c "ip link set lo up && ip link set eth0 up && ip addr add 198.51.100.$h/24 dev eth0"
    done
    # A host: its own name, Samba and announcers, all on tmpfs of its own mount namespace.
    cat >"$dir/lan-host.sh" <<'HOST'
set -e
hostname "$1" && shift
for d in /etc/samba /var/lib/samba /var/cache/samba /var/log/samba /run/samba /run/dbus /run/avahi-daemon; do
    mount -t tmpfs lan $d
done
mkdir /var/lib/samba/private && mkdir -m 777 /run/samba/public && install -m 666 /dev/null /run/samba/public/Server_Alive.txt
printf '%s\n' "[global]" "server role = standalone" "interfaces = eth0" "bind interfaces only = yes" "disable netbios = yes" \
    "load printers = no" "printing = bsd" "printcap name = /dev/null" "map to guest = never" \
    "username map = /etc/samba/users.map" "[public]" "path = /run/samba/public" "read only = no" >/etc/samba/smb.conf
echo "$SMB_USER = \"$SMB_NAME\"" >/etc/samba/users.map
printf '%s\n%s\n' "$SMB_PASSWORD" "$SMB_PASSWORD" | smbpasswd -s -a "$SMB_USER" >/dev/null
for way; do
    case $way in
    avahi)
        dbus-daemon --system --fork
        printf '%s\n' "[server]" "allow-interfaces=eth0" "[wide-area]" "enable-wide-area=no" "[publish]" \
            "publish-workstation=no" >/run/avahi-daemon/conf
        avahi-daemon -D -f /run/avahi-daemon/conf && until avahi-daemon -c; do sleep 0.1; done ;;
    wsdd:*) wsdd -i eth0 -p -n "${way#wsdd:}" -w LANGROUP >/run/samba/wsdd.log 2>&1 & ;;
    esac
done
smbd -D
HOST
    lan_host h11 bash "$dir/lan-host.sh" buero-nas "wsdd:$LAN_WSD_HOST"
    lan_host h12 bash "$dir/lan-host.sh" nas2 avahi wsdd:NAS2
    for h in 11 12; do ready "the LAN host 198.51.100.$h to list its shares" lists 198.51.100.$h -N; done
    # This namespace's own avahi-daemon, as a desktop has one, on the test bed's system bus.
    [ -S /run/dbus/system_bus_socket ] || dbus-daemon --system --fork
    printf '%s\n' "[server]" "host-name=client" "allow-interfaces=lan" "[wide-area]" "enable-wide-area=no" "[publish]" \
        "publish-workstation=no" >/run/avahi-daemon/conf && avahi-daemon -D -f /run/avahi-daemon/conf
    ready "the avahi-daemon of the window's namespace" avahi-daemon -c
    [ -e "$dir/hosts" ] || cp /etc/hosts "$dir/hosts"
    printf '198.51.100.11 %s\n198.51.100.12 %s\n' "$LAN_WSD_HOST" "$LAN_BOTH_HOST" >>"$dir/hosts"
    mountpoint -q /etc/hosts || mount --bind "$dir/hosts" /etc/hosts
    export -f lan_host
fi
# After the overlay, which does not show mounts below /usr.
[ "${TESTBED_CIFS:-}" = kernel ] || mount --bind "$here/mount.cifs-standin.sh" /sbin/mount.cifs

set +e
"$@"
