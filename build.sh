#!/bin/bash
# ./build.sh run     installs what is missing, builds, starts sharedeck
# ./build.sh test    installs what is missing, builds with warnings as errors,
#                    runs every test: unit, integration, end-to-end, then the
#                    same suite under AddressSanitizer and UBSan, then fuzzing
# ./build.sh packages run|test   prints the Debian packages each needs
set -euo pipefail
cd "$(dirname "$0")"

run_packages="cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins smbclient cifs-utils"
test_packages="$run_packages clang libclang-rt-14-dev samba iproute2 util-linux xvfb xdotool imagemagick dpkg-dev file desktop-file-utils python3-xlib"

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

build() { # build DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir"
}

case "${1:-}" in
packages)
    [ "${2:-}" = run ] && echo "$run_packages" || echo "$test_packages"
    ;;
run)
    install_missing $run_packages
    build build -DBUILD_TESTING=OFF
    exec ./build/sharedeck
    ;;
test)
    install_missing $test_packages
    build build-test -DSHAREDECK_WERROR=ON
    (cd build-test && ctest --output-on-failure)
    build build-asan -DSHAREDECK_WERROR=ON -DSHAREDECK_SANITIZE=ON
    (cd build-asan && ctest --output-on-failure)
    build build-fuzz -DSHAREDECK_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_CXX_COMPILER=clang++
    (cd build-fuzz && ctest --output-on-failure)
    ;;
*)
    sed -n '2,7p' "$0" >&2
    exit 2
    ;;
esac
