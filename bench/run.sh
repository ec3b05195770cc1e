#!/bin/bash
# sharedeck's benchmarks: one table of medians, each beside its baseline and
# their ratio, all measured in this one run on this machine. Run as root:
#   sudo bench/run.sh
# Root runs the real-server rows inside tests/testbed.sh (a Samba server in
# private namespaces); without root they read "skipped". Debian packages:
# cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins hyperfine time, and for
# the real-server rows samba smbclient cifs-utils iproute2 util-linux.
# Timing: the dialog's figures come from the own QElapsedTimer loop of
# bench/driver.cpp, bare commands and start-up from hyperfine, peak memory
# from /usr/bin/time -f %M. Builds into build-bench; no figure fails the run.
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
drv() { "$bench/sharedeck_bench" "$@" 2>>"$tmp/log" || echo failed; }
# row WHAT VALUE BASELINE BASELINE-VALUE UNIT
row() { printf '%s\t%s\t%s\t%s\t%s\n' "$@" >>"$tmp/rows"; }
# A shell loop of N bare "mount" runs, whichever mount PATH finds first.
loop() { echo "for i in \$(seq $1); do mount; done >/dev/null"; }

if [ "${1:-}" = --real-server ]; then # inside testbed.sh, with tmp exported
    export PASSWD=$SMB_PASSWORD       # for the bare commands: never on a command line
    row "Load Shares to table (4 shares)" "$(drv load 15)" "bare smbclient -g -L" \
        "$(hf 15 "smbclient -g -U $SMB_USER -L $SMB_SERVER" --warmup 2)" ms
    dir=$TESTBED_DIR/bare
    mkdir -p "$dir"
    row "row button to green (mount)" "$(drv press 15)" "bare mount -t cifs" \
        "$(hf 15 "mount -t cifs //$SMB_SERVER/public $dir -o username=$SMB_USER,gid=1000,uid=1000,sec=ntlmssp" \
            --prepare "umount $dir 2>/dev/null || true")" ms
    exit 0
fi

cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DSHAREDECK_BENCH=ON >/dev/null
cmake --build "$root/build-bench" >/dev/null
tmp=$(mktemp -d)
export tmp
trap 'rm -rf "$tmp"' EXIT

"$root/tests/testbed.sh" "$root/bench/run.sh" --real-server 2>>"$tmp/log" ||
    row "Load Shares, row button (real server)" skipped "needs root and tests/testbed.sh" - ""

# Stand-ins: a mount as cheap as a program gets (sh printing a short listing),
# and smbclient printing N disk shares.
mkdir -p "$tmp/standin"
printf '%s\n' '#!/bin/sh' "echo 'proc on /proc type proc (rw)'" "echo '//srv/x on /mnt/x type cifs (rw)'" \
    >"$tmp/standin/mount"
chmod +x "$tmp/standin/mount"
shares() { # shares N: makes a directory with that smbclient and names it
    mkdir -p "$tmp/list$1"
    printf '#!/bin/sh\nexec /usr/bin/seq -f "Disk|share%%g|comment" %d\n' "$1" >"$tmp/list$1/smbclient"
    chmod +x "$tmp/list$1/smbclient"
    echo "$tmp/list$1"
}
for n in 1000 10000; do
    runs=$((n > 1000 ? 3 : 5)) list=$(shares $n)
    real=$(PATH=$list:$PATH drv load $runs $n)
    row "table of $n shares, real mount" "$real" "$n bare mount runs" "$(hf $runs "$(loop $n)")" ms
    row "table of $n shares, stand-in mount" "$(PATH=$list:$tmp/standin:$PATH drv load $runs $n)" \
        "$n bare stand-in runs" "$(PATH=$tmp/standin:$PATH hf $runs "$(loop $n)")" ms
    # PATH without mount: the table alone, no row's state tested.
    row "table of $n shares, no mount" "$(PATH=$list drv load $runs $n)" "same, real mount" "$real" ms
done
for n in 10 100 1000; do
    row "checkMounted over $n rows" "$(PATH=$(shares $n):$PATH drv check 10)" "$n bare mount runs" \
        "$(hf 10 "$(loop $n)")" ms
done

row "start to window shown, quit" "$(hf 30 "$bench/sharedeck_show" -N --warmup 3)" "empty QDialog, same build" \
    "$(hf 30 "$bench/minimal_show" -N --warmup 3)" ms
rss() {
    for _ in $(seq 9); do
        /usr/bin/time -f %M -o "$tmp/rss" "$1" 2>>"$tmp/log" && cat "$tmp/rss"
    done | sort -n | sed -n 5p
}
row "peak memory (max RSS)" "$(rss "$bench/sharedeck_show")" "empty QDialog, same build" \
    "$(rss "$bench/minimal_show")" KiB

awk -F'\t' 'BEGIN { printf "%-38s %13s   %-30s %13s %7s\n", "measurement", "sharedeck", "baseline", "", "ratio" }
    { ratio = ($2 + 0 > 0 && $4 + 0 > 0) ? sprintf("%.2f", $2 / $4) : "-"
      printf "%-38s %13s   %-30s %13s %7s\n", $1, $2 " " $5, $3, $4 " " $5, ratio }' "$tmp/rows"
if grep -q 'failed\|skipped' "$tmp/rows"; then
    echo "--- log:" && cat "$tmp/log"
fi >&2
