#!/bin/bash
# vm.sh BUILD_DIR COMMAND [ARGS...]
# Runs COMMAND as root inside a small VM booted from Debian's own kernel (it has the CIFS client this machine's
# kernel may lack) and exits with its status. The guest sees this machine's root file system read-only, with
# tmpfs overlays on /etc, /var, /tmp and /root, tmpfs on /run and /mnt, BUILD_DIR writable (logs and screenshots
# come out there), loopback only (-nic none), and cifs with the crypto it needs loaded. COMMAND starts in the
# current directory with CI, PATH, LANG and the TESTBED_*, E2E_* and KERNEL_* variables of the caller.
# The kernel package (the one linux-image-amd64 depends on) is fetched with apt-get download and unpacked into
# BUILD_DIR/vm once; nothing is installed. Software emulation (TCG): KVM guests hung in early boot here.
set -euo pipefail
skip() { [ "${CI:-}" = true ] && echo "vm: $1 (required in CI)" >&2 && exit 1; echo "SKIP: vm: $1" >&2 && exit 77; }
build=$(cd "${1:?usage: vm.sh BUILD_DIR COMMAND [ARGS...]}" && pwd) && shift && vm=$build/vm sum=$(cksum <"$0")
for tool in qemu-system-x86_64 depmod modprobe cpio busybox dpkg-deb; do
    command -v $tool >/dev/null || skip "$tool is not installed (packages qemu-system-x86, kmod, cpio, busybox-static)"
done
[ "$(id -u)" = 0 ] || skip "needs root (9p passthrough of the root file system)"
case "$build/ $PWD/" in /run/* | /mnt/* | *" /run/"* | *" /mnt/"*) skip "the guest has its own /run and /mnt: use a checkout elsewhere" ;; esac
busybox=$(command -v busybox) && file -L "$busybox" | grep -q 'statically linked' || skip "busybox is not static (busybox-static)"

# The kernel: the version linux-image-amd64 depends on, else whatever was unpacked before.
mkdir -p "$vm" && cd "$vm" && exec 9>lock && flock 9 # one preparation at a time
package=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n1)
if [ -n "$package" ] && [ ! -e "$package.done" ] && apt-get download "$package" >download.log 2>&1; then
    rm -rf root ./*.done initrd.gz && dpkg-deb -x ./linux-image-*.deb root && rm ./*.deb && touch "$package.done"
    # Debian 13 ships the modules under usr/lib/modules.
    [ -e root/lib ] || ln -s usr/lib root/lib
fi
kernel=$(ls root/boot/vmlinuz-* 2>/dev/null | head -n1) || true
[ -n "$kernel" ] || skip "no kernel: apt-get download ${package:-of the package linux-image-amd64 depends on} failed
$(cat download.log 2>/dev/null)"
version=${kernel##*/vmlinuz-}

# The initramfs: static busybox, the modules for 9p and overlay in the order modprobe gives, and /init; made
# again when this script changes.
if [ ! -s initrd.gz ] || [ "$(cat initrd.sum 2>/dev/null)" != "$sum" ]; then
    depmod -b root "$version"
    rm -rf initrd && mkdir -p initrd/{bin,newroot,rw,proc,dev} && cp "$busybox" initrd/bin/busybox
    for m in virtio_pci 9pnet_virtio 9p overlay; do modprobe -d root -S "$version" --show-depends $m; done | awk '$1 == "insmod" { print $2 }' |
        while read -r ko; do cp "$ko" initrd/ && echo "${ko##*/}"; done | awk '!seen[$0]++' >initrd/modules
    cat >initrd/init <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc && mount -t devtmpfs dev /dev
for ko in $(cat /modules); do insmod "/$ko"; done
out=$(sed 's/.*vm.out=\([^ ]*\).*/\1/' /proc/cmdline) job=$(sed 's/.*vm.job=\([^ ]*\).*/\1/' /proc/cmdline) n=/newroot
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose,ro root $n
mount -t tmpfs -o mode=755 rw /rw && mkdir -p /rw/etc/w /rw/etc/u /rw/var/w /rw/var/u /rw/tmp/w /rw/root/w && mkdir -m 1777 /rw/tmp/u
mkdir -m 700 /rw/root/u && for d in etc var tmp root; do mount -t overlay -o lowerdir=$n/$d,upperdir=/rw/$d/u,workdir=/rw/$d/w vm-$d $n/$d; done
for d in run mnt; do mount -t tmpfs -o mode=755 vm-$d $n/$d; done
mount -t proc proc $n/proc && mount -t sysfs sys $n/sys && mount -t devtmpfs dev $n/dev
ln -s /proc/self/fd $n/dev/fd && mkdir -p $n/dev/pts $n/dev/shm && mount -t devpts devpts $n/dev/pts && mount -t tmpfs -o mode=1777 shm $n/dev/shm
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 out "$n$out"
# Modules the kernel asks for (nls_utf8 for a share named in UTF-8, crypto) come from the unpacked package.
mkdir -p $n/run/vm && cp /bin/busybox $n/run/vm/ && echo /run/vm/modprobe >/proc/sys/kernel/modprobe
printf '#!/bin/sh\nexec /sbin/modprobe -d %s "$@"\n' "$out/vm/root" >$n/run/vm/modprobe && chmod +x $n/run/vm/modprobe
# The host's root becomes the root of all, the kernel's helpers included: /sbin/request-key for Kerberos mounts,
# and cifs.upcall, which enters the namespaces of the mount's caller, finds that caller's files there.
exec switch_root $n /run/vm/busybox sh -c '/bin/bash "$0/run" </dev/console >/dev/console 2>&1; echo $? >"$0/status"
sync && /run/vm/busybox poweroff -f' "$job"
INIT
    chmod +x initrd/init
    (cd initrd && find . | cpio -o -H newc --quiet | gzip -1) >initrd.gz.new && mv initrd.gz.new initrd.gz && rm -rf initrd && echo "$sum" >initrd.sum
fi
flock -u 9 && exec 9>&- && job=$(mktemp -d "$vm/job.XXXXXX") && trap 'rm -rf "$job"' EXIT

# The command, with its directory and environment, as a script in the writable share.
{
    echo "modprobe -d '$vm/root' -a cifs gcm ccm sha512 cmac ecb ctr ghash-generic || exit 125"
    printf 'cd %q || exit 125\n' "$OLDPWD"
    echo "export TESTBED_GUEST=1"
    for v in CI PATH LANG $(compgen -e | grep -E '^(TESTBED|E2E|KERNEL)_' || true); do printf 'export %s=%q\n' "$v" "${!v-}"; done
    printf 'exec'; printf ' %q' "$@"; echo
} >"$job/run"
fs() { args+=(-fsdev "local,id=$1,path=$2,security_model=passthrough,multidevs=remap$3" -device "virtio-9p-pci,fsdev=$1,mount_tag=$1"); }
args=() && fs root / ,readonly=on && fs out "$build" ""
# Output through the serial console; a bound for a guest that never powers off; no_timer_check, or a busy host panics it.
timeout -s KILL "${VM_TIMEOUT:-3000}" qemu-system-x86_64 -accel tcg -cpu max -smp 2 -m 2048 -nic none -no-reboot \
    -display none -monitor none -serial stdio -kernel "$kernel" -initrd initrd.gz \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 no_timer_check vm.out=$build vm.job=$job" "${args[@]}" \
    </dev/null | tr -d '\r' || true
[ -s "$job/status" ] || { echo "vm: the guest ended without the command's status" >&2 && exit 1; }
exit "$(cat "$job/status")"
