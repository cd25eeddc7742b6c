#!/usr/bin/env bash
# The Windows window as a user meets it, under Wine on a desktop of its own (Xvfb, openbox):
#   1. the installer, silently (/S), into a fresh Wine prefix: files, Start menu entry, the ".syx"
#      file type and the uninstall entry; the installed files are the zip's;
#   2. a bank opened as a double-click on it does (the command the ".syx" type registers): the
#      title, the 128 programs in the status bar, the rows drawn, Find, a sort by the Program column,
#      the MIDI bar without a MIDI device (no port to choose, Audition greyed, a refused
#      "Midi Active"), Receive from MS2000 without a MIDI input, Write to Radias saying what to
#      connect; moved and resized, then File > Exit
#      from the keyboard;
#   3. the settings in Wine's registry, a second start that restores them, Exit again;
#   4. the uninstaller, silently: nothing of Patchferry left but its settings.
# Screens and OCR: rows are told by their background colours, the status bar is read with
# tesseract. It polls with time limits instead of sleeping, and on a failure prints what it saw.
#
# usage: wine-desktop-test.sh <installer> <zip> <Linux patchferry-cli> [output folder]
set -euo pipefail

for tool in Xvfb openbox xdotool xwininfo xprop import tesseract; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done
installer=$(realpath "$1")
zip=$(realpath "$2")
cli=$(realpath "$3")
out=$(realpath -m "${4:-$(pwd)/wine-desktop}")
mkdir -p "$out"
started=$SECONDS
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

work=$(mktemp -d /tmp/patchferry-wine-desktop.XXXXXX)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all LC_ALL=C.UTF-8
# No Mono, Gecko or sound drivers (no MIDI device either), no menu entries on the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv,winepulse.drv,wineoss.drv=d"
pids=()
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=scripts/desktop-session.sh
source "$(dirname "$0")/desktop-session.sh"
log="$out/patchferry.log"
: >"$log"

settings_key='HKCU\Software\Patchferry\Patchferry'
fail() {
    echo "FAIL: $*" >&2
    echo "--- windows:" >&2
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        echo "  $w \"$(xdotool getwindowname "$w" 2>/dev/null)\"" >&2
    done
    echo "--- settings:" >&2
    "$wine" reg query "$settings_key" /s 2>/dev/null | tr -d '\r' | grep . >&2 || echo "  (none)" >&2
    echo "--- program output:" >&2
    cat "$log" >&2
    import -window root "$out/failure.png" 2>/dev/null && echo "screen: $out/failure.png" >&2
    exit 1
}

# ---- the desktop and the prefix ----
start_desktop "$work" "$out"
"$wine" wineboot -i >"$out/wineboot.log" 2>&1 || fail "could not make the Wine prefix"
echo "desktop and Wine prefix ready after $((SECONDS - started)) s"

# ---- reading the registry ----
# reg_value <key> [name]: "TYPE DATA" of a value (without a name the key's default one), nothing
# when it is not there.
reg_value() {
    local which=(/ve) name="(Default)"
    [[ -n "${2:-}" ]] && which=(/v "$2") && name=$2
    "$wine" reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
        awk -v n="$name" '$1 == n { t = $2; $1 = ""; $2 = ""; sub(/^ +/, ""); print t, $0 }'
}
reg_key_exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
setting() { reg_value "$settings_key\\$1" "$2"; }
# dword <section> <key>: the setting as a signed decimal, failing unless it is a REG_DWORD.
dword() {
    local value
    value=$(setting "$1" "$2")
    [[ "$value" == REG_DWORD\ 0x* ]] || fail "$1\\$2 is \"$value\", not a REG_DWORD"
    local n=$((${value#REG_DWORD }))
    ((n >= 2147483648)) && n=$((n - 4294967296))
    echo "$n"
}
windows_path() { echo "Z:${1//\//\\}"; }

# ---- reading the screen ----
main_window() { xdotool search --onlyvisible --name '^Patchferry' 2>/dev/null | head -n 1; }
window_shown() { [[ -n "$(main_window)" ]]; }
title_is() { [[ "$(xdotool getwindowname "$main" 2>/dev/null)" == "$1" ]]; }
# Sets X Y W H to the client area of the main window on the screen.
measure() {
    read -r X Y W H < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ { x = $NF }
        /Absolute upper-left Y/ { y = $NF } /^ *Width/ { w = $NF } /^ *Height/ { h = $NF }
        END { print x, y, w, h }')
}
# The status bar, read with OCR: "Ready | 0128 | MIDI-OFF" or close to it.
status_text() {
    measure
    import -window root -crop "${W}x22+${X}+$((Y + H - 22))" +repage -resize 300% -colorspace Gray \
        "$work/status.png" 2>/dev/null && tesseract "$work/status.png" - --psm 7 2>/dev/null
}
status_shows() { status_text | grep -q -- "$1"; }
# The list's rows top to bottom as letters, read from their background down a line of pixels in
# the Bank column's left margin: u an unmarked row (C1C1FF), m one marked by Find (8080FF), s a
# selected one (text colour 004080). Rows cut off at the bottom are left out.
rows() {
    measure
    import -window root -crop "1x${H}+$((X + 6))+${Y}" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/^0,\([0-9]*\):.*\(#[0-9A-F]\{6\}\).*/\1 \2/p' |
        awk 'function flush() { if (n >= 15 && c in k) printf "%s", k[c]; n = 0 }
             BEGIN { k["#C1C1FF"] = "u"; k["#8080FF"] = "m"; k["#004080"] = "s" }
             { if ($2 != c) { flush(); c = $2 } n++ } END { flush(); print "" }'
}
rows_are() { [[ "$(rows)" == "$1" ]]; }
# The y of the list's first row on the screen.
first_row_y() {
    measure
    import -window root -crop "1x${H}+$((X + 6))+${Y}" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/^0,\([0-9]*\):.*#C1C1FF.*/\1/p' | head -n 1 | awk -v y="$Y" '{ print $1 + y }'
}
# How colourful toolbar button <n> (0: Open, 1: Find, 2: Audition) is: the highest saturation
# in percent. Qt draws a disabled button's icon in grey.
button_colour() {
    measure
    import -window root "$work/screen.png" 2>/dev/null
    convert "$work/screen.png" -crop "16x16+$((X + 13 + 23 * $1))+$((Y + 29))" +repage \
        -colorspace HSL -channel G -separate -format '%[fx:round(100*maxima)]' info:
}
# word_at <word> <top> <height>: "x y" on the screen of the middle of <word> as OCR reads it in
# a band of the window's client area (<top> and <height> in pixels), nothing when it is not there.
word_at() {
    measure
    import -window root -crop "${W}x${3}+${X}+$((Y + $2))" +repage -resize 200% -colorspace Gray \
        "$work/band.png" 2>/dev/null
    tesseract "$work/band.png" - --psm 11 tsv 2>/dev/null |
        awk -F'\t' -v w="$1" -v x="$X" -v y="$((Y + $2))" \
            '$12 == w { print x + int(($7 + $9 / 2) / 2), y + int(($8 + $10 / 2) / 2); exit }'
}
# click_word <word> <top> <height>: clicks it.
click_word() {
    local at
    at=$(word_at "$@")
    [[ -n "$at" ]] || fail "no \"$1\" on the window between y $2 and $(($2 + $3))"
    # shellcheck disable=SC2086  # "x y"
    xdotool mousemove $at click 1
}
# expected_rows <count> [list options]: the letters the first <count> rows should show after a
# Find for "bass", from the Linux build's listing of the same bank.
expected_rows() {
    local count=$1
    shift
    "$cli" list "$@" "$bank" | cut -f4 |
        awk -v n="$count" 'NR <= n { printf "%s", (tolower($0) ~ /bass/ ? "m" : "u") }'
}

# ---- driving the program ----
app=""
# start <folder> <program> [arguments...]: starts it there and waits for the main window.
start() {
    local folder=$1
    shift
    (cd "$folder" && exec "$wine" "$@" >>"$log" 2>&1) &
    app=$!
    pids+=("$app")
    poll 60 window_shown || fail "no main window appeared"
    main=$(main_window)
}
# Windows of the prefix on the screen (Wine's windows carry no process id that xdotool can match).
visible_count() { xdotool search --onlyvisible --name . 2>/dev/null | wc -l; }

# ---- 1. the installer ----
echo "1. installing silently"
"$wine" "$installer" /S >"$out/installer.log" 2>&1 || fail "the installer ended with status $?"
instdir=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/AppData/Local/Programs/Patchferry' | head -n 1)
[[ -n "$instdir" ]] || fail "nothing installed in the user's AppData\Local\Programs"
[[ -f "$instdir/patchferry.exe" ]] || fail "no patchferry.exe in $instdir"
shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Patchferry.lnk' | head -n 1)
[[ -n "$shortcut" ]] || fail "no Start menu entry"
(cd "$instdir" && find . -type f ! -name uninstall.exe | sed 's|^\./||' | sort) >"$work/installed.txt"
cmake -E tar tf "$zip" | grep -v '/$' | sed 's|^Patchferry/||' | sort >"$work/zipped.txt"
diff "$work/zipped.txt" "$work/installed.txt" >&2 || fail "the installed files are not the zip's"
echo "  $(wc -l <"$work/installed.txt") files in ${instdir#"$WINEPREFIX/"}, the zip's; a Start menu entry"
classes='HKCU\Software\Classes'
[[ "$(reg_value "$classes\\.syx")" == "REG_SZ Patchferry.syx" ]] ||
    fail ".syx names \"$(reg_value "$classes\\.syx")\", not Patchferry.syx"
open_command=$(reg_value "$classes\\Patchferry.syx\\shell\\open\\command")
open_command=${open_command#REG_SZ }
echo "  .syx opens with: $open_command"
reg_key_exists 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Patchferry' ||
    fail "no uninstall entry"

# ---- 2. a bank opened from the file manager ----
mkdir -p "$work/banks" "$work/elsewhere"
bank="$work/banks/ms2kif_synth_bank.syx"
real_bank="$(dirname "$0")/../../shared/realdata/ms2kif_synth_bank.syx"  # beside the clone
if [[ -f "$real_bank" ]]; then
    cp "$real_bank" "$bank"
else
    "$(dirname "$0")/make-test-dump.pl" 4C 7 "$bank"  # made up where the real bank is not there
fi
echo "2. a double-click on $(basename "$bank")"
# Explorer runs the registered command with %1 replaced by the file. (Wine's own "start" does not
# look at the per-user file types, so it is run here as Explorer would.)
exe=$(sed -n 's/^"\([^"]*\)" "%1"$/\1/p' <<<"$open_command")
[[ -n "$exe" ]] || fail "the open command is not \"<program>\" \"%1\": $open_command"
start "$work/banks" "$exe" "$(windows_path "$bank")"
title="Patchferry - [$(basename "$bank")]"
poll 20 title_is "$title" || fail "title \"$(xdotool getwindowname "$main")\", not \"$title\""
echo "  title \"$title\""
poll 30 status_shows 0128 || fail "the status bar reads \"$(status_text)\", not 0128 programs"
status_shows MIDI-OFF || fail "the status bar reads \"$(status_text)\", not MIDI-OFF"
echo "  status bar: $(status_text)"
seen=$(rows)
[[ ${#seen} -ge 10 && "$seen" =~ ^u+$ ]] || fail "the list shows the rows \"$seen\""
count=${#seen}
echo "  $count rows in view, all drawn unmarked"
(($(button_colour 1) > 30)) || fail "Find is greyed with programs listed"
(($(button_colour 2) < 10)) || fail "Audition is not greyed without a MIDI port"
echo "  Find enabled, Audition greyed (saturation $(button_colour 1) % and $(button_colour 2) %)"
import -window root "$out/window.png"

focus "$main"
xdotool key --clearmodifiers ctrl+f
find_shown() { xdotool search --onlyvisible --name '^Find$' >/dev/null 2>&1; }
poll 10 find_shown || fail "Ctrl+F opened no Find window"
xdotool type --delay 20 bass
xdotool key Return
find_gone() { ! find_shown; }
poll 10 find_gone || fail "Find stayed open"
expected=$(expected_rows "$count")
poll 10 rows_are "$expected" || fail "after Find \"bass\" the rows are \"$(rows)\", not \"$expected\""
echo "  Find \"bass\" marks the rows $expected"

row_y=$(first_row_y)
measure
header_top=$((row_y - Y - 24))
click_word Program "$header_top" 24
expected=$(expected_rows "$count" --sort 3)
poll 10 rows_are "$expected" || fail "sorted by Program the rows are \"$(rows)\", not \"$expected\""
echo "  sorted by Program: $expected"

# "Midi Active" without a port: WinMM is asked for no device, and the open is refused.
message_box() { xdotool search --onlyvisible --name '^Patchferry$' 2>/dev/null | head -n 1; }
box_shown() { [[ -n "$(message_box)" ]]; }
click_word Active 20 40
poll 10 box_shown || fail "\"Midi Active\" without a port showed no message"
box=$(message_box)
import -window "$box" -resize 200% -colorspace Gray "$work/box.png"
tesseract "$work/box.png" - 2>/dev/null | tr '\n' ' ' >"$work/box.txt"
grep -q "Failed to open the specified MIDI port" "$work/box.txt" ||
    fail "\"Midi Active\" without a port said: $(cat "$work/box.txt")"
focus "$box"
xdotool key --clearmodifiers Return
box_gone() { ! box_shown; }
poll 10 box_gone || fail "the message did not close"
status_shows MIDI-OFF || fail "after a refused open the status bar reads \"$(status_text)\""
echo "  Midi Active without a port: \"$(sed 's/  */ /g' "$work/box.txt")\", still MIDI-OFF"

# Receive from MS2000 without any MIDI input: the dialog opens, and Receive says what to connect
# instead of waiting for an answer; the title and the list stay as they were.
receive_window() { xdotool search --onlyvisible --name '^Receive from MS2000$' 2>/dev/null | head -n 1; }
receive_shown() { [[ -n "$(receive_window)" ]]; }
receive_gone() { ! receive_shown; }
focus "$main"
before=$(visible_count)
xdotool key --clearmodifiers alt+f
poll 10 more_windows_than "$before" || fail "Alt+F opened no File menu"
xdotool key --clearmodifiers r
poll 20 receive_shown || fail "Alt+F, R opened no window \"Receive from MS2000\""
receive=$(receive_window)
import -window root "$out/receive.png"
focus "$receive"
xdotool key --clearmodifiers Return
poll 10 box_shown || fail "Receive without a MIDI input showed no message"
box=$(message_box)
import -window "$box" -resize 200% -colorspace Gray "$work/box.png"
tesseract "$work/box.png" - 2>/dev/null | tr '\n' ' ' >"$work/box.txt"
grep -Eqi "MIDI IN|input" "$work/box.txt" || fail "Receive without a MIDI input said: $(cat "$work/box.txt")"
focus "$box"
xdotool key --clearmodifiers Return
poll 10 box_gone || fail "the message did not close"
receive_shown || fail "the receive dialog closed with the message"
focus "$receive"
xdotool key --clearmodifiers Escape
poll 10 receive_gone || fail "Escape did not close the receive dialog"
title_is "$title" || fail "after Receive without an input the title is \"$(xdotool getwindowname "$main")\""
rows_are "$expected" || fail "after Receive without an input the rows are \"$(rows)\", not \"$expected\""
echo "  Receive from MS2000 without a MIDI input: \"$(sed 's/  */ /g' "$work/box.txt")\"; Escape closed it, title and list unchanged"

# Write to Radias without any MIDI device: the dialog opens beside the window and says what to
# connect, with nothing to start; Escape closes it.
write_window() { xdotool search --onlyvisible --name '^Write to Radias$' 2>/dev/null | head -n 1; }
write_shown() { [[ -n "$(write_window)" ]]; }
write_gone() { ! write_shown; }
focus "$main"
before=$(visible_count)
xdotool key --clearmodifiers alt+p
poll 10 more_windows_than "$before" || fail "Alt+P opened no Program menu"
xdotool key --clearmodifiers w
poll 20 write_shown || fail "Alt+P, W opened no window \"Write to Radias\""
write=$(write_window)
import -window "$write" -resize 200% -colorspace Gray "$work/write.png"
tesseract "$work/write.png" - 2>/dev/null | tr '\n' ' ' >"$work/write.txt"
grep -q "Connect the Radias" "$work/write.txt" ||
    fail "Write to Radias without a MIDI device said: $(cat "$work/write.txt")"
focus "$write"
xdotool key --clearmodifiers Escape
poll 10 write_gone || fail "Escape did not close Write to Radias"
rows_are "$expected" || fail "after Write to Radias the rows are \"$(rows)\", not \"$expected\""
echo "  Write to Radias without a MIDI device: \"$(grep -o 'Connect the Radias[^.]*' "$work/write.txt" | head -n 1)\"; Escape closed it"

xdotool windowsize "$main" 820 520 windowmove "$main" 100 80
moved() { measure && ((W == 820 && H == 520)); }
poll 10 moved || fail "the window was not resized: ${W}x${H}"
exit_from_keyboard
echo "  File > Exit from the keyboard"

# ---- 3. the settings and a second start ----
echo "3. the settings in $settings_key"
"$wine" reg query "$settings_key" /s | tr -d '\r' | grep . | sed 's/^/  /'
top=$(dword rect top) left=$(dword rect left) bottom=$(dword rect bottom) right=$(dword rect right)
((right - left >= 820 && bottom - top >= 520)) || fail "stored rectangle $left,$top-$right,$bottom is not the 820x520 one"
((left >= 0 && left <= 100 && top >= 0 && top <= 80)) || fail "stored rectangle $left,$top-$right,$bottom is not at 100,80"
[[ "$(dword midi chan)" == 0 ]] || fail "midi\\chan is $(dword midi chan), not 0 (channel 01)"
[[ -z "$(setting midi port)" ]] || fail "midi\\port is $(setting midi port) with no port to choose"
curdir=$(setting app curdir)
[[ "$curdir" == "REG_SZ $(windows_path "$work/banks")" ]] || fail "app\\curdir is \"$curdir\""
stored="$left $top $right $bottom"

"$wine" reg add "$settings_key\\midi" /v chan /t REG_DWORD /d 5 /f >/dev/null
start "$work/elsewhere" "$instdir/patchferry.exe"
poll 20 title_is Patchferry || fail "title \"$(xdotool getwindowname "$main")\", not \"Patchferry\""
poll 30 status_shows 0000 || fail "the status bar reads \"$(status_text)\", not 0000 programs"
(($(button_colour 1) < 10)) || fail "Find is not greyed with no programs"
exit_from_keyboard
now="$(dword rect left) $(dword rect top) $(dword rect right) $(dword rect bottom)"
[[ "$now" == "$stored" ]] || fail "second start: rectangle $now, not the restored $stored"
[[ "$(dword midi chan)" == 5 ]] || fail "second start: midi\\chan $(dword midi chan), not the restored 5"
[[ "$(setting app curdir)" == "$curdir" ]] || fail "second start: app\\curdir $(setting app curdir)"
echo "  a second start restored the rectangle ($stored), channel 06 and the folder"

# ---- 4. the uninstaller ----
echo "4. uninstalling silently"
"$wine" "$instdir/uninstall.exe" /S >"$out/uninstaller.log" 2>&1 || fail "the uninstaller ended with status $?"
# It runs from a copy of itself and returns at once, so everything it removes is waited for.
poll 30 test ! -e "$instdir" || fail "left behind: $(cd "$instdir" && find . | head -n 20)"
poll 10 test ! -e "$shortcut" || fail "the Start menu entry is still there"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Patchferry'
poll 10 eval '! reg_key_exists "$uninstall_key"' || fail "the key $uninstall_key is still there"
for key in "$classes\\Patchferry.syx" "$classes\\.syx" "$classes\\Applications\\patchferry.exe" \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Patchferry'; do
    ! reg_key_exists "$key" || fail "the key $key is still there"
done
leftovers=$(find "$WINEPREFIX/drive_c" -iname '*patchferry*')
[[ -z "$leftovers" ]] || fail "left behind: $leftovers"
[[ "$(dword midi chan)" == 5 ]] || fail "the settings went with the program"
echo "  no files, shortcut or file type left; the settings stay"

echo "PASS: the Windows window under Wine in $((SECONDS - started)) s (screenshot $out/window.png)"
