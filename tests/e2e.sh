#!/bin/bash
# e2e.sh BUILD_DIR: that build's Debian package, checked, installed in the test bed and run by a normal user in
# a real X server, mounting through the real pkexec, polkitd and helper, driven only by keys and clicks.
set -euo pipefail
fail() {
    echo "e2e: FAIL: $*" >&2 && tail -n 40 "${log:-/dev/null}" >&2
    # A window that did not end: what its processes wait in, and where its threads are.
    if [ -n "${app:-}" ] && kill -0 "$app" 2>/dev/null; then
        ps -e -o pid,ppid,stat,wchan:30,etime,args --forest >&2 || true
        for p in $(pgrep -x sharedeck); do ! command -v gdb >/dev/null || timeout 30 gdb -batch -p "$p" -ex 'thread apply all bt' 2>&1 | grep -E '^(Thread|#)' >&2; done
    fi
    [ -z "${main:-}" ] || shoot "$shots/e2e-failure.png"; exit 1
}
skip() { [ "${CI:-}" = true ] && fail "$1 (required in CI)"; echo "SKIP: e2e: $1" >&2 && exit 77; }
if [ -z "${TESTBED_HELPER:-}" ]; then
    for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli Xvfb xdotool import convert; do
        command -v $tool >/dev/null || skip "$tool is not installed"
    done
    /usr/bin/python3 -c 'import Xlib' 2>/dev/null || skip "python3-xlib is not installed"
    tmp=$(mktemp -d /tmp/sharedeck-e2e.XXXXXX) && trap 'rm -rf "$tmp"' EXIT
    deb=$(cpack --config "$1/CPackConfig.cmake" -G DEB -B "$tmp" >/dev/null && echo "$tmp"/sharedeck_*.deb)
    for dep in libqt6widgets6 libqt6gui6 libqt6core6 smbclient cifs-utils; do
        dpkg-deb -f "$deb" Depends | grep -qwE "$dep(t64)?" || fail "Depends lacks $dep" # t64: Debian 13's names
    done
    [ "$(dpkg-deb -I "$deb" conffiles)" = /usr/lib/sharedeck/server.conf ] || fail "server.conf is not the one conffile"
    dpkg-deb -x "$deb" "$tmp/root" && u=$tmp/root/usr && p=$tmp/root/usr/lib/sharedeck
    dpkg-deb -I "$deb" postinst | grep -q 'addgroup --system sharedeck' || fail "postinst does not create the group"
    grep -qF 'subject.local && subject.active && subject.isInGroup("sharedeck")' "$u/share/polkit-1/rules.d/50-sharedeck.rules" || fail "no group rule"
    test -x "$p/sharedeck" -a -s "$p/server.conf" -a -s "$p/buttons/spot_on_green.png" || fail "program directory"
    [ "$(readlink "$u/bin/sharedeck")" = ../lib/sharedeck/sharedeck ] || fail "launcher link is wrong"
    file "$u/share/icons/hicolor/128x128/apps/org.example.sharedeck.png" | grep -q '128 x 128' || fail "no icon"
    desktop-file-validate "$u/share/applications/org.example.sharedeck.desktop" || fail "invalid desktop file"
    appstreamcli validate-tree --no-net "$tmp/root" || fail "invalid AppStream metadata in the package"
    # Installing again keeps an edited server.conf.
    conf=$tmp/dest/usr/lib/sharedeck/server.conf && reinstall() { cmake --install "$1" --prefix /usr >/dev/null; }
    DESTDIR=$tmp/dest reinstall "$1"; echo edited.example.org >"$conf"
    DESTDIR=$tmp/dest reinstall "$1"; grep -qx edited.example.org "$conf" || fail "cmake --install overwrote $conf"
    for s in wsdd avahi-utils; do dpkg-deb -f "$deb" Suggests | grep -qw $s || fail "Suggests lacks $s"; done
    # With E2E_VM the test bed runs in the VM of the kernel tests; the package is built here, at full speed.
    # The LAN of the discovery journey on this machine's kernel; in the VM wsdd's Python alone would take long.
    [ -n "${E2E_VM:-}" ] || export TESTBED_LAN=1
    TESTBED_POLKIT=$deb ${E2E_VM:+"$(dirname "$0")/vm.sh" "$1"} "$(dirname "$0")/testbed.sh" "$0"
    exit
fi

shots=${E2E_SHOTS:-$TESTBED_DIR} log=$TESTBED_DIR/app.log main="" && unset QT_QPA_PLATFORM && cd "$TESTBED_DIR"
shoot() { timeout 10 nice -n 19 import -window "$main" "$1"; } # import hangs on a window that is gone; the
# screenshots the test polls for yield the CPU to the window they watch
until_ok() { # until_ok WHAT COMMAND...: polls COMMAND until it succeeds, for at most $bound s (E2E_BOUND, 30)
    local what=$1 end=$((SECONDS + ${bound:-${E2E_BOUND:-30}})) && shift
    until "$@"; do [ $SECONDS -lt $end ] && sleep 0.1 || fail "timed out waiting for: $what"; done
}
# The X socket stays in this mount namespace; -ac: the user's program may connect; -noreset: the server
# must not restart when the program's end leaves it without clients.
mkdir -p /tmp/.X11-unix && mount -t tmpfs -o mode=1777 e2e-x11 /tmp/.X11-unix
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset -ac 3>display 2>/dev/null &
until_ok "Xvfb to start" test -s display
# The journey's server is given by its IPv6 address, as smbd listens on ::1 too: listed (smbclient ends 1 after the
# list then) and mounted as //::1/SHARE. In the VM smbd answers on ::1 so slowly under emulation (26 s for a
# listing against 2 s on 127.0.0.1) that the journey there takes 127.0.0.1.
server=::1 && [ -z "${E2E_VM:-}" ] || server=127.0.0.1
export DISPLAY=:$(head -n1 display) && printf '%s\n127.0.0.2 \n' $server >/usr/lib/sharedeck/server.conf
# A server that takes the connection and never answers (as smbd stopped, or a VPN gone).
/usr/bin/python3 -c 'import socket; s = socket.create_server(("127.0.0.2", 445)); held = [s.accept() for _ in iter(int, 1)]' &

# close: no window manager, so send the message of the title bar's close button. Synced, not only flushed: an X
# server that sees the sender hang up before it read the request drops it, and the window never hears of it.
close() { /usr/bin/python3 -c 'import sys; from Xlib import display, protocol; d = display.Display(); a = d.intern_atom
w = d.create_resource_object("window", int(sys.argv[1])); w.send_event(protocol.event.ClientMessage(
    window=w, client_type=a("WM_PROTOCOLS"), data=(32, [a("WM_DELETE_WINDOW"), 0, 0, 0, 0]))); d.sync()' "$main"; }
findwin() { win=$(timeout 10 xdotool search --onlyvisible --name "^$1\$" | head -n1) && [ -n "$win" ]; }
gone() { ! findwin "$1"; }
# answer TITLE [KEY]: Return (or KEY) in that box, then waits until it is gone (a modal box swallows a close).
answer() { until_ok "box $1" findwin "$1" && xdotool windowfocus --sync "$win" key "${2:-Return}" && until_ok "$1 gone" gone "$1"; }
# pings FILE: asks the window for an answer (_NET_WM_PING) every 50 ms, and once stopped writes the longest wait that
# was the window's own: beside it a client that does nothing but answer is asked too, and what it waited (the machine
# busy, the probe or the X server not run) is taken off. Under emulation (E2E_VM) the time the window's thread ran or
# waited for a CPU meanwhile (/proc/PID/schedstat) is taken off too, when it is longer: there a freeze is the window
# waiting on something, as on a dead server. Qt answers to the root window for a window manager's eyes, so the probe
# stands in for one and maps what is asked. A question unanswered when the probe ends counts until then.
pings() { exec /usr/bin/python3 -c 'import signal, sys, threading, time; from Xlib import display, protocol, X
d, c = display.Display(), display.Display(); a = d.intern_atom; ping = a("_NET_WM_PING"); worst = [0, 0, 0]; t = None
d.screen().root.change_attributes(event_mask=X.SubstructureRedirectMask); signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
w, idle = (d.create_resource_object("window", i) for i in (int(sys.argv[1]), c.screen().root.create_window(0, 0, 1, 1, 0, 0).id))
pid, ran = w.get_full_property(a("_NET_WM_PID"), X.AnyPropertyType).value[0], [0.0]
def running():
    try: ran[0] = sum(map(int, open("/proc/%d/schedstat" % pid).read().split()[:2])) / 1e9 if sys.argv[3] else 0.0
    except OSError: pass
    return ran[0]
def answering():
    while True:
        e = c.next_event(); c.screen().root.send_event(protocol.event.ClientMessage(window=c.screen().root, client_type=e.client_type,
            data=e.data), event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask); c.flush()
c.flush(); threading.Thread(target=answering, daemon=True).start()
try:
    while True:
        t, waited, r = time.monotonic(), {}, running()
        for x in (w, idle): x.send_event(protocol.event.ClientMessage(window=x, client_type=a("WM_PROTOCOLS"), data=(32, [ping, 0, x.id, 0, 0])))
        while len(waited) < 2:
            d.flush(); e = d.next_event()
            if e.type == X.MapRequest: e.window.map()
            if e.type == X.ConfigureRequest: e.window.configure(x=e.x, y=e.y, width=e.width, height=e.height)
            if e.type == X.ClientMessage and e.data[1][2] in (w.id, idle.id): waited.setdefault(e.data[1][2], time.monotonic() - t)
        machine = max(waited[idle.id], running() - r)
        worst = [max(worst[0], waited[w.id] - machine), worst[1] + 1, max(worst[2], machine)]; t = None
        worst[1] == 1 and open(sys.argv[2] + ".up", "w").close(); time.sleep(0.05)
finally:
    late = time.monotonic() - (t or time.monotonic()) - (waited.get(idle.id, 0) if t else 0)
    print("%.2f s (%d answers; up to %.2f s taken off for the machine)" % (max(worst[0], late), worst[1], worst[2]))' "$main" "$1" "${E2E_VM:-}" >"$1"; }
# probe FILE: pings from the probe's first answer on; answered FILE: it ran, and the window never waited 1 s
probe() { rm -f "$1.up" && { pings "$1" & probing=$!; } && until_ok "the probe's first answer" test -e "$1.up"; }
answered() { grep -q answers "$1" && awk '{ exit !($1 < 1) }' "$1" || fail "the window did not answer for $(<"$1")"; }
# Positions in the 840x332 window, from the form: user name and password fields, "Passwort merken" at 690,30, "Load
# Shares", row 0's button (table at 10,60, 13 px row numbers, 18 px header, 30 px rows); row 0's status cell: 666..716 x 79..109.
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
status() { # status 1|-1 [ROW]: the status picture of row 0 (or ROW) is green (1) or red (-1)
    shoot shot.png || return
    local d && d=$(nice -n 19 convert shot.png -crop 30x20+676+$((84 + 30 * ${2:-0})) -format '%[fx:mean.g-mean.r]' info:)
    awk "BEGIN{exit !($1 * $d > 0.05)}"
}
# Mounted with the options of the user's row: the files belong to that user.
mounted() { [ "$(findmnt -n -o SOURCE -M /mnt/public)" = "//${1:-$server}/public" ] && findmnt -n -o OPTIONS -M /mnt/public | grep -qE "(^|,)uid=$(id -u "$SMB_USER")(,|\$)" && status 1; }
# unmounted [DIR ROW]: not in the mount table (a look at the path would hang on a dead share), row 0 (or ROW) red.
unmounted() { ! grep -q " ${1:-/mnt/public} " /proc/self/mountinfo && status -1 "${2:-0}"; }
works() { # works DIR: the user writes and reads a file there; the keep-alive (every 2 s here) touches its marker file
    local dir=$1 t && runuser -u "$SMB_USER" -- sh -c 'echo e2e >"$1/e2e.txt" && grep -qx e2e "$1/e2e.txt"' - "$dir" || fail "the user cannot write and read $dir"
    t=$(date +%s) && until_ok "the keep-alive's touch on $dir" eval '[ "$(stat -c %Y "$dir/Server_Alive.txt")" -gt $t ]'; }

install -d -m 700 -o "$SMB_USER" run
export SHAREDECK_NO_DISCOVERY=1 # for all journeys but the LAN's, whose chooser has found servers
start() { # a fresh window, the first keystrokes: the user name has the focus, Tab leads to the password
    SHAREDECK_KEEPALIVE_SECONDS=2 XDG_RUNTIME_DIR=$PWD/run runuser -u "$SMB_USER" -- /usr/bin/sharedeck 2>>"$log" & app=$!
    until_ok "main window" findwin sharedeck && main=$win && xdotool windowfocus --sync "$main"
    xdotool type "${1-$SMB_NAME}" && xdotool key Tab && xdotool type "${2-$SMB_PASSWORD}"
}
ended() { until_ok "the program to end" eval '! kill -0 $app 2>/dev/null' && { wait "$app" || fail "exit status $?, expected 0"; }; }

echo "e2e: a listing against a server that never answers, the window answering; closing ends it"
start && xdotool key shift+Tab shift+Tab shift+Tab Down && click 335 32
probe freeze-listing && sleep 4 && kill $probing && wait $probing || true
echo "e2e: longest wait for the window during the listing: $(<freeze-listing)" && close && ended
! pgrep -x smbclient >/dev/null || fail "smbclient still runs after closing"

# Kerberos: the user holds a ticket and leaves both fields empty; the domain's server is the third in the list.
if [ -n "${TESTBED_KERBEROS:-}" ]; then
    echo "e2e: Kerberos: $SMB_USER with a ticket, no password: list, mount, write, keep-alive, unmount; expired; none"
    echo $KRB_SERVER >>/usr/lib/sharedeck/server.conf && mnt=/mnt/krb && krb() { runuser -u "$SMB_USER" -- "$@"; }
    ticket() { printf '%s\n' "$KRB_PASSWORD" | krb kinit "$@" "$KRB_USER" >/dev/null; }
    load() { bound=${TESTBED_BOUND:-300} until_ok "the domain controller to list its shares" krb_lists && xdotool key shift+Tab shift+Tab shift+Tab Down Down &&
        click 335 32 && until_ok "the table" status -1 2; }
    t0=$SECONDS && ticket && start "" "" && load && click 54 154 && answer "sharedeck: fehlendes mount-Verzeichnis"
    until_ok "krb mounted" eval 'o=,$(findmnt -n -o OPTIONS -M $mnt), && [[ $o == *,sec=krb5,* && $o == *,cruid=4711,* ]] && status 1 2'
    works $mnt && sleep 0.5 && click 54 154 && until_ok "krb unmounted" unmounted $mnt 2
    # The ticket expires between the listing and the mount: the box says what to do.
    ticket -l 4s && until_ok "expiry" eval '! krb klist -s'
    sleep 0.5 && click 54 154 && answer "sharedeck: fehlendes mount-Verzeichnis" && answer "sharedeck: Fehler von mount"
    # No ticket: the box asks for user name and password.
    krb kdestroy && click 335 32 && until_ok "the box" eval '[ $(xdotool search --onlyvisible --name "^sharedeck\$" | wc -l) = 2 ]'
    xdotool key Return && close && ended && ! grep -q " $mnt " /proc/self/mountinfo || fail "Kerberos: still mounted"
    echo "e2e: the Kerberos journey took $((SECONDS - t0)) s"
fi

# The remembered password: the user's own session bus with gnome-keyring unlocked, a home of their own. Its passwords
# are new ones that no process inherited, fed on standard input only; a probe looks for them in every process's
# argv and environment meanwhile (only smbclient's environment may hold one) and afterwards in the files there.
keyring_journey() {
    local home=$TESTBED_DIR/home label="sharedeck: $SMB_NAME@$server" pw1='Erst,1%pw' pw2='Neu 2$%pw' bus passwd
    local as=(runuser -u "$SMB_USER" --) && install -d -m 700 -o "$SMB_USER" "$home"
    echo "e2e: remembered password: kept after a listing, filled in a new window, refused once changed, replaced, forgotten"
    passwd=$(sed "s#^\($SMB_USER\(:[^:]*\)\{4\}\):[^:]*#\1:$home#" /etc/passwd) && printf '%s\n' "$passwd" >/etc/passwd
    secret() { printf '%s\n%s\n' "$1" "$1" | smbpasswd -s "$SMB_USER" >/dev/null; }
    mapfile -t bus < <("${as[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=1) && export DBUS_SESSION_BUS_ADDRESS=${bus[0]}
    head -c 12 /dev/urandom | base64 | "${as[@]}" env XDG_RUNTIME_DIR=$PWD/run gnome-keyring-daemon --unlock --components=secrets >/dev/null
    until_ok "the Secret Service" eval '"${as[@]}" dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets | grep -q true'
    kept() { [ "$("${as[@]}" secret-tool lookup server "$label" user "${label#sharedeck: }")" = "$1" ] &&
        [ "$("${as[@]}" secret-tool search --all xdg:schema org.qt.keychain 2>/dev/null | grep -cxF "label = $label")" = "${2:-1}" ]; }
    typepw() { printf %s "$1" | xdotool type --file -; }
    filled() { shoot shot.png && awk "BEGIN{exit !($(convert shot.png -crop 150x14+500+35 -format '%[fx:mean]' info:) < 0.95)}"; }
    printf '%s\n' "$pw1" "$pw2" | /usr/bin/python3 -c 'import os, signal, sys
pws = [l.encode() for l in sys.stdin.read().split("\n") if l]; seen = set(); stop = []
# A flag, not an exception: one raised while a file object is closed would be swallowed, and the probe never end.
signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
while not stop:
    for p in filter(str.isdigit, os.listdir("/proc")):
        try:
            found = [w for w in ("cmdline", "environ") if any(pw in open("/proc/%s/%s" % (p, w), "rb").read() for pw in pws)]
            # Named after it was read, by the program it runs: a child of the window caught in its exec already has
            # the environment of the new program while its name is still that of the window, never the reverse.
            seen.update("%s of %s" % (w, os.path.basename(os.readlink("/proc/%s/exe" % p))) for w in found)
        except OSError: pass
print(" ".join(sorted(seen)) or "nowhere")' >secrets-seen & local probe=$!
    secret "$pw1" && start "$SMB_NAME" "" && typepw "$pw1" && click 700 42 && click 335 32 && until_ok "the table, box checked" status -1
    until_ok "the password kept as \"$label\"" kept "$pw1" && close && ended
    start "$SMB_NAME" "" && until_ok "the password filled" filled && click 335 32 && until_ok "the table, nothing typed" status -1 && close && ended
    secret "$pw2" && start "$SMB_NAME" "" && until_ok "the password filled" filled && click 335 32
    until_ok "the refused password taken out of the field" eval '! filled' && shoot "$shots/window-refused.png"
    click 585 42 && typepw "$pw2" && click 335 32 && until_ok "the table, the new password" status -1 && until_ok "the new password kept, replacing the old" kept "$pw2" && close && ended
    start "$SMB_NAME" "" && until_ok "the password filled" filled && click 700 42 && click 335 32 && until_ok "the table" status -1
    until_ok "the password forgotten" kept "" 0 && close && ended
    kill $probe && wait $probe || true
    [[ "$(<secrets-seen)" =~ ^(environ\ of\ smbclient|nowhere)$ ]] || fail "a password was seen in: $(<secrets-seen)"
    ! grep -rqsF -f <(printf '%s\n' "$pw1" "$pw2") "$home" /usr/lib/sharedeck "$PWD/run" || fail "a password was written to a file: $(grep -rlsF -f <(printf '%s\n' "$pw1" "$pw2") "$home" /usr/lib/sharedeck)"
    kill "${bus[1]}" && unset DBUS_SESSION_BUS_ADDRESS && secret "$SMB_PASSWORD"
    passwd=$(sed "s#^\($SMB_USER\(:[^:]*\)\{4\}\):[^:]*#\1:/nonexistent#" /etc/passwd) && printf '%s\n' "$passwd" >/etc/passwd
    echo "e2e: remembered password: seen in $(<secrets-seen)"
}
[ -n "${E2E_VM:-}" ] || keyring_journey

# Servers found on the test bed's LAN (TESTBED_LAN): Büro-NAS announced by WS-Discovery alone, nas2.local by DNS-SD
# and WS-Discovery. Both appear in the chooser after server.conf's lines (nas2.local once); nas2.local is chosen,
# listed, its share mounted through pkexec and the helper and unmounted; Büro-NAS's wsdd says goodbye and the
# entry goes once the chooser is opened again. The window answers within 1 s throughout; no discovery program
# is left after close. Before the journey below, which stops every smbd, the LAN's too.
if [ -n "${TESTBED_LAN:-}" ]; then
    echo "e2e: LAN: the servers announced on the network appear, one is listed, mounted and unmounted; one leaves"
    unset SHAREDECK_NO_DISCOVERY && t0=$(date +%s.%N)
    start && probe freeze-lan
    found() { grep -n "^sharedeck: found on the network: \"$1\" ($2)\$" "$log" | cut -d: -f1; }
    appeared() { [ -n "$(found "$1" "$2")" ] && echo "$1 after $(date +%s.%N | awk -v t="$t0" '{ printf "%.1f", $1 - t }') s" >>appeared; }
    : >appeared && until_ok "Büro-NAS in the chooser" appeared Büro-NAS 198.51.100.11
    until_ok "nas2.local in the chooser" appeared nas2.local 198.51.100.12
    echo "e2e: LAN: from the window's start: $(paste -sd, appeared)"
    [ "$(grep -c '(198.51.100.12)$' "$log")" = 1 ] || fail "nas2.local, seen both ways, is not in the chooser once"
    # The chooser holds server.conf's two lines, then the found ones in the order they came.
    [ "$(found nas2.local 198.51.100.12)" -gt "$(found Büro-NAS 198.51.100.11)" ] && downs="Down Down Down" || downs="Down Down"
    xdotool windowfocus --sync "$main" key shift+Tab shift+Tab shift+Tab $downs && click 335 32 && until_ok "the table of nas2.local" status -1
    click 54 94 && answer "sharedeck: fehlendes mount-Verzeichnis"
    until_ok "nas2.local's public mounted" mounted nas2.local ||
        fail "mounted $(findmnt -n -o SOURCE -M /mnt/public), not //nas2.local/public"
    works /mnt/public && sleep 0.5 && click 54 94 && until_ok "nas2.local's public unmounted" unmounted
    for p in $(ip netns pids h11); do ! grep -q wsdd /proc/$p/cmdline || kill $p; done
    click 175 32 # opening the chooser asks again
    until_ok "Büro-NAS gone from the chooser" grep -qx 'sharedeck: no longer on the network: "Büro-NAS"' "$log"
    xdotool key Escape
    ! grep -q 'no longer on the network: "nas2.local"' "$log" || fail "the selected nas2.local left the chooser"
    close && ended && kill $probing && wait $probing || true
    echo "e2e: LAN: longest wait for the window: $(<freeze-lan)"
    answered freeze-lan
    ! pgrep -u "$SMB_USER" -a 'wsdd|avahi-browse|getent|python3' || fail "discovery programs left behind"
    export SHAREDECK_NO_DISCOVERY=1
fi
echo "e2e: $SMB_USER as \"$SMB_NAME\": list, mount through pkexec, unmount, mount, Escape, server gone and back, close and unmount all"
start && bound=${TESTBED_BOUND:-300} until_ok "smbd to list its shares" lists "$SMB_SERVER" -N && xdotool key Return && until_ok "the share table" status -1
cp shot.png "$shots/window-table.png"
click 54 94 && answer "sharedeck: fehlendes mount-Verzeichnis"
until_ok "public mounted" mounted && cp shot.png "$shots/window-shares.png"
# The same in English, as LANG chooses it: a second window of the user's (the README shows both), then ended.
german=$main
LANG=en_US.UTF-8 XDG_RUNTIME_DIR=$PWD/run runuser -u "$SMB_USER" -- /usr/bin/sharedeck 2>>"$log" & english=$!
until_ok "the English window" eval 'main=$(xdotool search --onlyvisible --name "^sharedeck\$" | grep -vx "$german" | head -n1) && [ -n "$main" ]'
xdotool windowfocus --sync "$main" type "$SMB_NAME" && xdotool key Tab && xdotool type "$SMB_PASSWORD" && xdotool key Return
until_ok "the English table" status 1 && cp shot.png "$shots/window-shares-en.png" && kill $english && wait $english || true
main=$german && xdotool windowfocus --sync "$main"
works /mnt/public
# The second user lists in a window of their own: $SMB_USER's public is not theirs, red and its button disabled
# (greyer than row 1's "mount").
echo "e2e: $TESTBED_OTHER_USER's own window: $SMB_USER's mounted public shows as not available"
install -d -m 700 -o "$TESTBED_OTHER_USER" run-other && first=$main
XDG_RUNTIME_DIR=$PWD/run-other runuser -u "$TESTBED_OTHER_USER" -- /usr/bin/sharedeck 2>>"$log" & other=$!
until_ok "$TESTBED_OTHER_USER's window" eval 'main=$(xdotool search --onlyvisible --name "^sharedeck\$" | grep -vx "$first" | head -n1) && [ -n "$main" ]'
xdotool windowfocus --sync "$main" type "$SMB_NAME" && xdotool key Tab && xdotool type "$SMB_PASSWORD" && xdotool key Return
until_ok "$TESTBED_OTHER_USER's share table" status -1 1 && status -1 || fail "$SMB_USER's public shows as $TESTBED_OTHER_USER's"
grey() { convert shot.png -crop 40x14+34+$((87 + 30 * $1)) -format '%[fx:mean]' info:; }
awk "BEGIN{exit !($(grey 0) > $(grey 1) + 0.01)}" || fail "the button of another user's mount can be pressed"
cp shot.png "$shots/window-other-user.png" && close && until_ok "$TESTBED_OTHER_USER's window to end" eval '! kill -0 $other 2>/dev/null'
main=$first
# A press within the double-click interval after a row's command ended does nothing: wait it out.
# The mount point the helper made goes with the unmount, so mounting again asks for it again.
sleep 0.5 && click 54 94 && until_ok "public unmounted" unmounted && [ ! -e /mnt/public ] || fail "/mnt/public left behind"
sleep 0.5 && click 54 94 && answer "sharedeck: fehlendes mount-Verzeichnis" && until_ok "public mounted again" mounted
# Escape asks as closing does; No keeps the window and the share.
xdotool windowfocus --sync "$main" key Escape && answer "sharedeck: gemountete Verzeichnisse" Escape
findwin sharedeck && mounted || fail "Escape, then No: the window or the share is gone"

# The server goes away: stopped under two mounted shares, then silent (SIGSTOP, as after a suspend or a VPN drop)
# at close.
smbds() { pgrep -x smbd | tr '\n' ' '; }
sleep 0.5 && click 54 124 && answer "sharedeck: fehlendes mount-Verzeichnis" && until_ok "with space mounted" status 1 1
probe freeze-stopped && kill $(smbds)
# A failed unmount is noted and tried again once the server is back, so that the rest still runs.
t0=$SECONDS && sleep 0.5 && click 54 94 && until_ok "public unmounted, server stopped" eval 'unmounted || findwin "sharedeck: Fehler von mount"'
findwin "sharedeck: Fehler von mount" && fault="a row's unmount failed with the server stopped" && answer "sharedeck: Fehler von mount"
echo "e2e: server stopped: a row's unmount ${fault:+failed, }took $((SECONDS - t0)) s" && smbd -D
until_ok "smbd back" bash -c 'exec 3<>/dev/tcp/127.0.0.1/445' && runuser -u "$SMB_USER" -- ls "/mnt/with space" >/dev/null ||
    fail "the share left mounted over the outage does not work again"
[ -z "${fault:-}" ] || { sleep 0.5 && click 54 94 && until_ok "public unmounted, server back" unmounted; }
sleep 0.5 && click 54 94 && answer "sharedeck: fehlendes mount-Verzeichnis" && until_ok "public mounted, server back" mounted
sleep 0.5 && click 54 124 && until_ok "with space unmounted" status -1 1
kill $probing && wait $probing || true; probe freeze-silent && kill -STOP $(smbds)
t0=$SECONDS && close && answer "sharedeck: gemountete Verzeichnisse"
bound=$((3 * ${E2E_BOUND:-30})) until_ok "the program to end" eval '! kill -0 $app 2>/dev/null'
kill $probing && wait $probing || true; kill -CONT $(smbds)
echo "e2e: server silent: closing with Yes took $((SECONDS - t0)) s; longest wait for the window: $(<freeze-stopped)" \
    "with the server stopped, $(<freeze-silent) silent"
for f in freeze-listing freeze-stopped freeze-silent; do answered $f; done
wait "$app" || fail "exit status $?, expected 0"
! pgrep -x 'touch|u?mount.*' || fail "processes left behind"
# The stand-in for mount.cifs names each mount after its share.
! grep "^//$server/" /proc/self/mounts || fail "shares are still mounted"
[ -z "${fault:-}" ] || fail "$fault"
echo "e2e: PASS"
