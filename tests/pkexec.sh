#!/bin/bash
# pkexec.sh BUILD_DIR: that build's mount helper in the test bed, run through the real pkexec and polkitd against
# the real /mnt and mount table. A refusal exits 1 with one line "sharedeck-mount: ..." and changes neither.
set -u
[ -n "${TESTBED_HELPER:-}" ] || TESTBED_POLKIT=${1:?usage: pkexec.sh BUILD_DIR} exec "$(dirname "$0")/testbed.sh" "$0" "$@"

u=$SMB_USER o=$TESTBED_OTHER_USER g=$TESTBED_GID err=$TESTBED_DIR/stderr out=$TESTBED_DIR/stdout failed=0
opts=username=$SMB_USER,uid=4711,gid=$g,sec=ntlmssp
# For a /mnt that is a symbolic link, a file or missing: a root of its own with the helper and mount (ldd
# names them and their libraries).
jail=$TESTBED_DIR/jail && mkdir -p "$jail"/{proc,etc,run,dev,d/x} && cp /etc/passwd "$jail/etc/" && mount -t proc p "$jail/proc" &&
    mknod -m 666 "$jail/dev/null" c 1 3 && mknod -m 666 "$TESTBED_DIR/fuse" c 10 229 && mount --bind "$TESTBED_DIR/fuse" /dev/fuse # as Debian has it
for f in $(ldd "$TESTBED_HELPER" /bin/mount | grep -o '/[^ :]*'); do cp --parents "$f" "$jail"; done
share() { mkdir -p "$2" && mount -t tmpfs -o "uid=${3:-4711},gid=${3:-$g}" "$1" "$2"; }
fixture() { # a fresh /mnt: root's empty x, a, "a\040b"; the user's empty mine and standin-*, the other's o; a link to
    # mine, x bound on bound, a file, the user's non-empty full; shares, "r b" and sub recorded as the helper's, q and d
    # with a wrong ID or device
    mount -t tmpfs -o mode=755 pkexec-mnt /mnt && cd /mnt && mkdir x a 'a\040b' full bound mine o standin-{hang,nosuid} &&
        chown 4711:$g mine full standin-hang standin-nosuid && chown 4712:4712 o && touch file tf full/.f && ln -s mine link && mount --bind x bound &&
        share "//127.0.0.1/a b" "a b" && share //x/y t && touch t/f && mount --bind t/f tf && share //127.0.0.1/ab ab &&
        share //127.0.0.1/s s && share none s && share ///v v && share //w/ w && share plain plain && share //127.0.0.1/x other 4712 &&
        share "//127.0.0.1/r b" "r b" && share //127.0.0.1/q q && share //127.0.0.1/d d && share //127.0.0.1/sub sub 47110 &&
        pristine=$(state) && awk -v OFS='\t' '$5 == "/mnt/r\\040b" { print $1, $3, 4711, "//127.0.0.1/r b", "/mnt/r b", 0, "-" }
            $5 == "/mnt/q" { print 1, $3, 4711, "//127.0.0.1/q", $5, 0, "-" } $5 == "/mnt/d" { print $1, "0:1", 4711, "//127.0.0.1/d", $5, 0, "-" }
            $5 == "/mnt/sub" { print $1, $3, 47110, "//127.0.0.1/sub", $5, 0, "-" }' /proc/self/mountinfo >/run/sharedeck/mounts || exit 1
}
state() { cat /proc/self/mountinfo && ls -lan --time-style=+ /mnt; }
helper() { timeout -s KILL "${guard:-60}" runuser -u "$1" -- pkexec "$TESTBED_HELPER" "${@:2}"; }
call() { # call WHO ARGS...: the helper run by WHO (a user or root) through pkexec, or by root in the jail
    local who=$1 && shift && before=${before:-$(state)} # as the case's first call found it
    case $who in jail) chroot "$jail" "$TESTBED_HELPER" "$@" ;; *) helper "$who" "$@" ;;
    esac 2>"$err" >"$out" < <(printf %s "${pw-$SMB_PASSWORD}") # the password: $pw, or the right one
    local got=$? && sed -i '/^$/d; /^(process:[0-9]*): GLib-CRITICAL/d' "$err" && return $got # pkexec: an argument not in UTF-8
}
mounted() { # private unless the options widen it: dir_mode= is the stand-in's tmpfs mode, file_mode= its file's
    local m=${modes:-700:600} && [[ $(findmnt -n -o SOURCE,OPTIONS -M "$1") == "//127.0.0.1/public "*nosuid,nodev*mode=${m%:*},uid=4711,gid=$g* ]] &&
        [ "$(stat -c %a "$1/Server_Alive.txt")" = "${m#*:}" ]
}
unmount() { call "${as:-$u}" umount "$1" && ! mountpoint -q "$1"; }
root_unmount() { as=root unmount "$1"; }
create() { # made for the user, theirs (seen below the share through a bind of /mnt alone), gone with the unmount
    local b=$TESTBED_DIR/below && mkdir -p "$b" && call "${as:-$u}" mount --create //127.0.0.1/public "$1" "$opts" || return
    mounted "$1" && mount --bind /mnt "$b" || return 2
    [ "$(stat -c %u:%g:%a "$b/${1#/mnt/}")" = 4711:$g:755 ]; local got=$? && umount "$b" && [ $got = 0 ] && unmount "$1" && [ ! -e "$1" ]
}
created() { pw=wrong call "$u" mount --create "${src:-//127.0.0.1/public}" "$1" "$opts"; }
unreachable() { src=//127.0.0.2/public created "$1"; }
existing() { call "$u" mount //127.0.0.1/public "$1" "$opts" && mounted "$1"; }
base() { $1 /mnt && create /mnt/new; }
jail() { $1 "$jail/mnt" && call jail mount //127.0.0.1/public /mnt/x "$opts"; }
sources() { pw=wrong call "$u" mount "$1" /mnt/mine "$opts"; }
user_options() { pw=wrong call "$u" mount //127.0.0.1/public /mnt/mine "$1"; }
ticket() { pw= call "$u" mount //127.0.0.1/public /mnt/mine "username=$u,$1"; } # no password: no PASSWD at all
user_mounts() { call "$u" mount //127.0.0.1/public /mnt/mine "username=$u,$1" && modes=${2-} mounted /mnt/mine; }
widened() { local m=${1#0} && user_mounts "sec=ntlmssp,dir_mode=${1%:*},file_mode=${1#*:}" "${m/:0/:}"; }
root_options() { pw=wrong call root mount //127.0.0.1/public /mnt/x "$1"; }
unruled() { as=$o opts=username=$o "${1%:*}" "${1#*:}"; }
hung() { # a share whose server is gone: looking at its mount point hangs, so only mountinfo may be read
    before=$(state) && mkdir "$1" && exec 3<>/dev/fuse && mount -i -t fuse -o fd=3,rootmode=40000,user_id=0,group_id=0 //x/hung "$1"
    call root umount "$1" 3>&-; local got=$? && grep -q " $1 " /proc/self/mountinfo && got=2
    exec 3<&- && umount -c -l "$1" 2>/dev/null; rmdir "$1" && return $got
}
stalled() { before=$(state) && helper "$u" mount //127.0.0.1/public "$1" "$opts" 2>"$err" >"$out" < <(exec sleep 600); }
race() { # a caller holds its standard input open while another mounts at $1: it must then find a mount point there
    local fifo=$TESTBED_DIR/fifo && before=$(state) && rm -f "$fifo" && mkfifo "$fifo" &&
        { helper "$u" mount //127.0.0.1/public "$1" "$opts" <"$fifo" >"$out" 2>"$err.1" & } && local a=$! && exec 4>"$fifo" &&
        ready "the helper that waits for its standard input to run" test -s "$out" || return 2
    call "$u" mount //127.0.0.1/public "$1" "$opts" 4>&- && printf %s "$SMB_PASSWORD" >&4 && exec 4>&- && wait $a
    local got=$? && mv "$err.1" "$err" && umount "$1" && return $got; return 2
}
hostage() { # standard error that blocks every write, a full pipe nobody reads (fifo) or the terminal of a background job
    # with tostop (tty): the helper's refusal of /mnt/x cannot make it wait, and root's own mount goes ahead at once
    local p=$TESTBED_DIR/p st=$TESTBED_DIR/status got && rm -f "$p" "$st" "$p.done" && mkfifo "$p" || return 2
    local run="runuser -u $u -- pkexec $TESTBED_HELPER mount //127.0.0.1/public /mnt/x $opts >$out <$p.pw; echo \$? >$st"
    printf %s "$SMB_PASSWORD" >"$p.pw" && exec 6<>"$p" && head -c 65536 /dev/zero >"$p" &&
        if [ "$1" = fifo ]; then eval "($run) 2>$p 6<&- &"
        else SHELL=/bin/bash script -qec "set -m; stty tostop; ($run) & until [ -e $p.done ]; do sleep 0.1; done" /dev/null \
            </dev/null >/dev/null 6<&- & fi
    local bg=$! && ready "the helper behind the blocking standard error to run" test -s "$out"
    for _ in $(seq 30); do [ -s "$st" ] && break || sleep 0.1; done # from here a sound helper refuses at once
    pw=$SMB_PASSWORD call root mount //127.0.0.1/public /mnt/a "username=$u"; got=$?
    touch "$p.done" && exec 6<&- && ready "the helper behind the blocking standard error to end" eval '[ -s "$st" ] && ! kill -0 $bg'
    kill -9 $(kids $bg) $bg 2>/dev/null; { wait $bg; } 2>/dev/null; [ $got = 0 ] && [ "$(<"$st")" = 1 ]
}
stuck() { # /mnt a FUSE mount whose server never answers: the helper, holding the lock, hangs in the kernel opening it until
    # its watchdog ends it; root's own mount then goes ahead at once
    exec 3<>/dev/fuse && mount -i -t fuse -o fd=3,rootmode=40000,user_id=0,group_id=0 //x/stuck /mnt || return 2
    before=- call "$u" mount //127.0.0.1/public /mnt/mine "$opts" 3>&-; local got=$? && grep -q '25 s' "$err" || got=2
    exec 3<&- && umount -l /mnt && pw=$SMB_PASSWORD call root mount //127.0.0.1/public /mnt/a "username=$u" && [ $got = 1 ]
}
remount() { # ulimit -f 0 (pkexec keeps the caller's limits) on the user's mount or unmount, or root unmounts without the
    # helper: each is done whole or refused with nothing done (where the helper may not lift the limit), and no record
    # is left by which root's later mount of the share at the same place would be the user's
    lim() { [ "$1" = "$2" ] || { call "$u" "${@:2}"; return; } # through a pipe, as the window reads it
        (ulimit -f 0 && helper "$u" "${@:2}" < <(printf %s "$SMB_PASSWORD")) 2>&1 | cat >"$err"; return "${PIPESTATUS[0]}"
    }
    on() { mountpoint -q /mnt/mine && echo on; }
    lim "$1" mount //127.0.0.1/public /mnt/mine "$opts"; case $?:$(on) in 0:on) ;; 1:) existing /mnt/mine || return 2 ;; *) return 2 ;; esac
    if [ "$1" = root ]; then umount /mnt/mine; else lim "$1" umount /mnt/mine; fi
    case $?:$(on) in 0: | 1:on) ;; *) return 2 ;; esac
    umount -q /mnt/mine; share //127.0.0.1/public /mnt/mine && { call "$u" umount /mnt/mine; [ $? = 1 ]; } && mountpoint -q /mnt/mine
}
many() { # the user has $1 more shares recorded (besides "r b"), then mounts one more
    local i && for i in $(seq "$1"); do share //127.0.0.1/public "m$i" || return 2; done &&
        awk -v OFS='\t' '$5 ~ /^\/mnt\/m[0-9]+$/ { print $1, $3, 4711, "//127.0.0.1/public", $5, 0, "-" }' /proc/self/mountinfo >>/run/sharedeck/mounts &&
        existing /mnt/mine
}
kids() { local p && for p in $(pgrep -P "$1"); do echo "$p" && kids "$p"; done; }
front() { # front PID: the helper's front below PID, if it runs
    local p && for p in $(kids "$1"); do [ "$(cat /proc/$p/comm 2>/dev/null)" = sharedeck-mount ] && echo "$p" && return; done; return 1
}
hanging() { # hanging PID: waits until the stand-in's hanging mount.cifs runs below PID, its process group then in group
    group="" && hung() {
        local p && for p in $(kids "$1"); do [ "$(cat /proc/$p/comm 2>/dev/null)" = sleep ] && group=$(ps -o pgid= -p "$p" | tr -d ' '); done; [ -n "$group" ]; }
    ready "the stand-in for mount.cifs to hang below $1" hung "$1"
}
hang() { # mount.cifs never answers: the helper ignores signals, its bound ends it and everything it started
    before=$(state) && { helper "$u" mount //127.0.0.1/public "$1" "$opts" 2>"$err" >"$out" < <(printf %s "$SMB_PASSWORD") & }
    local bg=$! p && hanging $bg && p=$(ps -o ppid= -p "$group" | tr -d ' ') && for s in INT TERM HUP QUIT TSTP PIPE; do kill -s $s $p; done
    wait $bg; local got=$? && ! pgrep -g "${group:-1}" >/dev/null && grep -q '25 s' "$err" && return $got; return 2
}
late() { # the caller reads "authorised" 40 s late (a full pipe), then sends the password: the mount still gets its 25 s
    local p=$TESTBED_DIR/late && rm -f "$p" "$p.in" && mkfifo "$p" "$p.in" && exec 6<>"$p" 7<>"$p.in" && before=$(state) &&
        head -c 65536 /dev/zero >&6 && { guard=90 helper "$u" mount --create //127.0.0.1/public "$1" "$opts" <"$p.in" >&6 2>"$err" 6>&- 7>&- & }
    local bg=$! && ready "the helper behind the full pipe to run" front $bg && sleep 40 && head -c 65536 <&6 >/dev/null && head -n 1 <&6 >"$out" && printf %s "$SMB_PASSWORD" >&7
    exec 6>&- 7>&- && wait $bg
}
beside() { # a mount that hangs holds up no other: root's, or the same user's elsewhere, is done while it still hangs
    { helper "$u" mount //127.0.0.1/public /mnt/standin-hang "$opts" >/dev/null 2>&1 < <(printf %s "$SMB_PASSWORD") & }
    local bg=$! got=2 && hanging $bg && case $1 in root) pw=$SMB_PASSWORD call root mount //127.0.0.1/public /mnt/a "username=$u" ;;
        *) existing /mnt/mine ;; esac && got=$? && { hanging $bg || got=2; }
    kill -9 $(kids $bg) 2>/dev/null; wait $bg; return $got
}
crowd() { # $1 of the user's mounts at once, each on a directory of its own, leave at most 100 mounts
    local i bg=() n=0 && for i in $(seq "$1"); do install -d -o 4711 -g "$g" "/mnt/c$i" || return 2
        helper "$u" mount //127.0.0.1/public "/mnt/c$i" "$opts" >"$out.$i" 2>"$err.$i" < <(printf %s "$SMB_PASSWORD") & bg+=($!)
    done && wait "${bg[@]}"
    for i in $(seq "$1"); do mountpoint -q "/mnt/c$i" && n=$((n + 1)) || grep -q 'schon 100 Freigaben' "$err.$i" || n=999; done
    mv "$out.1" "$out" && rm -f "$err".* "$out".* && [ $n -le 100 ] || { echo "$n mounts (999: another refusal)" >&2 && return 1; }
}
sched() { # what pkexec hands on of the caller's scheduling is gone in the helper: class, nice value, CPUs, I/O, timer slack
    local p=$TESTBED_DIR/sched pid seen w=() && case $1 in idle) w=(chrt -i 0) ;; nice) w=(nice -n 19) ;; cpu) w=(taskset -c 0) ;;
        io) w=(ionice -c 3) ;; slack) w=(python3 -c 'import ctypes, subprocess, sys
ctypes.CDLL(None).prctl(29, ctypes.c_ulong(10**10)); sys.exit(subprocess.call(sys.argv[1:]))') ;; # a child's default too
    esac && rm -f "$p" && mkfifo "$p" && exec 8<>"$p" && before=$(state) || return 2
    { runuser -u "$u" -- "${w[@]}" pkexec "$TESTBED_HELPER" umount /mnt/mine <"$p" >"$out" 2>"$err" 8>&- & } && local bg=$!
    ready "the helper with the caller's scheduling to run" test -s "$out" && pid=$(front $bg)
    seen=$(ps -o cls=,ni= -p "$pid" && grep Cpus_allowed_list "/proc/$pid/status" && ionice -p "$pid" && cat "/proc/$pid/timerslack_ns")
    exec 8>&- && wait $bg; local got=$? && [ "$seen" = "$plain" ] && return $got
    echo "helper's scheduling: $seen" | tr '\n' ' ' >&2 && return 2
}
plain=$(printf ' TS   0\n%s\nnone: prio 0\n50000' "$(taskset -c "$(</sys/devices/system/cpu/possible)" grep Cpus_allowed_list /proc/self/status)")
stacked() { call "$u" mount --create //127.0.0.1/public "$1" "$opts"; } # the stand-in lets the user stack a FUSE mount there

set -f && fixture
while read -r status kind values; do
    [[ $status == [0-9]* && " ${PKEXEC_SKIP:-} " != *" $kind "* ]] || continue
    for raw in $values; do
        v=$(printf '%bx' "$raw") && v=${v%x} && before="" && : >"$err" && : >"$out"
        [[ $v == *\** ]] && v=${v%\**}$(printf "%0${v##*\*}d" 0)
        "$kind" "$v"; got=$? why=""
        [ "$got" = "$status" ] || why+=", exit status $got, expected $status"
        [ "$status" != 1 ] || [[ $(wc -l <"$err") == 1 && $(<"$err") == "sharedeck-mount: "* ]] || why+=", stderr"
        [ "$status" = 0 ] || [ "$before" = "$(state)" ] || why+=", mount table or /mnt changed"
        [ "$status" = 127 ] || [ "$(<"$out")" = "sharedeck-mount: authorised" ] || why+=", stdout"
        rm -f "$jail/mnt" && [ "$(state)" = "$pristine" ] || { cd / && umount -R /mnt && fixture; }
        [ -z "$why" ] && echo "ok: $kind $raw" && continue
        failed=$((failed + 1)) && echo "FAIL: $kind $raw: ${why#, }" >&2 && sed 's/^/  stderr: /' "$err" >&2
    done
done <<'CASES'
# STATUS KIND VALUES: KIND (a function above) runs once per value on fixture's /mnt, made anew after a change.
# Values are decoded with printf %b (\x20 a blank, \\ a backslash, \c the empty value); a final *N adds N zeros.
# A user mounts on an empty directory of their own, or on one that --create makes (theirs, removed again when
# the mount fails), never on root's (x) or another user's (o).
0 create /mnt/missing /mnt/*255 /mnt/a\x20c /mnt/\xc3\xa4
1 create /mnt/x /mnt/mine /mnt/link /mnt/file /mnt/full /mnt/bound /mnt//x /mnt/x/ /mnt/./x /mnt/../mnt/x /mntx/y mnt/x /mnt/
1 create /mnt/. /mnt/.. /mnt/a\nb /mnt/a\x7f /MNT/x \x20/mnt/x /mnt/*256 /mnt/-rf /mnt/.x /mnt/\xff /mnt/a\xc3 /mnt/r\x20b
32 created /mnt/new /mnt/\x20 /mnt/*248
32 unreachable /mnt/new
0 existing /mnt/mine
1 existing /mnt/x /mnt/o /mnt/missing /mnt/link /mnt/file /mnt/full /mnt/ab /mnt /mn /m / \c
# The stand-in drops nosuid,nodev there: the mount is found out and undone.
1 existing /mnt/standin-nosuid
# /mnt writable by others or owned by another; in the jail a symbolic link (to d), a file or missing.
1 base chmod\x20775 chmod\x20757 chown\x204712
1 jail ln\x20-s\x20d touch true
# Sources and options that pass get the server's refusal of a wrong password: 32 passes through.
32 sources //127.0.0.1/public //srv/share //srv/with\x20space //10.0.0.1/x$ //srv/..x //::1/x //fe80::1/x //a_b.example-1.org/x //fe80::1%lo/x //fe80::1%2/x
1 sources \c //srv //srv/ ///x //srv/a/b //srv//x /srv/x \\\\srv\\x //-srv/x //srv/-x //s\x20rv/x //s,rv/x //srv./x //[::1]/x
1 sources //srv/a,b //s\\rv/x //srv/a\\b //srv/. //srv/.. //srv/a\tb //srv/a\x7f //s\nrv/x x//srv/y //s"rv/x //1::2::3/x //fe80::1%/x //fe80::1%lo%1/x //srv%lo/x //1.2.3.4%lo/x //fe80::1%a\x20b/x //fe80::1%xxxxxxxxxxxxxxxx/x
32 user_options username=alice,gid=4700,uid=4711,sec=ntlmssp uid=4711 gid=4700 domain=CORP username=John\x20Smith username=J\xc3\xb6rg
32 user_options domain=\xc3\x84rger-1 username=a.b_c-d$@e sec=krb5i,cruid=4711 file_mode=777,dir_mode=0755 vers=3.1.1,rw
# A user name "alice,uid=0" reaches the helper as two options; libmount reads a quote as the start of a quoted value.
1 user_options uid=0 uid=47110 uid=471 gid=4711 gid=47000 gid=0 uid=4711,uid=4711 username=alice,uid=0 cruid=0 sec=krb5,cruid=4712
1 user_options username=u,file_mode=4755,domain="x,uid=4711,gid=4700 username=u,domain=" username=a'b username=a\x22b domain=a%b
1 user_options username=a\x20\x20b username=\x20a username=a\x20 domain=a\x20b username=a\\b username=a=b username=\xff username=a\xc3
1 user_options file_mode=4755 dir_mode=1777 file_mode=01777 suid forceuid noforceuid
# With or without sec= Kerberos gets the caller's cruid=; uid= and gid= come from the helper. A share is the user's
# alone (700 and 600) unless they widen it.
0 user_mounts uid=4711,gid=4700,sec=krb5 sec=ntlmssp nounix
0 widened 0755:0644 777:666
32 ticket sec=krb5 sec=krb5i
32 root_options username=alice uid=4711,gid=0 rw,ro,noperm,nobrl,serverino,noserverino,actimeo=30 username=*256 username=a\x20b
32 root_options username=a.b@c,domain=CORP,sec=krb5i,vers=3.1.1,file_mode=0644,dir_mode=755,iocharset=utf-8,cache=ro
32 root_options mapchars,nomapchars,seal,nounix cruid=0
1 root_options password=x pass=x credentials=/etc/shadow cred=x setuids suid dev exec user=bob unknown=1 \c , rw, cruid=4711
1 root_options rw,,ro rw=1 username username= username=a=b username=a\x01 RW nosuid rw,rw sec=ntlm file_mode=4755
1 root_options username=alice%secret domain=a\x7f vers=3..1 vers=3.x vers=.3 cache=fast file_mode=08 file_mode=07777
1 root_options dir_mode= iocharset=utf\x208 actimeo=-1 actimeo=+1 uid=01000 actimeo=0x10 actimeo=4294967295
1 root_options username=*257
# A user unmounts only what the helper recorded for them, tied by mount ID and device ("r b"), not by source or uid=
# (t, q, d), and never root's later mount at the same place; at most 100 at a time.
0 unmount /mnt/r\x20b
1 unmount /mnt/t /mnt/q /mnt/d /mnt/sub /mnt/a\x20b /mnt/a\\040b /mnt/plain /mnt/other /mnt/a /mnt/s /mnt/x /mnt/missing /mnt/link /mnt/..
0 remount mount umount root
0 many 98
1 many 99
0 root_unmount /mnt/a\x20b /mnt/t /mnt/other /mnt/ab
1 root_unmount /mnt/plain /mnt/s /mnt/a /mnt/a\\040b /mnt/v /mnt/w /mnt/tf
0 hung /mnt/hung
# Standard input held open: refused after 10 s, and checked only once it has come (race). The bound on the input
# ends with it: sent 40 s late, it still gets the mount its 25 s (late).
1 stalled /mnt/mine
1 race /mnt/mine
1 hang /mnt/standin-hang
1 late /mnt/standin-hang-late
# No mount waits on another's: root's and the user's own go ahead beside a hung one; 101 at once leave at most 100.
0 beside root user
0 crowd 101
# What pkexec hands on of the caller's scheduling is the helper's no longer.
1 sched idle nice cpu io slack
# A FUSE mount the user stacks on the new share (named like it, or not) fails the mount, and all of it goes.
1 stacked /mnt/standin-stack-same /mnt/standin-stack-fuse
# Nothing the caller does to its standard error makes the helper wait holding the lock, nor anything in the kernel.
0 hostage fifo tty
0 stuck /mnt
# No rule for this user: polkit refuses before the helper runs, even what the helper would grant.
127 unruled create:/mnt/new unmount:/mnt/r\x20b
CASES
[ "$failed" = 0 ] || { echo "pkexec: $failed case(s) failed" >&2; exit 1; }
