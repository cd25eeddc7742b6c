# The real window under Xvfb, driven with xdotool as a person would drive it: tick "Midi Active",
# click a row, press Ctrl+A. Sourced by checks.sh, whose helpers and variables it uses.
#
# What the window shows is read back from the outside: which port it opened from the
# sequencer's client list, what it sent from the device-side capture, a message box from the X
# server's window list and its text from the X selection. The places to click are found on a
# screenshot.

window_display=:7

# window_start SAVED_PORT: starts Xvfb and the window on the test bank, with SAVED_PORT and MIDI
# channel 03 as the saved choices.
window_start() {
    export DISPLAY=$window_display XDG_RUNTIME_DIR=/tmp/runtime
    mkdir -p "$HOME/.config/Patchferry" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    printf '[midi]\nport=%s\nchan=2\n[rect]\ntop=0\nleft=0\nbottom=600\nright=900\n' "$1" \
        >"$HOME/.config/Patchferry/Patchferry.conf"
    Xvfb "$window_display" -screen 0 1024x700x24 -nolisten tcp >"$results/xvfb.log" 2>&1 &
    xvfb_pid=$!
    window_pid=""
    wait_until 20 test -S "/tmp/.X11-unix/X${window_display#:}" || {
        fail window-start "Xvfb did not start"
        return 1
    }
    window_started=$(now_ms)
    QT_QPA_PLATFORM=xcb "$app" "$bank" >"$results/window.log" 2>&1 &
    window_pid=$!
}

window_stop() {
    [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
}

find_window() {
    window=$(xdotool search --onlyvisible --name '^Patchferry - ' 2>/dev/null | head -n 1)
    [ -n "$window" ]
}
# A message box is captioned with the bare application title.
find_message_box() {
    box=$(xdotool search --onlyvisible --name '^Patchferry$' 2>/dev/null | head -n 1)
    [ -n "$box" ]
}

# An uncompressed screenshot of the window: quick to write and to read.
screenshot() { import -window "$window" "$work/window.ppm" 2>/dev/null; }
# white_pixels WIDTHxHEIGHT+X+Y COLOUR: "x,y" of every pixel of that colour in the part of the
# window screenshot, one a line, row by row.
pixels_of() {
    convert "$work/window.ppm" -crop "$1" +repage -fill black +opaque "$2" -transparent black \
        sparse-color:- | tr ' ' '\n' | cut -d, -f1,2
}

# The box of "Midi Active" is the right-most pure white square in the window's top bands (the
# menu, the toolbar and the MIDI bar). Sets box_x, box_y (inside the window).
find_midi_active() {
    screenshot || return 1
    set -- $(pixels_of "${WIDTH}x90+0+0" '#FFFFFF' | awk -F, '
        {
            if ($2 == py && $1 == px + 1) length_ += 1; else { length_ = 1; start = $1 }
            px = $1; py = $2
            if (length_ == 8) { n += 1; starts[n] = start; rows[n] = $2 }
        }
        END {
            for (i = 1; i <= n; i++) if (starts[i] > right) right = starts[i]
            for (i = 1; i <= n; i++) if (starts[i] >= right - 2) {
                if (!top) top = rows[i]
                bottom = rows[i]
            }
            if (n) print right + 5, int((top + bottom) / 2)
        }')
    [ $# = 2 ] || return 1
    box_x=$1 box_y=$2
}

# The list rows have the list's own background, lavender C1C1FF; the first of them is the top-most
# such pixel in the Bank column. Sets row_y (inside the window).
find_first_row() {
    screenshot || return 1
    row_y=$(pixels_of "1x${HEIGHT}+40+0" '#C1C1FF' | awk -F, 'NF == 2 { print $2 + 6; exit }')
    [ -n "$row_y" ]
}

read_selection() { xclip -o >"$work/box.txt" 2>/dev/null && [ -s "$work/box.txt" ]; }

# What the window's client sends to; PipeWire's bridge, when it runs, reads from every port that
# may be read, ours too, and is left out.
window_connections() { connections_of Patchferry | grep -v "^${pw_client:-none}:"; }
window_connected() { [ -n "$(window_connections)" ]; }

window_checks() {
    if ! wait_until 90 find_window; then
        fail window-start "no window within 90 s"
        cat "$results/window.log"
        window_stop
        return
    fi
    measure "window-first-shown $(($(now_ms) - window_started)) ms after its start"
    eval "$(xdotool getwindowgeometry --shell "$window")"

    # ---- Midi Active: the saved port is a software port, which the window must not offer ----
    if ! wait_until 20 find_midi_active; then
        fail window-midi-active "no \"Midi Active\" box found on the screenshot"
        convert "$work/window.ppm" "$results/window.png"
        window_stop
        return
    fi
    section "window: click Midi Active at $box_x,$box_y"
    xdotool mousemove $((X + box_x)) $((Y + box_y)) click 1
    wait_until 10 window_connected
    screenshot && convert "$work/window.ppm" "$results/window.png"
    opened=$(window_connections | paste -s -d ' ')
    check window-offers-hardware-only \
        "saved port \"$1\" (software) not offered; Midi Active opened entry 0: ${opened:-nothing}, the interface's $iface_client:0, so neither Midi Through (14) nor VirMIDI (16), which come first in the sequencer's order, is offered" \
        test "$opened" = "$iface_client:0"

    section "window: Audition"
    # ---- Audition of the first row on the saved channel 03 ----
    before=$(size_of "$work/iface.bin")
    if find_first_row; then
        xdotool mousemove $((X + 40)) $((Y + row_y)) click 1
        xdotool key ctrl+a
    fi
    expected=$(expected_dump A1 3)
    wait_until 10 capture_reaches iface $((before + dump_bytes))
    check window-audition-byte-identical "Ctrl+A on row A001 sent $(($(size_of "$work/iface.bin") - before)) bytes, identical to convert --program A1 --channel 3" \
        arrived_exactly iface "$before" "$expected"

    # ---- Two Auditions in a row: the second waits until the first is done on the cable ----
    before=$(size_of "$work/iface.bin")
    xdotool key ctrl+a ctrl+a
    if wait_until 10 capture_reaches iface $((before + 2 * dump_bytes)); then
        first=$(perl "$vm/midi-capture.pl" arrival "$work/iface.times" $((before + dump_bytes)))
        second=$(perl "$vm/midi-capture.pl" arrival "$work/iface.times" $((before + 2 * dump_bytes)))
        gap=$(((second - first) / 1000))
        measure "window-audition-gap $gap ms between two Auditions arriving (wire time 656.64 ms)"
        check window-waits-wire-time "the second Audition arrived $gap ms after the first" \
            test "$gap" -ge $wire_ms
    else
        fail window-waits-wire-time "two Ctrl+A delivered $(($(size_of "$work/iface.bin") - before)) bytes"
    fi
    # The window now waits for the cable to carry the second dump (677 ms after it left), and an
    # unplug before then rightly fails that Audition; nothing outside shows the end of the wait.
    sleep 1

    section "window: unplug"
    # ---- Unplug with the port open; another device then takes the same client number ----
    unplug iface
    plug other dummy_udc.1
    wait_until 20 has_client "$other"
    start_capture other 7 && other_capture=$capture_pid
    check window-unplug-other-took-number "\"$other\" got client $(client_of "$other"), the interface had $iface_client" \
        test "$(client_of "$other")" = "$iface_client"
    xdotool key ctrl+a
    # The first message box of a run takes several seconds to appear under emulation.
    if wait_until 30 find_message_box; then
        import -window root "$results/window-unplugged.png"
        # Its text can be selected with the mouse: a triple click on the first line selects all
        # of it into the X selection.
        eval "$(xdotool getwindowgeometry --shell "$box")"
        xdotool mousemove $((X + 100)) $((Y + 18)) click --repeat 3 --delay 80 1
        wait_until 5 read_selection
        check window-unplug-reports "Ctrl+A after the unplug showed: $(grep -F Error "$work/box.txt")" \
            grep -qF "Error: Failed to send Midi SysEx message to MS2K. " "$work/box.txt"
        xdotool key Return
    else
        fail window-unplug-reports "Ctrl+A after the unplug showed no message box within 30 s: the failed Audition looked like a success"
        import -window root "$results/window-unplugged.png"
    fi
    sleep 0.5
    check window-unplug-nothing-to-other "nothing reached \"$other\" ($(size_of "$work/other.bin") bytes)" \
        test "$(size_of "$work/other.bin")" = 0
    window_stop
}
