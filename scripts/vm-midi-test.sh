#!/usr/bin/env bash
# Runs patchferry-cli and the window from the build tree against the real Linux MIDI stack: boots
# Debian's own kernel in QEMU (software emulation), plugs in a USB MIDI interface made of the
# kernel's dummy USB controller and its USB MIDI gadget (so the host side is the ordinary
# snd-usb-audio driver), and runs the checks of scripts/vm/checks.sh inside it. The guest mounts
# this machine's file system read-only and runs everything from there, so nothing is copied.
#
# The kernel package is fetched once with apt-get download; what the guest needs of it is kept in
# BUILD/vm-kernel.
#
# usage: scripts/vm-midi-test.sh [build folder]   (default: build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cache="$build/vm-kernel"
out="$build/vm-midi-test"
started=$(date +%s)

for binary in "$build/tools/patchferry-cli" "$build/app/patchferry" "$build/tests/midi/seq_input_intruder"; do
    [[ -x "$binary" ]] || { echo "FAIL: $binary is not built" >&2; exit 1; }
done

# ---- The kernel: the package linux-image-amd64 points at, unpacked, never installed ----
# Kept: the kernel image and the modules the guest loads, listed in the order to load them.
# What the guest needs: the 9p file system over virtio, USB with the dummy controller and the MIDI
# gadget, and ALSA's sequencer with its MIDI, Midi Through and VirMIDI clients.
wanted=(virtio_pci 9pnet_virtio 9p configfs libcomposite usb_f_midi dummy_hcd snd-usb-audio
    snd-seq snd-seq-midi snd-seq-dummy snd-virmidi)
mkdir -p "$cache"
kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null | awk '$1 == "Depends:" { print $2; exit }'
}
package=$(kernel_package)
if [[ -z "$package" && $(id -u) -eq 0 ]]; then
    apt-get update -qq # a fresh machine may have no package lists yet
    package=$(kernel_package)
fi
[[ -n "$package" ]] || { echo "FAIL: apt-cache does not know linux-image-amd64" >&2; exit 1; }
kernel="$cache/$package"
if [[ ! -f "$kernel/modules/order" ]]; then
    # A newer kernel replaces the one kept from before.
    rm -rf "${cache:?}"/*
    (cd "$cache" && apt-get download -q "$package" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
    deb=$(ls "$cache"/"$package"_*.deb 2>/dev/null | head -n 1)
    [[ -n "$deb" ]] || { echo "FAIL: apt-get download $package fetched nothing" >&2; exit 1; }
    tree="$cache/unpacked"
    dpkg-deb -x "$deb" "$tree"
    # Debian 13's kernel package puts its modules under /usr/lib/modules, where an installed
    # system's /lib leads; depmod and modprobe look under lib/ of the tree.
    if [[ ! -d "$tree/lib/modules" && -d "$tree/usr/lib/modules" ]]; then
        mkdir -p "$tree/lib" && ln -s ../usr/lib/modules "$tree/lib/modules"
    fi
    release=$(ls "$tree/lib/modules")
    depmod -b "$tree" "$release"
    mkdir -p "$kernel/modules"
    cp "$tree/boot/vmlinuz-$release" "$kernel/vmlinuz"
    # modprobe lists each module after the ones it depends on.
    for module in "${wanted[@]}"; do
        modprobe -d "$tree" -S "$release" --show-depends "$module" | awk '$1 == "insmod" { print $2 }'
    done | awk '!seen[$0]++' | while read -r path; do
        cp "$path" "$kernel/modules/"
        basename "$path"
    done >"$kernel/modules/order.new"
    mv "$kernel/modules/order.new" "$kernel/modules/order"
    rm -rf "$tree" "$deb"
fi

# ---- The initramfs: busybox, the modules, and the script that runs as init ----
initrd_dir="$out/initrd"
rm -rf "$out"
mkdir -p "$initrd_dir"/{bin,proc,sys,dev,host,results} "$out/results"
cp /bin/busybox "$initrd_dir/bin/busybox"
cp "$root/scripts/vm/init" "$initrd_dir/init"
chmod +x "$initrd_dir/init"
cp -r "$kernel/modules" "$initrd_dir/modules"

# Where the guest finds the source tree and the build: the same paths as here. With
# PATCHFERRY_VM_MEMORY_FULL=1 the checks also time a backup and a write of 128 programs against the
# stand-in Radias, some five minutes more.
memory_full=0
[[ "${PATCHFERRY_VM_MEMORY_FULL:-}" == 1 ]] && memory_full=1
checks_seconds=$((900 + memory_full * 300))
cat >"$initrd_dir/config" <<EOF
ROOT='$root'
BUILD='$build'
MEMORY_FULL=$memory_full
CHECKS_SECONDS=$checks_seconds
EOF
(cd "$initrd_dir" && find . | cpio -o -H newc --quiet | gzip -1) >"$out/initrd.gz"

# ---- The test bank and what each send must deliver, made here where it is quick ----
expected="$out/results/expected"
mkdir -p "$expected"
perl "$root/scripts/vm/make-test-bank.pl" >"$expected/bank.syx"
for program in A1 A2 A3 A4 A5 A6 A7 A8 A9 A10 A11 B1 B2 B3 C1 C2 C3; do
    "$build/tools/patchferry-cli" convert "$expected/bank.syx" --program "$program" \
        -o "$expected/$program-1.syx" >/dev/null
done
for program in A1 A2; do
    "$build/tools/patchferry-cli" convert "$expected/bank.syx" --program "$program" --channel 3 \
        -o "$expected/$program-3.syx" >/dev/null
done
# The stand-in MS2000 holds a real bank, from the shared data beside the source tree.
real_bank="$root/../shared/realdata/ms2kif_synth_bank.syx"
[[ -f "$real_bank" ]] || { echo "FAIL: no real bank at $real_bank" >&2; exit 1; }
cp "$real_bank" "$expected/real-bank.syx"

# ---- Boot ----
console="$out/console.log"
set +e
timeout $((checks_seconds + 30)) qemu-system-x86_64 -accel tcg -m 1536 -smp 2 \
    -nographic -no-reboot -nic none -monitor none -serial "file:$console" \
    -kernel "$kernel/vmlinuz" -initrd "$out/initrd.gz" \
    -append "console=ttyS0 panic=-1 loglevel=4" \
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
    -virtfs local,path="$out/results",mount_tag=results,security_model=none \
    </dev/null >"$out/qemu.log" 2>&1
status=$?
set -e

results="$out/results/results.txt"
took=$(($(date +%s) - started))
if [[ -f "$results" ]]; then
    cat "$results"
fi
failed=0
if [[ $status -eq 124 ]]; then
    echo "FAIL: the VM did not finish within $((checks_seconds + 30)) s" >&2
    failed=1
elif [[ $status -ne 0 ]]; then
    echo "FAIL: qemu-system-x86_64 exited with $status" >&2
    cat "$out/qemu.log" >&2
    failed=1
fi
if [[ ! -f "$results" ]] || ! grep -q '^DONE' "$results"; then
    echo "FAIL: the checks did not run to their end" >&2
    failed=1
elif grep -q '^FAIL' "$results"; then
    failed=1
fi
if [[ $failed -ne 0 ]]; then
    echo "---- guest console (last 80 lines) ----" >&2
    tail -n 80 "$console" >&2 || true
    for log in "$out"/results/*.log "$out"/results/dmesg.txt; do
        [[ -f "$log" ]] || continue
        echo "---- $(basename "$log") (last 40 lines) ----" >&2
        tail -n 40 "$log" >&2
    done
    echo "The VM stage failed after $took s; everything the guest left is in $out/results" >&2
    exit 1
fi
echo "PASS: every check in the VM passed; the stage took $took s"
