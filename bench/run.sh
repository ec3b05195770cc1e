#!/bin/bash
# sharedeck's benchmarks: one table of medians, each beside its baseline and
# their ratio, all measured in this one run on this machine. Run as root:
#   sudo bench/run.sh
# Root runs the real-server rows inside tests/testbed.sh (a Samba server in
# private namespaces, with polkit for the normal user's row); without root they
# read "skipped". As root they run once more, fewer times, on the real Linux CIFS client in the VM of the
# kernel tests (tests/vm.sh: qemu-system-x86 kmod cpio busybox-static). Debian packages:
# cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins hyperfine time, and for
# the real-server rows samba smbclient cifs-utils iproute2 util-linux pkexec dbus.
# Timing: the dialog's figures come from the own QElapsedTimer loop of
# bench/driver.cpp, which also times the bare mount that the tables and the
# state test are set against, in turns with them; the other bare commands and
# start-up from hyperfine, peak memory from /usr/bin/time -f %M. Builds into
# build-bench; no figure fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/build-bench/bench
export QT_QPA_PLATFORM=offscreen

# hf RUNS COMMAND [HYPERFINE OPTIONS...]: hyperfine's median in ms. The CSV's
# command column may hold commas, so the median is counted from the end.
hf() {
    local runs=$1 command=$2
    shift 2
    rm -f "$tmp/hf.csv"
    if hyperfine --runs "$runs" --style none --export-csv "$tmp/hf.csv" "$@" "$command" >>"$tmp/log" 2>&1; then
        awk -F, 'NR == 2 {printf "%.3f", $(NF - 4) * 1000}' "$tmp/hf.csv"
    else echo failed; fi
}
# drv ARGS...: the driver's median; as="runuser -u USER --" drv ... runs it as USER.
drv() { ${as:-} "$bench/sharedeck_bench" "$@" 2>>"$tmp/log" || echo failed; }
plus() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0 && b > 0) printf "%.3f", a + b; else print "failed" }'; }
# row WHAT VALUE BASELINE BASELINE-VALUE UNIT
row() { printf '%s\t%s\t%s\t%s\t%s\n' "$@" >>"$tmp/rows"; }

if [ "${1:-}" = --real-server ]; then # inside testbed.sh, with tmp exported; in the VM TESTBED_BENCH_* say it
    tmp=${TESTBED_BENCH_TMP:-$tmp} runs=${TESTBED_BENCH_RUNS:-15} on=${TESTBED_BENCH_ON:-}
    export PASSWD=$SMB_PASSWORD # for the bare commands: never on a command line
    row "Load Shares to table (real server)$on" "$(drv load $runs)" "bare smbclient -g -L" \
        "$(hf $runs "smbclient -g -U $SMB_USER -L $SMB_SERVER" --warmup 2)" ms
    # The stand-in for mount.cifs takes no environment beyond PATH and PASSWD, which the helper passes; as
    # root the window hands mount its own, so both root rows run mount through a wrapper that drops the rest.
    # The test bed's exported shell functions are no variables: they go by unset -f.
    mkdir -p "$tmp/clean" && printf '%s\n' '#!/bin/bash' 'for v in $(compgen -e); do' \
        '[[ $v = PATH || $v = PASSWD ]] || unset "$v"; done; for f in $(compgen -A function); do unset -f "$f"; done' \
        'exec /bin/mount "$@"' >"$tmp/clean/mount"
    chmod +x "$tmp/clean/mount"
    # Mount points as a user picks them: /mnt/NAME, root's for root, the user's own for the helper.
    dir=/mnt/bench-bare && mkdir -p "$dir" /mnt/bench-root && install -d -o "$SMB_USER" -g "$TESTBED_GID" /mnt/bench
    bare=$(hf $runs "$tmp/clean/mount -t cifs //$SMB_SERVER/public $dir -o username=$SMB_USER,gid=1000,uid=1000,sec=ntlmssp" \
        --prepare "umount $dir 2>/dev/null || true")
    row "row button to green (mount), root$on" "$(PATH=$tmp/clean:$PATH drv press $runs /mnt/bench-root)" \
        "bare mount -t cifs, root" "$bare" ms
    row "same, normal user: pkexec, helper$on" "$(as="runuser -u $SMB_USER --" drv press $runs /mnt/bench)" \
        "bare mount -t cifs, root" "$bare" ms
    exit 0
fi

cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DSHAREDECK_BENCH=ON >/dev/null
cmake --build "$root/build-bench" >/dev/null
# In the build directory: the VM below writes its rows there too.
tmp=$(mktemp -d "$root/build-bench/run.XXXXXX")
export tmp
trap 'rm -rf "$tmp"' EXIT

TESTBED_POLKIT=$root/build-bench "$root/tests/testbed.sh" "$root/bench/run.sh" --real-server 2>>"$tmp/log" ||
    row "Load Shares, row button (real server)" skipped "needs root, tests/testbed.sh, polkit" - ""
# The same rows on the real Linux CIFS client, in the VM of the kernel tests: under emulation only the ratios
# mean anything.
TESTBED_CIFS=kernel TESTBED_POLKIT=$root/build-bench TESTBED_BENCH_TMP=$tmp TESTBED_BENCH_RUNS=5 \
    TESTBED_BENCH_ON=" (VM)" "$root/tests/vm.sh" "$root/build-bench" "$root/tests/testbed.sh" "$root/bench/run.sh" \
    --real-server >>"$tmp/log" 2>&1 || row "the same in a VM, real kernel" skipped "needs root, qemu, a kernel" - ""

# A stand-in smbclient printing N disk shares.
shares() { # shares N: makes a directory with that smbclient and names it
    mkdir -p "$tmp/list$1"
    printf '#!/bin/sh\nexec /usr/bin/seq -f "Disk|share%%g|comment" %d\n' "$1" >"$tmp/list$1/smbclient"
    chmod +x "$tmp/list$1/smbclient"
    echo "$tmp/list$1"
}
# This machine's speed drifts by more than what is sought between a figure and its baseline, so the driver
# takes them in turns, run by run, and prints their medians: the table with mount, without it and a bare mount;
# the state test, a bare mount and mount through the window's runner alone (no window). One pass of the state
# test runs mount once, whatever the number of rows.
for n in 1000 10000; do
    runs=40 list=$(shares $n)
    read -r with alone bare < <(PATH=$list:$PATH drv tables $runs $n) || with=failed
    row "table of $n shares, real mount" "$with" "no-mount table + 1 bare mount" "$(plus "${alone:-}" "${bare:-}")" ms
    row "table of $n shares, no mount" "${alone:-failed}" "its stand-in smbclient alone" "$(hf $runs "$list/smbclient" -N)" ms
done
for n in 10 100 1000; do
    read -r test bare alone < <(PATH=$(shares $n):$PATH drv check 200) || test=failed
    row "state test over $n rows" "$test" "bare mount, timed in turns" "${bare:-failed}" ms
    row "state test over $n rows" "$test" "mount through its runner alone" "${alone:-failed}" ms
done

# The form alone is this window's floor; the empty QDialog is Qt's.
start=$(hf 30 "$bench/sharedeck_show" -N --warmup 3)
row "start to window shown, quit" "$start" "form alone in a QDialog" "$(hf 30 "$bench/form_show" -N --warmup 3)" ms
row "start to window shown, quit" "$start" "empty QDialog" "$(hf 30 "$bench/minimal_show" -N --warmup 3)" ms
rss() {
    for _ in $(seq 9); do
        /usr/bin/time -f %M -o "$tmp/rss" "$1" 2>>"$tmp/log" && cat "$tmp/rss"
    done | sort -n | sed -n 5p
}
peak=$(rss "$bench/sharedeck_show")
row "peak memory (max RSS)" "$peak" "form alone in a QDialog" "$(rss "$bench/form_show")" KiB
row "peak memory (max RSS)" "$peak" "empty QDialog" "$(rss "$bench/minimal_show")" KiB

awk -F'\t' 'BEGIN { printf "%-38s %13s   %-30s %13s %7s\n", "measurement", "sharedeck", "baseline", "", "ratio" }
    { ratio = ($2 + 0 > 0 && $4 + 0 > 0) ? sprintf("%.2f", $2 / $4) : "-"
      printf "%-38s %13s   %-30s %13s %7s\n", $1, $2 " " $5, $3, $4 " " $5, ratio }' "$tmp/rows"
if grep -q 'failed\|skipped' "$tmp/rows"; then
    echo "--- log:" && cat "$tmp/log"
fi >&2
