#!/bin/bash
# pkexec.sh BUILD_DIR: that build's mount helper, installed in the test bed and
# run by an unprivileged user through the real pkexec and polkitd, the
# password piped on standard input. Every case runs against the kernel mount
# table: what the helper refuses must leave it and /mnt unchanged.
set -u
[ -n "${TESTBED_HELPER:-}" ] || TESTBED_POLKIT=${1:?usage: pkexec.sh BUILD_DIR} exec "$(dirname "$0")/testbed.sh" "$0" "$@"

elsewhere=$TESTBED_DIR/elsewhere err=$TESTBED_DIR/stderr failed=0
mkdir -p "$elsewhere" /mnt/full /mnt/plain /mnt/other && : >"$err"
ln -s "$elsewhere" /mnt/link
touch /mnt/full/file
mount -t tmpfs testbed-plain /mnt/plain
mount -t tmpfs -o uid=4712,gid=4712 //127.0.0.1/x /mnt/other
state() { cat /proc/self/mountinfo; ls -A /mnt "$TESTBED_DIR"; }
u=$SMB_USER o=$TESTBED_OTHER_USER opts=uid=4711,gid=4711,sec=ntlmssp

# status  stderr starts with / state after  user  password  arguments
while read -r status expect user password args; do
    [[ -z $status || $status == \#* ]] && continue
    [ "$password" = good ] && password=$SMB_PASSWORD
    set -f && set -- $args && set +f
    before=$(state)
    printf '%s' "$password" | runuser -u "$user" -- pkexec "$TESTBED_HELPER" "$@" 2>"$err"
    got=$? why=""
    [ "$got" = "$status" ] || why+=", exit status $got, expected $status"
    case $expect in
    mounted) [ "$(findmnt -n -o SOURCE --mountpoint "${@: -2:1}")" = "${*: -3:1}" ] || why+=", not mounted" ;;
    unmounted) mountpoint -q "${@: -1}" && why+=", still mounted" ;;
    -) ;;
    *) [[ $(head -c 200 "$err") == "$expect"* ]] || why+=", stderr does not start with '$expect'" ;;
    esac
    [ "$expect" = sharedeck-mount: ] && [ "$(wc -l <"$err")" != 1 ] && why+=", not one line on stderr"
    [ "$status" = 0 ] || [ "$before" = "$(state)" ] || why+=", mount table or /mnt changed"
    if [ -n "$why" ]; then
        failed=$((failed + 1))
        printf 'FAIL: %s %s: %s\n' "$user" "$args" "${why#, }" >&2 && sed 's/^/  stderr: /' "$err" >&2
    else
        echo "ok: $user $args"
    fi
done <<CASES
0   mounted           $u      good   mount --create //127.0.0.1/public /mnt/public username=$u,$opts
0   unmounted         $u      -      umount /mnt/public
# The server's own refusal of a wrong password passes through.
32  mount             $u      wrong  mount //127.0.0.1/public /mnt/public username=$u,$opts
1   sharedeck-mount:  $u      good   mount --create //127.0.0.1/public $TESTBED_DIR/x username=$u,$opts
1   sharedeck-mount:  $u      good   mount //127.0.0.1/public /mnt/link username=$u,$opts
1   sharedeck-mount:  $u      good   mount //127.0.0.1/public /mnt/full username=$u,$opts
1   sharedeck-mount:  $u      good   mount --create //127.0.0.1/public /mnt/new username=$u,uid=0,gid=4711
1   sharedeck-mount:  $u      good   mount --create //127.0.0.1/public /mnt/new username=$u,$opts,setuids
# A user name "alice,uid=0" reaches the helper as two options.
1   sharedeck-mount:  $u      good   mount --create //127.0.0.1/public /mnt/new username=alice,uid=0,$opts
1   sharedeck-mount:  $u      -      umount /mnt/plain
1   sharedeck-mount:  $u      -      umount /mnt/other
# No rule for this user: polkit refuses before the helper runs, even for a
# request that the helper would grant.
127 -                 $o      good   mount --create //127.0.0.1/public /mnt/new username=$o,uid=4712,gid=4712
127 -                 $o      -      umount /mnt/other
CASES
[ "$failed" = 0 ] || { echo "pkexec: $failed case(s) failed" >&2; exit 1; }
