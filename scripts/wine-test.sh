#!/usr/bin/env bash
# Runs the Windows build under Wine: the unit tests and the window's Qt tests of the cross build
# through CTest (on an X display of their own, which the tests on the real windows platform need),
# then patchferry-cli.exe end to end next to the Linux build, on files in folders named in German,
# Greek and Japanese. The listings and the dumps must be byte for byte the Linux build's; a send
# without a MIDI device must be refused with WinMM's own text. Last, the installer and the window
# it installs, driven on a desktop (scripts/wine-desktop-test.sh).
#
# Usage: scripts/wine-test.sh [Windows build folder] [Linux build folder]
#        (defaults: build-windows, made here with scripts/cross-build-windows.sh, and build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(realpath -m "${1:-$root/build-windows}")
linux=$(realpath -m "${2:-$root/build}")
started=$SECONDS

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ -x "$wine" ] || { echo "wine-test: no Wine loader (Debian: wine64)" >&2; exit 1; }
[ -x "$linux/tools/patchferry-cli" ] || { echo "wine-test: no Linux build in $linux" >&2; exit 1; }

"$root/scripts/cross-build-windows.sh" "$win" >/dev/null
exe="$win/tools/patchferry-cli.exe"

# Wine spells Windows names on the Linux side in the locale's character set: without a UTF-8
# locale (CI may have none set) no name outside ASCII can be stored at all.
export LC_ALL=C.UTF-8

# A throw-away prefix. Without Mono, Gecko and the sound drivers it is made in seconds, and the
# host's ALSA cannot chatter into what the programs print.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv=d"
WINEPREFIX=$(mktemp -d /tmp/patchferry-wine.XXXXXX)
work=$(mktemp -d /tmp/patchferry-wine-work.XXXXXX)
pids=()
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT
# The display comes first: Wine's desktop process starts with the prefix and keeps its display.
# shellcheck source=scripts/desktop-session.sh
source "$root/scripts/desktop-session.sh"
start_display "$work" "$work"
"$wineserver" -p  # one server for the whole stage, not one started for each short run
"$wine" wineboot -i >"$work/wineboot.log" 2>&1 || {
  cat "$work/wineboot.log"
  echo "wine-test: could not make the Wine prefix"
  exit 1
}
# One Wine desktop for all the tests, a virtual one: Wine places, sizes and activates windows in it
# itself, as Windows does, where an X window manager would have its own say. It is opened here and
# kept open, since a desktop opened by a test would hold CTest's output until it closed itself,
# seconds after the test.
"$wine" explorer /desktop=Default,1280x800 >"$work/desktop.log" 2>&1 &
pids+=($!)
echo "Wine prefix ready after $((SECONDS - started)) s"

echo "-- unit and Qt tests of the Windows build"
ctest --test-dir "$win" --output-on-failure
grep -h -e '^\[==========\] .* ran' -e '^Totals: ' "$win/Testing/Temporary/LastTest.log" || true

echo "-- patchferry-cli.exe next to the Linux build"
cd "$work"
mkdir -p "Bänke – Sommer" "Ήχοι/Πλήκτρα" "音色"
"$root/scripts/make-test-dump.pl" 4C 1 "Bänke – Sommer/Flächen & Bässe.syx"
"$root/scripts/make-test-dump.pl" 50 2 "Ήχοι/Πλήκτρα/Όλα τα προγράμματα.syx"
"$root/scripts/make-test-dump.pl" 40 3 "音色/シンセ・リード.syx"
printf 'not a dump' >"音色/壊れた.syx"
files=("Bänke – Sommer/Flächen & Bässe.syx" "Ήχοι/Πλήκτρα/Όλα τα προγράμματα.syx" "音色/シンセ・リード.syx")

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# run NAME ARGS...: both builds with the same arguments, standard output and error kept apart.
# Windows writes "\r\n" on the text stream stderr; compared without the "\r".
run() {
  local name=$1
  shift
  set +e
  "$linux/tools/patchferry-cli" "$@" >"$name.linux.out" 2>"$name.linux.err"
  echo $? >"$name.linux.status"
  "$wine" "$exe" "$@" >"$name.win.out" 2>"$name.win.err.raw"
  echo $? >"$name.win.status"
  set -e
  tr -d '\r' <"$name.win.err.raw" >"$name.win.err"
}
# same NAME: the runs agree on output, errors and exit status.
same() {
  local name=$1 part
  for part in out err status; do
    if ! cmp -s "$name.linux.$part" "$name.win.$part"; then
      fail "$name: the Windows build's $part differs from the Linux build's"
      diff <(od -c "$name.linux.$part") <(od -c "$name.win.$part") | head -n 20 || true
    fi
  done
}

run list-all list "${files[@]}"
same list-all
[ "$(wc -l <list-all.win.out)" -eq 257 ] || fail "list-all: $(wc -l <list-all.win.out) rows, not 257"
grep -q "^Flächen & Bässe	A	001	" list-all.win.out || fail "list-all: no row labelled Flächen & Bässe"
grep -q "^Όλα τα προγράμματα	H	016	" list-all.win.out || fail "list-all: no row labelled in Greek"
grep -q "^シンセ・リード	A	001	" list-all.win.out || fail "list-all: no row labelled in Japanese"

run list-sorted list --sort 0 --find a "${files[@]}"
same list-sorted
run list-one list "${files[2]}"
same list-one
grep -q "^シンセ・リード	A	001	" list-one.win.out || fail "list-one: $(cat list-one.win.out)"

# As a Windows user types it: backslashes, and a drive (Wine's Z: is the Linux root).
"$wine" "$exe" list '音色\シンセ・リード.syx' "Z:${work//\//\\}\Bänke – Sommer\Flächen & Bässe.syx" \
  >backslash.win.out 2>&1 || fail "list with backslashes: $(cat backslash.win.out)"
cut -f1 backslash.win.out | sort -u | tr '\n' '|' | grep -qx "Flächen & Bässe|シンセ・リード|" ||
  fail "list with backslashes: labels were $(cut -f1 backslash.win.out | sort -u | tr '\n' '|')"

run list-broken list "${files[0]}" "音色/壊れた.syx"
same list-broken
[ "$(cat list-broken.win.err)" = "Failed to parse Syx file 壊れた. File is not a valid Korg Syx File" ] ||
  fail "list-broken: stderr was: $(cat list-broken.win.err)"

run convert-stdout convert "${files[1]}" --program H15 --channel 5
same convert-stdout
run convert-vocoder convert "${files[1]}" --program H16
same convert-vocoder
[ "$(stat -c %s convert-stdout.win.out)" -eq 2052 ] || fail "convert-stdout: not a 2052-byte dump"

mkdir -p linux win
"$linux/tools/patchferry-cli" convert "${files[0]}" --program B1 -o "linux/リード ü.syx"
"$wine" "$exe" convert "${files[0]}" --program B1 -o "音色/リード ü.syx" || fail "convert -o: status $?"
cmp "linux/リード ü.syx" "音色/リード ü.syx" || fail "convert -o: the dumps differ"
if "$wine" "$exe" convert "${files[0]}" --program B1 -o "音色/リード ü.syx" 2>convert-again.err; then
  fail "convert -o: replaced a file without --force"
fi
grep -q "^patchferry-cli convert: 音色/リード ü.syx is already there" convert-again.err ||
  fail "convert -o again: stderr was: $(cat convert-again.err)"

"$linux/tools/patchferry-cli" convert "${files[1]}" --all -o "linux/Ήχοι – Radias" 2>/dev/null || true
"$wine" "$exe" convert "${files[1]}" --all -o "win/Ήχοι – Radias" 2>/dev/null || true
diff -r "linux/Ήχοι – Radias" "win/Ήχοι – Radias" || fail "convert --all: the folders differ"
written=$(find "win/Ήχοι – Radias" -type f | wc -l)
[ "$written" -eq 128 ] || fail "convert --all: $written files, not 128"
if find "win/Ήχοι – Radias" -type f -printf '%f\n' |
  grep -aiE '^(CON|PRN|AUX|NUL|COM[0-9]|LPT[0-9])(\..*)?$|[. ]$'; then
  fail "convert --all: a name Windows keeps for a device, or one ending in a dot or space"
fi

run ports ports
[ "$(cat ports.win.status)" -eq 0 ] && [ ! -s ports.win.out ] ||
  fail "ports without a device: status $(cat ports.win.status), printed $(cat ports.win.out ports.win.err)"
run send send "${files[0]}" --program A1 --port Radias
[ "$(cat send.win.err)" = "patchferry-cli send: no MIDI output port 'Radias'; there are no MIDI output ports" ] ||
  fail "send: stderr was: $(cat send.win.err)"
[ "$(cat send.win.status)" -eq 1 ] || fail "send: exit status $(cat send.win.status) without a device"
[ ! -s send.win.out ] || fail "send: printed $(cat send.win.out)"
# The inputs through winmm.dll's midiIn calls: none, and receive says so before asking anything.
run ports-input ports --input
[ "$(cat ports-input.win.status)" -eq 0 ] && [ ! -s ports-input.win.out ] ||
  fail "ports --input without a device: status $(cat ports-input.win.status), printed $(cat ports-input.win.out ports-input.win.err)"
run receive receive --port MS2000 --all -o received.syx
[ "$(cat receive.win.err)" = "patchferry-cli receive: no MIDI input port 'MS2000'; there are no MIDI input ports" ] ||
  fail "receive: stderr was: $(cat receive.win.err)"
[ "$(cat receive.win.status)" -eq 1 ] && [ ! -e received.syx ] ||
  fail "receive: exit status $(cat receive.win.status) without a device"

if [ "$failures" -ne 0 ]; then
  echo "$failures end-to-end check(s) of patchferry-cli.exe failed"
  exit 1
fi
echo "patchferry-cli.exe lists and converts as the Linux build does, with names in any script"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
if [ ! -f "$win/Patchferry-$version-setup.exe" ]; then
  echo "-- no installer in $win (the window was not cross-built here): its check is skipped"
  echo "Wine stage took $((SECONDS - started)) s"
  exit 0
fi
echo "-- the installer and the window under Wine"
"$root/scripts/wine-desktop-test.sh" "$win/Patchferry-$version-setup.exe" \
  "$win/Patchferry-$version-windows-x64.zip" "$linux/tools/patchferry-cli" "$win/wine-desktop"
echo "Wine stage took $((SECONDS - started)) s"
