#!/bin/bash
# ./build.sh run     installs what is missing, builds, starts sharedeck
# ./build.sh test    installs what is missing, builds with warnings as errors,
#                    runs every test: unit, integration, end-to-end (with the package), kernel (in a VM),
#                    then unit and integration under AddressSanitizer and
#                    UBSan, then fuzzing
# ./build.sh demo    as run, then starts it against a private Samba server with
#                    sample shares; as root, or uses sudo for that part
# ./build.sh packages run|test|vm|bench   prints the Debian packages each needs (vm: for the
#                    kernel tests, installed without recommends; bench: for bench/run.sh)
# ./build.sh trixie  as root: builds with warnings as errors and runs the unit tests in a clean
#                    Debian 13 root (made once in build-trixie/ from the archive apt uses here)
set -euo pipefail
cd "$(dirname "$0")"

run_packages="cmake ninja-build g++ qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-qpa-plugins qtkeychain-qt6-dev libsecret-1-0 smbclient cifs-utils"
test_packages="$run_packages clang libclang-rt-dev appstream libmount-dev pkgconf samba iproute2 util-linux xvfb xdotool imagemagick dpkg-dev file desktop-file-utils python3-xlib pkexec dbus kmod cpio busybox-static samba-ad-provision samba-dsdb-modules winbind krb5-user keyutils fuse3 gnome-keyring libsecret-tools wsdd avahi-daemon avahi-utils"
# bench/run.sh: the test packages and its timers.
bench_packages="$test_packages hyperfine time"
# The VM of the kernel tests; without recommends, qemu would pull a graphical front end and firmware.
vm_packages="qemu-system-x86"

install_missing() { # [--no-install-recommends] PACKAGES...
    local missing=() options=()
    [ "${1:-}" != --no-install-recommends ] || { options=("$1") && shift; }
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${options[@]}" "${missing[@]}"
}

build() { # build DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir"
}

# Builds as "run" does; under sudo as the calling user where they may write build/, so it stays theirs.
build_as_invoker() {
    local as=() w=build && [ -e build ] || w=.
    [ -n "${SUDO_USER:-}" ] && sudo -u "$SUDO_USER" test -w $w && as=(sudo -u "$SUDO_USER")
    "${as[@]}" bash -c "$(declare -f build); set -e; build build -DBUILD_TESTING=OFF"
}

case "${1:-}" in
packages)
    case ${2:-} in run) echo "$run_packages" ;; vm) echo "$vm_packages" ;; bench) echo "$bench_packages" ;; *) echo "$test_packages" ;; esac
    ;;
run)
    install_missing $run_packages
    build build -DBUILD_TESTING=OFF
    exec ./build/sharedeck
    ;;
demo)
    [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || { echo "demo: no display (DISPLAY, WAYLAND_DISPLAY): start it in a desktop session" >&2; exit 1; }
    install_missing $run_packages samba iproute2 util-linux
    if [ "$(id -u)" != 0 ]; then
        build build -DBUILD_TESTING=OFF
        exec sudo --preserve-env=DISPLAY,XAUTHORITY,WAYLAND_DISPLAY,XDG_RUNTIME_DIR ./build.sh demo
    fi
    build_as_invoker
    [ -z "${SUDO_USER:-}" ] || export XAUTHORITY=${XAUTHORITY:-$(getent passwd "$SUDO_USER" | cut -d: -f6)/.Xauthority}
    # The user's Wayland socket by its full path: root's program gets a runtime folder of its own.
    [[ ${WAYLAND_DISPLAY:-/} = /* ]] || export WAYLAND_DISPLAY=${XDG_RUNTIME_DIR:-}/$WAYLAND_DISPLAY
    cifs="a stand-in for mount.cifs (no CIFS in this kernel): a mounted share is an empty tmpfs"
    if grep -qw cifs /proc/filesystems || modprobe cifs 2>/dev/null; then
        cifs="the kernel's CIFS" && export TESTBED_CIFS=kernel
    fi
    export TESTBED_USER=demo TESTBED_PASSWORD=demo
    echo "sharedeck demo - Server: 127.0.0.1  User: $TESTBED_USER  Password: $TESTBED_PASSWORD"
    echo "Mounting uses $cifs. Closing the window stops the server and removes everything."
    # Inside the test bed: a program directory of its own, /mnt a tmpfs of this mount namespace.
    exec tests/testbed.sh bash -c 'p=$TESTBED_DIR/sharedeck && mkdir -m 700 "$p" && cp -r build/sharedeck build/buttons "$p/" &&
        echo "$SMB_SERVER" >"$p/server.conf" && mount -t tmpfs sharedeck-demo /mnt || exit
        XDG_RUNTIME_DIR=$p "$p/sharedeck"; status=$?; umount -R /mnt; exit $status'
    ;;
trixie)
    [ "$(id -u)" = 0 ] || { echo "trixie: needs root (mmdebstrap, chroot)" >&2; exit 1; }
    install_missing mmdebstrap
    root=$PWD/build-trixie/root
    if [ ! -e "$root/etc/debian_version" ]; then
        archive=$(apt-get indextargets --format '$(REPO_URI)' 'Codename: bookworm' 'Label: Debian' | head -n1)
        rm -rf "$root" && mkdir -p build-trixie
        mmdebstrap --mode=root --variant=apt --include=ca-certificates trixie "$root" "${archive:-http://deb.debian.org/debian}"
    fi
    # The root bound onto itself, so that the test bed's namespaces work there; this tree appears as /src.
    mkdir -p "$root/src"
    exec unshare --mount --fork bash -c 'r=$1 && shift
        mount --bind "$r" "$r" && mount --bind "$PWD" "$r/src" && mount --rbind /dev "$r/dev" && mount -t proc proc "$r/proc" &&
        mount --rbind /sys "$r/sys" && mount -t tmpfs -o mode=1777 tmpfs "$r/tmp" && mount -t tmpfs -o mode=755 tmpfs "$r/run" || exit
        exec chroot "$r" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
            LANG=C.UTF-8 CI="${CI:-}" bash -c "$@"' x "$root" 'set -e; cd /src; export DEBIAN_FRONTEND=noninteractive
        apt-get update -q && for p in $(./build.sh packages test); do # wsdd: none in Debian 13
            apt-get install -s "$p" >/dev/null 2>&1 && set -- "$@" "$p" || echo "trixie: no package $p in Debian 13, left out"; done
        apt-get install -y -q "$@" >/dev/null
        cmake -S . -B build-trixie/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHAREDECK_WERROR=ON
        cmake --build build-trixie/test && cd build-trixie/test && ctest --output-on-failure -L unit'
    ;;
test)
    install_missing $test_packages
    install_missing --no-install-recommends $vm_packages
    build build-test -DSHAREDECK_WERROR=ON
    (cd build-test && ctest --output-on-failure -j2)
    # No optimisation or debug information: these builds only run tests.
    build build-asan -DSHAREDECK_WERROR=ON -DSHAREDECK_SANITIZE=ON -DCMAKE_BUILD_TYPE=
    (cd build-asan && ctest --output-on-failure -j2 -L 'unit|integration')
    build build-fuzz -DSHAREDECK_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=
    (cd build-fuzz && ctest --output-on-failure -j2)
    ;;
*)
    sed -n '2,12p' "$0" >&2
    exit 2
    ;;
esac
