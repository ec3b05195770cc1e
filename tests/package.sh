#!/bin/bash
# package.sh BUILD_DIR: builds and checks the Debian package, runs it from a scratch root, and
# checks that installing again keeps an edited server.conf (cmake --install; dpkg -i in CI).
set -euo pipefail
build=$1
fail() { echo "package: $1" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps file ${CI:+desktop-file-validate}; do
    command -v "$tool" >/dev/null && continue
    [ "${CI:-}" = true ] && fail "$tool is missing (required in CI)"
    echo "SKIP: package: $tool is missing" >&2 && exit 77
done
tmp=$(mktemp -d /tmp/sharedeck-package.XXXXXX)
trap 'set +e; kill "${pid:-}" 2>/dev/null; rm -rf "$tmp"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp" >/dev/null
deb=$(echo "$tmp"/sharedeck_*.deb)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 smbclient cifs-utils; do
    dpkg-deb -f "$deb" Depends | grep -qw "$dep" || fail "Depends lacks $dep"
done
[ "$(dpkg-deb -I "$deb" conffiles)" = /usr/lib/sharedeck/server.conf ] || fail "server.conf is no conffile"
root=$tmp/root && dpkg-deb -x "$deb" "$root"
(cd "$root/usr/lib/sharedeck" && test -x sharedeck -a -s server.conf -a -s buttons/spot_on_green.png) ||
    fail "program directory incomplete"
[ "$(readlink "$root/usr/bin/sharedeck")" = ../lib/sharedeck/sharedeck ] || fail "launcher link is wrong"
file "$root/usr/share/icons/hicolor/128x128/apps/org.example.sharedeck.png" | grep -q '128 x 128' || fail "no icon"
! command -v desktop-file-validate >/dev/null ||
    desktop-file-validate "$root/usr/share/applications/org.example.sharedeck.desktop"

# Under offscreen a startup error box waits forever just like the main window;
# Qt's paint log tells them apart: the main window was drawn, no box was.
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=qt.widgets.painting=true "$root/usr/bin/sharedeck" 2>"$tmp/log" & pid=$!
for _ in $(seq 150); do grep -q ' of sharedeck(' "$tmp/log" && break; sleep 0.2; done
sleep 1 # room for a box that follows the first paint
kill -0 "$pid" && grep -q ' of sharedeck(' "$tmp/log" || fail "the installed program did not come up"
if grep -q QMessageBox "$tmp/log"; then fail "the installed program showed an error box"; fi

keeps_edit() { # keeps_edit CONF COMMAND...: installs, edits CONF, installs again
    "${@:2}" >/dev/null; echo edited.example.org >"$1"; "${@:2}" >/dev/null
    grep -qx edited.example.org "$1" || fail "${*:2} overwrote the edited $1"
}
keeps_edit "$tmp/dest/usr/lib/sharedeck/server.conf" env DESTDIR="$tmp/dest" cmake --install "$build" --prefix /usr
# In CI dpkg itself shows the conffile mark at work (never over a real install).
if [ "${CI:-}" = true ] && ! dpkg -s sharedeck >/dev/null 2>&1; then
    trap 'set +e; kill "$pid" 2>/dev/null; dpkg --purge sharedeck >/dev/null; rm -rf "$tmp"' EXIT
    keeps_edit /usr/lib/sharedeck/server.conf dpkg -i "$deb"
fi
