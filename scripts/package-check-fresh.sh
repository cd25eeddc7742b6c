#!/usr/bin/env bash
# Installs a Patchferry .deb on a freshly made minbase Debian of the given release, as a user
# would (apt-get install --no-install-recommends ./patchferry_*.deb: whatever the program cannot
# work without must come in as a dependency), then runs the installed patchferry-cli on a real
# bank and starts the installed window on an Xvfb of the host with that bank, and checks that it
# lists the programs and that its toolbar shows its pictures, not just words.
#
# usage: package-check-fresh.sh <release> <deb>
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/debian-root.sh
source scripts/desktop-session.sh
release=$1
deb=$(realpath "$2")
root="$DEBIAN_ROOTS/$release-package"
out="$DEBIAN_ROOTS/$release-package-check"
rm -rf "$out" && mkdir -p "$out"

bank=../shared/realdata/ms2kif_synth_bank.syx
if [[ ! -f "$bank" ]]; then
    echo "(no real bank beside the clone: using a made-up one)"
    bank="$out/bank.syx"
    perl scripts/make-test-dump.pl 4C 5 "$bank"
fi

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    debian_root_leave
    debian_root_remove "$root"
}
trap cleanup EXIT


debian_root_fresh "$release" "$root"
debian_root_enter "$root"
cp "$deb" "$root/root/"
cp "$bank" "$root/root/bank.syx"
echo "Installing $(basename "$deb") on a fresh minbase Debian $release ..."
if ! debian_run "$root" sh -c "apt-get update -qq && apt-get install -y -qq --no-install-recommends \
        /root/$(basename "$deb")" >"$out/apt.log" 2>&1; then
    tail -n 30 "$out/apt.log" >&2
    echo "FAIL: the package does not install on Debian $release" >&2
    exit 1
fi
# shellcheck disable=SC2016 # dpkg-query's own format
echo "  installed: $(debian_run "$root" dpkg-query -W -f='${Package} ${Version}' patchferry)"

debian_run "$root" patchferry-cli list /root/bank.syx >"$out/list.txt"
rows=$(grep -cE '^\S+\s+[A-H]\s' "$out/list.txt" || true)
[[ "$rows" -eq 128 ]] || { head "$out/list.txt" >&2; echo "FAIL: patchferry-cli listed $rows programs, not 128" >&2; exit 1; }
echo "  patchferry-cli list: 128 programs"

# The window, on an X server of the host whose socket folder the system shares.
start_display "$out" "$out"
debian_run "$root" sh -c 'mkdir -p /root/run && chmod 700 /root/run &&
    XDG_RUNTIME_DIR=/root/run exec patchferry /root/bank.syx' >"$out/patchferry.log" 2>&1 &
pids+=($!)
window() { xdotool search --name '^Patchferry - \[bank\.syx\]$' 2>/dev/null | head -n 1; }
window_shown() { [[ -n "$(window)" ]]; }
if ! poll 30 window_shown; then
    cat "$out/patchferry.log" >&2
    echo "FAIL: the installed window did not show \"Patchferry - [bank.syx]\"" >&2
    exit 1
fi
win=$(window)
shot="$out/window.png"
# The toolbar's pictures are the only coloured things in the band under the menu bar: without
# them the buttons are grey words. Count strongly coloured pixels there once the window has
# been painted.
coloured() {
    import -window "$win" "$shot" 2>/dev/null || return 1
    local n
    # (ImageMagick 7, on Debian 13, prints a line of its own before the figure.)
    n=$(convert "$shot" -crop "x60+0+0" +repage -fx 'max(r,max(g,b))-min(r,min(g,b))>0.35' \
        -format '%[fx:round(mean*w*h)]' info: 2>/dev/null | tail -n 1) || return 1
    echo "$n" >"$out/coloured"
    [[ "$n" =~ ^[0-9]+$ ]] && ((n > 100))
}
if ! poll 15 coloured; then
    cat "$out/patchferry.log" >&2
    echo "FAIL: the toolbar shows $(cat "$out/coloured" 2>/dev/null || echo no) coloured pixels: no icons (screenshot $shot)" >&2
    exit 1
fi
echo "  window: \"$(xdotool getwindowname "$win")\", toolbar icons drawn ($(cat "$out/coloured") coloured pixels)"
echo "Debian $release: the package installs and runs."
