#!/bin/bash
# e2e.sh, run through testbed.sh with TESTBED_POLKIT: the installed program as a normal user in
# a real X server, mounting through the real pkexec, polkitd and helper, driven only by keys and
# clicks at the window's fixed positions, as a user does. Screenshots go to $E2E_SHOTS.
set -euo pipefail
skip() { # fails in CI, where every test must run
    [ "${CI:-}" = true ] && echo "e2e: $1 (required in CI)" >&2 && exit 1
    echo "SKIP: e2e: $1" >&2 && exit 77
}
[ -n "${TESTBED_HELPER:-}" ] || skip "needs the test bed with polkit: run through tests/testbed.sh with TESTBED_POLKIT"
for tool in Xvfb xdotool import convert; do command -v $tool >/dev/null || skip "$tool is not installed"; done
/usr/bin/python3 -c 'import Xlib' 2>/dev/null || skip "python3-xlib is not installed"

program=$(dirname "$TESTBED_HELPER")/sharedeck scratch=$(mktemp -d /tmp/sharedeck-e2e.XXXXXX) xvfb="" app="" main=""
shots=${E2E_SHOTS:-$scratch} && unset QT_QPA_PLATFORM && chmod 711 "$scratch" && cd "$scratch"
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
fail() {
    echo "e2e: FAIL: $*" >&2; tail -n 40 "$scratch/app.log" >&2 || true
    [ -z "$main" ] || shoot "$shots/e2e-failure.png"; exit 1
}
shoot() { timeout 10 import -window "$main" "$1"; } # import hangs on a window that is gone
# until_ok WHAT COMMAND...: polls COMMAND until it succeeds, for at most 30 s.
until_ok() {
    local what=$1 end=$((SECONDS + 30)) && shift
    until "$@"; do [ $SECONDS -lt $end ] && sleep 0.1 || fail "timed out waiting for: $what"; done
}

# The X socket stays in this mount namespace; test beds running side by side
# would all pick display :0. -ac: the users' programs may connect.
mkdir -p /tmp/.X11-unix && mount -t tmpfs -o mode=1777 e2e-x11 /tmp/.X11-unix
# -noreset: the server must not restart when the first program's end leaves it without clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset -ac 3>"$scratch/display" 2>/dev/null & xvfb=$!
until_ok "Xvfb to start" test -s "$scratch/display"
export DISPLAY=:$(head -n1 "$scratch/display")
# With AddressSanitizer: D-Bus and fontconfig under the X platform keep a few
# allocations to the end; any other leak fails with its own status.
printf 'leak:libdbus-1.so\nleak:libfontconfig.so\n' >"$scratch/lsan.supp"
export LSAN_OPTIONS="suppressions=$scratch/lsan.supp:exitcode=66"
echo "$SMB_SERVER" >"$(dirname "$program")/server.conf"

# close: no window manager, so send the message of the title bar's close button.
close() { /usr/bin/python3 -c 'import sys; from Xlib import display, protocol; d = display.Display(); a = d.intern_atom
w = d.create_resource_object("window", int(sys.argv[1])); w.send_event(protocol.event.ClientMessage(
    window=w, client_type=a("WM_PROTOCOLS"), data=(32, [a("WM_DELETE_WINDOW"), 0, 0, 0, 0]))); d.flush()' "$main"; }
findwin() { win=$(timeout 10 xdotool search --onlyvisible --name "^$1\$" | head -n1) && [ -n "$win" ]; }
# answer TITLE: Return in that box, then waits until it is gone (a modal box swallows a close).
answer() { until_ok "box $1" findwin "$1" && xdotool windowfocus --sync "$win" key Return && until_ok "$1 gone" gone "$1"; }
gone() { ! findwin "$1"; }
finish() { # finish STATUS
    until_ok "the program to end" eval '! kill -0 "$app" 2>/dev/null'
    local status=0 && wait "$app" || status=$?; app=""
    [ "$status" = "$1" ] || fail "exit status $status, expected $1"
}
# Positions in the 750x332 window, from the form: user name and password
# fields, "Load Shares", and row 0's button (table at 10,60 with 13 px row
# numbers, 18 px header, 30 px rows); row 0's status cell is at 666..716 x 79..109.
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
# status 1|-1: row 0's status picture is green (1) or red (-1).
status() {
    shoot "$scratch/shot.png" || return
    local d && d=$(convert "$scratch/shot.png" -crop 30x20+676+84 -format '%[fx:mean.g-mean.r]' info:)
    awk "BEGIN{exit !($1 * $d > 0.05)}"
}
# Mounted with the options of the user's row: the files belong to that user.
mounted() { findmnt -n -o OPTIONS -M /mnt/public | grep -qE "(^|,)uid=$(id -u "$SMB_USER")(,|\$)" && status 1; }
unmounted() { ! mountpoint -q /mnt/public && status -1; }
# start USER: the program as USER with a runtime folder of its own; types the
# account of the test bed and loads the shares.
start() {
    install -d -m 700 -o "$1" -g "$1" "$scratch/run-$1"
    XDG_RUNTIME_DIR=$scratch/run-$1 runuser -u "$1" -- "$program" 2>>"$scratch/app.log" & app=$!
    until_ok "main window" findwin sharedeck && main=$win
    xdotool windowfocus --sync "$main"
    click 585 22 && xdotool type "$SMB_USER"
    click 585 42 && xdotool type "$SMB_PASSWORD"
    click 335 32
    until_ok "the share table" status -1
}

echo "e2e: $SMB_USER: mount through pkexec, umount, mount, close and unmount all"
start "$SMB_USER"
cp "$scratch/shot.png" "$shots/window-table.png"
click 54 94
answer "sharedeck: fehlendes mount-Verzeichnis"
until_ok "public mounted" mounted
cp "$scratch/shot.png" "$shots/window-shares.png"
click 54 94
until_ok "public unmounted" unmounted
click 54 94
until_ok "public mounted again" mounted
close
answer "sharedeck: gemountete Verzeichnisse"
finish 0
# The stand-in for mount.cifs names each mount after its share.
! grep "^//$SMB_SERVER/" /proc/self/mounts || fail "shares are still mounted"

echo "e2e: $TESTBED_OTHER_USER, without the polkit rule: the refusal in a box, nothing mounted"
rmdir /mnt/public # the helper made it; the question comes again
start "$TESTBED_OTHER_USER"
click 54 94
answer "sharedeck: fehlendes mount-Verzeichnis"
answer "sharedeck: Fehler von mount"
[ ! -e /mnt/public ] || fail "the helper ran: /mnt/public exists"
close
finish 0
echo "e2e: PASS"
