#!/usr/bin/env bash
# Runs the real window on a real desktop, as a user meets it: Xvfb with the openbox window manager
# and Qt's xcb platform, driven with xdotool and wmctrl. It checks, over four runs sharing one
# settings store:
#   1. the title without a file, a move and resize, File > Exit from the keyboard, the rectangle
#      stored is the outer one seen;
#   2. a start with a relative file name while the saved working folder is another one, the title
#      after that Open, the titles of Find and About, the rectangle restored exactly, and a
#      maximized window's rectangle stored;
#   3. a normal window at the maximized rectangle, minimized and closed: the rectangle stays;
#   4. the same rectangle once more.
# It waits for windows and states by polling with time limits, never by fixed sleeps, prints the
# geometry seen at each run, and on a failure prints what it saw.
#
# usage: smoke-test-desktop.sh <patchferry binary> [output folder]
set -euo pipefail

for tool in Xvfb openbox xdotool wmctrl xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done
binary=$(realpath "$1")
out=$(realpath -m "${2:-$(pwd)/smoke-desktop}")
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=scripts/desktop-session.sh
source "$(dirname "$0")/desktop-session.sh"

# A settings store, a runtime folder and a window manager configuration of our own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Patchferry/Patchferry.conf"
log="$out/patchferry.log"
: >"$log"

fail() {
    echo "FAIL: $*" >&2
    echo "--- windows of the program:" >&2
    if [[ -n "${app:-}" ]]; then
        for w in $(xdotool search --pid "$app" 2>/dev/null); do
            echo "  $w \"$(xdotool getwindowname "$w" 2>/dev/null)\"" \
                "visible=$(xwininfo -id "$w" 2>/dev/null | awk '/Map State/ {print $3}')" >&2
        done
    fi
    echo "--- settings:" >&2
    cat "$settings" >&2 2>/dev/null || echo "  (none)" >&2
    echo "--- program output:" >&2
    cat "$log" >&2
    import -window root "$out/failure.png" 2>/dev/null && echo "screen: $out/failure.png" >&2
    exit 1
}

# ---- the desktop ----
start_desktop "$work" "$out"

# ---- reading the screen ----
# The outer rectangle of client window $1 as "left top width height": the client's place on the
# screen and the frame the window manager reports around it.
outer_rect() {
    local info extents
    info=$(xwininfo -id "$1") || return 1
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ',')
    [[ -n "$extents" ]] || return 1
    awk -v ext="$extents" '
        BEGIN { split(ext, e, " ") }  # left right top bottom
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width/ { w = $NF } /^ *Height/ { h = $NF }
        END { print x - e[1], y - e[3], w + e[1] + e[2], h + e[3] + e[4] }' <<<"$info"
}
stored_rect() {
    awk -F= '/^\[/ { s = $0 } s == "[rect]" { v[$1] = $2 }
        END { if ("left" in v) print v["left"], v["top"], v["right"] - v["left"], v["bottom"] - v["top"] }' \
        "$settings" 2>/dev/null
}
stored_value() { awk -F= -v k="$1" '$1 == k { print $2 }' "$settings" 2>/dev/null; }
states() { xprop -id "$1" _NET_WM_STATE 2>/dev/null; }
is_maximized() { states "$1" | grep -q MAXIMIZED_VERT && states "$1" | grep -q MAXIMIZED_HORZ; }
is_hidden() { states "$1" | grep -q _NET_WM_STATE_HIDDEN; }
rect_is() { [[ "$(outer_rect "$1")" == "$2" ]]; }
rect_settled() {  # the same rectangle twice in a row
    local first second
    first=$(outer_rect "$1") || return 1
    sleep 0.1
    second=$(outer_rect "$1") || return 1
    [[ "$first" == "$second" ]]
}
title_is() { [[ "$(xdotool getwindowname "$1" 2>/dev/null)" == "$2" ]]; }

# The visible top-level window of the program whose title starts with $1 (the main window's
# starts with "Patchferry").
find_window() {
    xdotool search --all --onlyvisible --pid "$app" --name "^$1" 2>/dev/null | head -n 1
}
window_shown() { [[ -n "$(find_window "$1")" ]]; }
window_gone() { [[ -z "$(find_window "$1")" ]]; }
visible_count() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l; }

# ---- driving the program ----
# start <folder> [arguments...]: starts the program in that folder and waits for its window.
start() {
    local folder=$1
    shift
    (cd "$folder" && QT_QPA_PLATFORM=xcb exec "$binary" "$@" >>"$log" 2>&1) &
    app=$!
    pids+=("$app")
    poll 20 window_shown Patchferry || fail "no main window appeared"
    main=$(find_window Patchferry)
    poll 10 rect_settled "$main" || fail "the main window did not settle: $(outer_rect "$main")"
}
# expect_dialog <title> <key...>: presses the keys, waits for the dialog and checks its exact title.
expect_dialog() {
    local title=$1
    shift
    focus "$main"
    xdotool key --clearmodifiers "$@"
    poll 10 window_shown "$title" || fail "$* opened no \"$title\" window"
    local dialog
    dialog=$(find_window "$title")
    title_is "$dialog" "$title" || fail "title \"$(xdotool getwindowname "$dialog")\", not \"$title\""
    echo "  $* shows \"$title\""
    focus "$dialog"
    xdotool key --clearmodifiers Escape
    poll 10 window_gone "$title" || fail "Escape did not close \"$title\""
}

# ---- the runs ----
mkdir -p "$work/start" "$work/elsewhere"
# One current-program dump: header, 254 zero bytes in Korg's 7-bit packing (291 bytes), F7.
{ printf '\xF0\x42\x30\x58\x40'; head -c 291 /dev/zero; printf '\xF7'; } >"$work/start/bank.syx"

echo "run 1: first start, moved and resized, File > Exit"
start "$work/elsewhere"
title_is "$main" "Patchferry" || fail "title \"$(xdotool getwindowname "$main")\", not \"Patchferry\""
echo "  opened at $(outer_rect "$main") (left top width height, frame included)"
xdotool windowsize "$main" 700 450 windowmove "$main" 200 150
# client_at <x> <y> <width> <height>: the client area is there, and still.
client_at() {
    local info
    info=$(xwininfo -id "$main" | tr -s ' ')
    grep -q "Absolute upper-left X: $1\$" <<<"$info" && grep -q "Absolute upper-left Y: $2\$" <<<"$info" &&
        grep -q "Width: $3\$" <<<"$info" && grep -q "Height: $4\$" <<<"$info" && rect_settled "$main"
}
poll 10 client_at 200 150 700 450 || fail "the window was not resized: $(outer_rect "$main")"
seen=$(outer_rect "$main")
echo "  moved and resized to $seen"
exit_from_keyboard
echo "  stored $(stored_rect)"
[[ "$(stored_rect)" == "$seen" ]] || fail "stored rectangle $(stored_rect), seen $seen"

echo "run 2: relative file name, titles, restored rectangle, maximized"
[[ "$(stored_value curdir)" == "$work/elsewhere" ]] || fail "saved folder $(stored_value curdir)"
start "$work/start" bank.syx
poll 10 title_is "$main" "Patchferry - [bank.syx]" ||
    fail "title after the Open \"$(xdotool getwindowname "$main")\", not \"Patchferry - [bank.syx]\""
echo "  \"patchferry bank.syx\" in the file's folder shows \"Patchferry - [bank.syx]\""
poll 5 rect_is "$main" "$seen" || fail "restored at $(outer_rect "$main"), stored $seen"
echo "  restored at $(outer_rect "$main")"
expect_dialog Find ctrl+f
expect_dialog About alt+h a
wmctrl -i -r "$main" -b add,maximized_vert,maximized_horz
poll 10 is_maximized "$main" || fail "the window was not maximized: $(states "$main")"
poll 10 rect_settled "$main" || fail "the maximized window did not settle"
maximized=$(outer_rect "$main")
echo "  maximized to $maximized"
exit_from_keyboard
echo "  stored $(stored_rect)"
[[ "$(stored_rect)" == "$maximized" ]] || fail "stored rectangle $(stored_rect), seen $maximized"

echo "run 3: a normal window at the maximized rectangle, closed while minimized"
start "$work/start"
poll 5 rect_is "$main" "$maximized" || fail "restored at $(outer_rect "$main"), stored $maximized"
is_maximized "$main" && fail "the window opened maximized: $(states "$main")"
echo "  restored at $(outer_rect "$main"), not maximized"
xdotool windowsize "$main" 640 400 windowmove "$main" 300 200
poll 10 client_at 300 200 640 400 || fail "the window was not moved: $(outer_rect "$main")"
echo "  moved to $(outer_rect "$main"), then minimized and closed"
xdotool windowminimize "$main"
poll 10 is_hidden "$main" || fail "the window was not minimized: $(states "$main")"
sed -i '/^chan=/d' "$settings"  # written again at exit, minimized or not
wmctrl -i -c "$main"
wait_for_exit "Closing the minimized window"
echo "  stored $(stored_rect)"
[[ "$(stored_rect)" == "$maximized" ]] || fail "stored rectangle $(stored_rect), not kept $maximized"
[[ -n "$(stored_value chan)" ]] || fail "the other settings were not written"

echo "run 4: the same rectangle again"
start "$work/start"
poll 5 rect_is "$main" "$maximized" || fail "restored at $(outer_rect "$main"), stored $maximized"
echo "  restored at $(outer_rect "$main")"
import -window root "$out/window.png" 2>/dev/null || true
exit_from_keyboard
[[ "$(stored_rect)" == "$maximized" ]] || fail "stored rectangle $(stored_rect), seen $maximized"

echo "PASS: desktop smoke test in ${SECONDS} s (screenshot $out/window.png)"
