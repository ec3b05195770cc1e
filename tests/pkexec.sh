#!/bin/bash
# pkexec.sh BUILD_DIR: that build's mount helper in the test bed, run through the real pkexec and polkitd against
# the real /mnt and mount table. A refusal exits 1 with one line "sharedeck-mount: ..." and changes neither.
set -u
[ -n "${TESTBED_HELPER:-}" ] || TESTBED_POLKIT=${1:?usage: pkexec.sh BUILD_DIR} exec "$(dirname "$0")/testbed.sh" "$0" "$@"

u=$SMB_USER o=$TESTBED_OTHER_USER opts=username=$SMB_USER,uid=4711,gid=4711 err=$TESTBED_DIR/stderr failed=0
# For a /mnt that is a symbolic link, a file or missing: a root of its own with the helper and mount (ldd
# names them and their libraries).
jail=$TESTBED_DIR/jail && mkdir -p "$jail"/{proc,etc,d/x} && cp /etc/passwd "$jail/etc/" && mount -t proc p "$jail/proc"
for f in $(ldd "$TESTBED_HELPER" /bin/mount | grep -o '/[^ :]*'); do cp --parents "$f" "$jail"; done
share() { mkdir -p "$2" && mount -t tmpfs -o "uid=${3:-4711},gid=${3:-4711}" "$1" "$2"; }
fixture() { # a fresh /mnt: empty x, a, "a\040b"; link to x, x bound on bound, a file, non-empty full; shares; tf
    mount -t tmpfs -o mode=755 pkexec-mnt /mnt && cd /mnt && mkdir x a 'a\040b' full bound && touch file tf full/f &&
        ln -s x link && mount --bind x bound && share "//127.0.0.1/a b" "a b" && share //x/y t && touch t/f &&
        mount --bind t/f tf && share //127.0.0.1/ab ab && share //127.0.0.1/s s && share none s && share ///v v &&
        share //w/ w && share plain plain && share //127.0.0.1/x other 4712 && pristine=$(state) || exit 1
}
state() { cat /proc/self/mountinfo && ls -lan --time-style=full-iso /mnt; }
call() { # call WHO ARGS...: the helper run by WHO (a user or root) through pkexec, or by root in the jail
    local who=$1 && shift && before=${before:-$(state)} # as the case's first call found it
    case $who in jail) chroot "$jail" "$TESTBED_HELPER" "$@" ;; *) runuser -u "$who" -- pkexec "$TESTBED_HELPER" "$@" ;;
    esac 2>"$err" < <(printf %s "${pw-$SMB_PASSWORD}") # the password: $pw, or the right one
}
mounted() { [[ $(findmnt -n -o SOURCE,OPTIONS -M "$1") == "//127.0.0.1/public "*nosuid,nodev*uid=4711,gid=4711* ]]; }
unmount() { call "${as:-$u}" umount "$1" && ! mountpoint -q "$1"; }
root_unmount() { as=root unmount "$1"; }
create() { call "${as:-$u}" mount --create //127.0.0.1/public "$1" "$opts" && mounted "$1" && unmount "$1"; }
existing() { call "$u" mount //127.0.0.1/public "$1" "$opts" && mounted "$1"; }
base() { $1 /mnt && create /mnt/new; }
jail() { $1 "$jail/mnt" && call jail mount //127.0.0.1/public /mnt/x "$opts"; }
sources() { pw=wrong call "$u" mount "$1" /mnt/x "$opts"; }
user_options() { pw=wrong call "$u" mount //127.0.0.1/public /mnt/x "$1"; }
root_options() { pw=wrong call root mount //127.0.0.1/public /mnt/x "$1"; }
unruled() { as=$o opts=username=$o,uid=4712,gid=4712 "${1%:*}" "${1#*:}"; }

set -f && fixture
while read -r status kind values; do
    [[ $status == [0-9]* ]] || continue
    for raw in $values; do
        v=$(printf '%bx' "$raw") && v=${v%x} && before="" && : >"$err"
        [[ $v == *\** ]] && v=${v%\**}$(printf "%0${v##*\*}d" 0)
        "$kind" "$v"; got=$? why=""
        [ "$got" = "$status" ] || why+=", exit status $got, expected $status"
        [ "$status" != 1 ] || [[ $(wc -l <"$err") == 1 && $(<"$err") == "sharedeck-mount: "* ]] || why+=", stderr"
        [ "$status" = 0 ] || [ "$before" = "$(state)" ] || why+=", mount table or /mnt changed"
        rm -f "$jail/mnt" && [ "$(state)" = "$pristine" ] || { cd / && umount -R /mnt && fixture; }
        [ -z "$why" ] && echo "ok: $kind $raw" && continue
        failed=$((failed + 1)) && echo "FAIL: $kind $raw: ${why#, }" >&2 && sed 's/^/  stderr: /' "$err" >&2
    done
done <<'CASES'
# STATUS KIND VALUES: KIND (a function above) runs once per value on fixture's /mnt, made anew after a change.
# Values are decoded with printf %b (\x20 a blank, \\ a backslash, \c the empty value); a final *N adds N zeros.
0 create /mnt/x /mnt/missing /mnt/*255
1 create /mnt/link /mnt/file /mnt/full /mnt/bound /mnt//x /mnt/x/ /mnt/./x /mnt/../mnt/x /mntx/y mnt/x /mnt/
1 create /mnt/. /mnt/.. /mnt/a\nb /mnt/a\x7f /MNT/x \x20/mnt/x /mnt/*256
0 existing /mnt/x
1 existing /mnt/missing /mnt/link /mnt/file /mnt/full
# /mnt writable by others or owned by another; in the jail a symbolic link (to d), a file or missing.
1 base chmod\x20775 chmod\x20757 chown\x204712
1 jail ln\x20-s\x20d touch true
# Sources and options that pass get the server's refusal of a wrong password: 32 passes through.
32 sources //127.0.0.1/public //srv/share //srv/with\x20space //10.0.0.1/x$ //srv/..x
1 sources \c //srv //srv/ ///x //srv/a/b //srv//x /srv/x \\\\srv\\x //-srv/x //srv/-x //s\x20rv/x //s,rv/x
1 sources //srv/a,b //s\\rv/x //srv/. //srv/.. //srv/a\tb //srv/a\x7f //s\nrv/x x//srv/y
32 user_options username=alice,gid=4711,uid=4711,sec=ntlmssp uid=4711,gid=4711,domain=CORP
# A user name "alice,uid=0" reaches the helper as two options.
1 user_options uid=0,gid=4711 uid=4711 gid=4711 uid=4711,gid=4712 uid=4711,gid=0 uid=4711,gid=4711,suid
1 user_options uid=4711,gid=4711,uid=4711 username=alice,uid=0,uid=4711,gid=4711
32 root_options username=alice uid=4711,gid=0 rw,ro,noperm,nobrl,serverino,noserverino,actimeo=30 username=*256
32 root_options username=a.b@c,domain=CORP,sec=krb5i,vers=3.1.1,file_mode=0644,dir_mode=755,iocharset=utf-8,cache=ro
32 root_options mapchars,nomapchars,seal,nounix
1 root_options password=x pass=x credentials=/etc/shadow cred=x setuids suid dev exec user=bob unknown=1 \c , rw,
1 root_options rw,,ro rw=1 username username= username=a\x20b username=a=b username=a\x01 RW nosuid rw,rw sec=ntlm
1 root_options username=alice%secret domain=a\x7f vers=3..1 vers=3.x vers=.3 cache=fast file_mode=08 file_mode=07777
1 root_options dir_mode= iocharset=utf\x208 actimeo=-1 actimeo=+1 uid=01000 actimeo=0x10 actimeo=4294967295
1 root_options username=*257
# "a b" comes escaped in mountinfo; t: uid= in the superblock only, as the stand-in mounts; tf: a file mount.
0 unmount /mnt/a\x20b /mnt/t
1 unmount /mnt/a\\040b /mnt/plain /mnt/other /mnt/a /mnt/s /mnt/x /mnt/missing /mnt/link /mnt/.. /mnt/.
0 root_unmount /mnt/a\x20b /mnt/t /mnt/other /mnt/ab
1 root_unmount /mnt/plain /mnt/s /mnt/a /mnt/a\\040b /mnt/v /mnt/w /mnt/tf
# No rule for this user: polkit refuses before the helper runs, even what the helper would grant.
127 unruled create:/mnt/new unmount:/mnt/other
CASES
[ "$failed" = 0 ] || { echo "pkexec: $failed case(s) failed" >&2; exit 1; }
