#!/bin/bash
# kernel.sh BUILD_DIR: that build's mount helper, run by a user through the real pkexec, on the real Linux CIFS
# client (inside tests/vm.sh) against the test bed's smbd: what a grant gives (nosuid,nodev, the caller's files,
# private unless widened), servers as offices have them, and a silent server. Prints what a user would be told
# for each server, and the times of the commands on a silent one.
set -u
[ -n "${KERNEL_VM:-}" ] || KERNEL_VM=1 exec "$(dirname "$0")/vm.sh" "$1" "$0" "$@"
[ -n "${TESTBED_HELPER:-}" ] || TESTBED_CIFS=kernel TESTBED_POLKIT=$1 exec "$(dirname "$0")/testbed.sh" "$0" "$@"

u=$SMB_USER o=$TESTBED_OTHER_USER out=$TESTBED_DIR/out shares=$TESTBED_DIR/../shares failed=0
fail() { failed=$((failed + 1)) && echo "kernel: FAIL: $*" >&2 && sed 's/^/  output: /' "$out" >&2; }
timed() { # timed COMMAND...: runs it, its seconds in $took
    local start=$EPOCHREALTIME && "$@"; local got=$?
    took=$(awk "BEGIN { printf \"%.2f\", $EPOCHREALTIME - $start }") && return $got
}
helper() { # the user's helper through pkexec, the password ($pw, else the right one) on standard input
    timed timeout -s KILL 60 runuser -u "$u" -- pkexec "$TESTBED_HELPER" "$@" >"$out" 2>&1 < <(printf %s "${pw-$SMB_PASSWORD}")
}
mnt() { # mnt SHARE DIR [OPTIONS]: the window's default options for a normal user, and OPTIONS
    local create=--create && [ -d "/mnt/$2" ] && create=""
    helper mount $create "//127.0.0.1/$1" "/mnt/$2" "username=$u,gid=$TESTBED_GID,uid=4711,sec=ntlmssp${3:+,$3}"
}
as() { timeout -s KILL 30 runuser -u "$1" -- "${@:2}" 2>/dev/null; }
opts() { findmnt -n -o OPTIONS -M "/mnt/$1"; }
reload() { kill -HUP "$(cat /run/samba/smbd.pid)" && ready "smbd to take its new configuration" "$@"; } # reload CHECK...
told() { echo "kernel: $1: exit $2: $(grep -v '^Refer to\|^$' "$out" | tr '\n' ' ')"; }

# Each grant: nosuid,nodev, files of the caller, and, unless the caller widens the modes, private to them.
mnt public p || fail "mount public"
[[ $(opts p) == rw,nosuid,nodev,* ]] || fail "public mounted with $(opts p), not nosuid,nodev"
as "$u" sh -c 'echo written >/mnt/p/mine' && [ "$(stat -c %u:%g /mnt/p/mine)" = "4711:$TESTBED_GID" ] &&
    [ "$(cat "$shares/public/mine")" = written ] || fail "the user's file did not reach the server as theirs"
as "$u" cat /mnt/p/Server_Alive.txt >/dev/null || fail "the user cannot read the share"
! as "$o" cat /mnt/p/mine >/dev/null || fail "$o reads a share mounted with the default options ($(opts p))"
helper umount /mnt/p || fail "umount public"
mnt public p dir_mode=0755,file_mode=0644 && as "$o" cat /mnt/p/mine >/dev/null ||
    fail "$o cannot read a share widened with dir_mode=0755,file_mode=0644 ($(opts p))"
helper umount /mnt/p

# Root unmounts the user's share outside the helper and mounts it again at the same place (6.1 may hand out the same
# mount ID and device): the user's old record lets them unmount neither it nor the directory.
ids() { grep " /mnt/$1 " /proc/self/mountinfo | cut -d' ' -f1,3 | tr '\n' ' '; }
mnt public r && was=$(ids r) && umount /mnt/r && PASSWD=$SMB_PASSWORD mount -t cifs //127.0.0.1/public /mnt/r -o "username=$u" &&
    echo "kernel: the user's mount $was, root's at the same place $(ids r)" || fail "root's mount where the user's was"
helper umount /mnt/r; got=$? && told "the user unmounting root's later mount" $got
[ $got = 1 ] && mountpoint -q /mnt/r && umount /mnt/r && [ -d /mnt/r ] || fail "the user unmounted root's mount: $got"

# Servers as offices have them: a share that needs encryption, share names with a blank, "$" and umlauts.
mkdir -m 777 "$shares/Grüße" && printf '[enc]\npath = %s\nsmb encrypt = required\n[Grüße]\npath = %s\n' "$shares/public" \
    "$shares/Grüße" >>/etc/samba/smb.conf && reload eval '[[ $(smbclient -g -L 127.0.0.1 -N) == *"Disk|Grüße|"* ]]'
for share in enc "with space" 'hidden$' Grüße; do
    mnt "$share" "s$share"; got=$? && told "$share" $got
    [ $got = 0 ] && as "$u" ls "/mnt/s$share" >/dev/null && helper umount "/mnt/s$share" || fail "mount //127.0.0.1/$share"
done
pw=wrong mnt public p; got=$? && told "wrong password" $got && [ $got = 32 ] || fail "a wrong password gave $got, not 32"

# A silent server (SIGSTOP, as after a suspend or a VPN drop; tests/e2e.sh stops it under the window): the
# keep-alive's touch (killed after 5 s; the window waits 30 s), the mount listing and the helper's umount.
mnt public p && kill -STOP $(pgrep -x smbd) || fail "silent: mount"
timed timeout -s KILL 5 runuser -u "$u" -- touch /mnt/p/Server_Alive.txt 2>/dev/null; touch="$took s (exit $?)"
timed timeout -s KILL 30 mount >/dev/null && listing=$took && helper umount /mnt/p || fail "silent: umount"
echo "kernel: silent server: keep-alive touch $touch, mount listing $listing s, umount $took s"
! mountpoint -q /mnt/p && ! pgrep -x 'touch|u?mount.*' || fail "silent: still mounted, or processes left"
kill -CONT $(pgrep -x smbd)

# SMB1 only: the default fails; vers=1.0 in the options mounts.
sed -i 's/^\[global\]$/&\nserver min protocol = NT1\nserver max protocol = NT1/' /etc/samba/smb.conf &&
    reload smbclient -L 127.0.0.1 -N -m NT1 --option='client min protocol=NT1'
mnt public p; told "SMB1 only" $?
mnt public p vers=1.0 && as "$u" ls /mnt/p >/dev/null || fail "SMB1 only: vers=1.0 does not mount"
told "SMB1 only, vers=1.0" $? && helper umount /mnt/p

# Kerberos, the password empty: a mount uses its caller's own ticket, never root's (another principal here) nor
# another user's. A ticket that expired fails with mount's own words.
printf 'polkit.addRule(function(a, s) { if (s.user == "%s") return polkit.Result.YES; });\n' "$o" >/etc/polkit-1/rules.d/51-other.rules &&
    ready "polkitd to read the rule for $o" granted "$o" && echo "$KRB_ADMIN_PASSWORD" | kinit Administrator >/dev/null
dc=/var/lib/samba/dc && kinit() { printf '%s\n' "$KRB_PASSWORD" | runuser -u "$u" -- kinit "$@" "$KRB_USER" >/dev/null; }
krb() { # krb USER: USER's mount of the domain's share "krb" at /mnt/k (made by the helper), with Kerberos, no password
    local u=$1 && pw="" helper mount --create "//$KRB_SERVER/krb" /mnt/k "uid=$(id -u "$1"),gid=$(id -g "$1"),sec=krb5"
}
krb "$u"; got=$? && told "Kerberos, no ticket, root holding one" $got && [ $got = 32 ] || fail "no ticket: $got"
kinit && krb "$u" && [[ ,$(opts k), == *,sec=krb5,* && ,$(opts k), == *,cruid=4711,* ]] &&
    as "$u" sh -c 'echo krb >/mnt/k/mine && grep -qx krb /mnt/k/mine' || fail "Kerberos mount with the user's ticket"
smbclient "//$KRB_SERVER/krb" --use-kerberos=required -N -c "put /etc/hostname roots" >/dev/null 2>&1 # as Administrator
[ "$(stat -c %u $dc/krb/mine)" != "$(stat -c %u $dc/krb/roots)" ] || fail "the user's file was written with root's ticket"
helper umount /mnt/k && krb "$o"; got=$? && told "Kerberos, $o without a ticket" $got
[ $got = 32 ] || fail "$o mounted with $u's ticket"
kinit -l 4s && ready "the ticket to expire" eval "! runuser -u $u -- klist -s" && krb "$u"; got=$? && told "Kerberos, ticket expired" $got && [ $got = 32 ] ||
    fail "expired ticket: $got"

! grep -q ' cifs ' /proc/self/mounts || fail "shares still mounted: $(grep ' cifs ' /proc/self/mounts)"
[ "$failed" = 0 ] || { echo "kernel: $failed check(s) failed" >&2 && exit 1; }
echo "kernel: PASS"
