# shellcheck shell=bash
# shellcheck disable=SC2154  # app and main are the caller's
# Helpers for driving a program on a desktop of its own, sourced by the desktop tests
# (smoke-test-desktop.sh for the Linux window, wine-desktop-test.sh for the Windows one).
# The caller keeps the pids of what it started in the array `pids` and ends them on exit; for the
# helpers that drive the program it sets `app` (its pid) and `main` (its main window) and defines
# `fail <message>` and `visible_count` (how many windows of the program are on the screen).

# poll <seconds> <command...>: runs the command until it succeeds or the time is up.
poll() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# start_display <scratch folder> <log folder>: an X server, Xvfb (1280x800); exports DISPLAY.
start_display() {
    local scratch=$1 logs=$2
    exec 3>"$scratch/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
    pids+=($!)
    poll 10 test -s "$scratch/display" || { cat "$logs/xvfb.log" >&2; echo "FAIL: Xvfb did not start" >&2; exit 1; }
    DISPLAY=":$(head -n 1 "$scratch/display")"
    export DISPLAY
}

# start_desktop <scratch folder> <log folder>: Xvfb with the openbox window manager.
start_desktop() {
    local logs=$2
    start_display "$@"
    openbox >"$logs/openbox.log" 2>&1 &
    pids+=($!)
    poll 10 wm_running || { cat "$logs/openbox.log" >&2; echo "FAIL: openbox did not start" >&2; exit 1; }
}
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

focus() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
}
more_windows_than() { (($(visible_count) > $1)); }
program_ended() { ! kill -0 "$app" 2>/dev/null; }
# wait_for_exit <what ended it>: the program ends, with status 0.
wait_for_exit() {
    poll 20 program_ended || fail "$1 did not end the program"
    wait "$app" || fail "$1: the program ended with status $?"
}
# File > Exit from the keyboard: Alt+F opens the menu, X chooses Exit.
exit_from_keyboard() {
    focus "$main"
    local before
    before=$(visible_count)
    xdotool key --clearmodifiers alt+f
    poll 10 more_windows_than "$before" || fail "Alt+F opened no File menu"
    xdotool key --clearmodifiers x
    wait_for_exit "File > Exit from the keyboard"
}
