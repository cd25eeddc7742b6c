# The real window under Xvfb, driven with xdotool as a person would drive it: tick "Midi Active",
# click a row, press Ctrl+A. Sourced by checks.sh, whose helpers and variables it uses.
#
# What the window shows is read back from the outside: which port it opened from the
# sequencer's client list, what it sent from the device-side capture, a message box from the X
# server's window list and its text from the X selection. The places to click are found on a
# screenshot.

window_display=:7

# window_start SAVED_PORT [LOG [CHANNEL [FILE...]]]: starts Xvfb and the window on the FILEs (the
# test bank when none is given), with SAVED_PORT and MIDI channel CHANNEL (0-based; 2, channel 03,
# by default) as the saved choices; what the window prints goes to LOG.log in the results.
window_start() {
    w_port=$1 w_log=${2:-window} w_channel=${3:-2}
    if [ $# -gt 3 ]; then shift 3; else set -- "$bank"; fi
    export DISPLAY=$window_display XDG_RUNTIME_DIR=/tmp/runtime
    mkdir -p "$HOME/.config/Patchferry" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    printf '[midi]\nport=%s\nchan=%s\n[rect]\ntop=0\nleft=0\nbottom=600\nright=900\n' "$w_port" "$w_channel" \
        >"$HOME/.config/Patchferry/Patchferry.conf"
    Xvfb "$window_display" -screen 0 1024x700x24 -nolisten tcp >"$results/xvfb.log" 2>&1 &
    xvfb_pid=$!
    window_pid=""
    wait_until 20 test -S "/tmp/.X11-unix/X${window_display#:}" || {
        fail window-start "Xvfb did not start"
        return 1
    }
    window_started=$(now_ms)
    QT_QPA_PLATFORM=xcb "$app" "$@" >"$results/$w_log.log" 2>&1 &
    window_pid=$!
}

# Waits for both to end, so that the display is free for the next start.
window_stop() {
    [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null && wait "$window_pid" 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
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
# read_box: the whole text of the message box $box into $work/box.txt. Its text can be selected
# with the mouse: a triple click on the first line selects that line and gives the text the
# keyboard, and Ctrl+A then selects all of it into the X selection.
read_box() {
    eval "$(xdotool getwindowgeometry --shell "$box" | sed 's/^/box_/')"
    xdotool mousemove $((box_X + 100)) $((box_Y + 18)) click --repeat 3 --delay 80 1
    xdotool key ctrl+a
    rm -f "$work/box.txt"
    wait_until 5 read_selection
}

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
        read_box
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

# ---- Receiving from the stand-in MS2000 in the window ----
# The window on the interface, with the responder of receive.sh on its device side, driven from
# the keyboard: the File menu's Receive from MS2000 and Save Received As, the Program menu's
# Identify Synth. What it received is read back from the file it saves and from its title.

window_title() { xdotool getwindowname "$window" 2>/dev/null; }
title_is_not() { [ "$(window_title)" != "$1" ]; }
# The title of programs received: "Patchferry - [MS2000 YYYY-MM-DD HH-MM]".
title_names_received() {
    window_title | grep -Eq '^Patchferry - \[MS2000 [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}-[0-9]{2}\]$'
}
find_titled() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
# shown TITLE: a window titled TITLE (a pattern) is on the screen; sets `opened` to it.
shown() {
    opened=$(find_titled "$1")
    [ -n "$opened" ]
}
gone() { ! shown "$1"; }
find_dialog() { shown '^Receive from MS2000$'; }
dialog_gone() { ! find_dialog; }
box_gone() { ! find_message_box; }
# close_box: Return on the message box ($box) takes its default button.
close_box() {
    xdotool windowfocus "$box" key Return
    wait_until 10 box_gone
}
box_text() { tr '\n' ' ' <"$work/box.txt"; }

# menu_command KEYS TITLE: the menu command that KEYS choose on the main window ("alt+f r") opens
# a window titled TITLE (a pattern), which it sets in `opened`. The first message box of a run
# takes several seconds to appear under emulation.
menu_command() {
    xdotool windowfocus "$window"
    # shellcheck disable=SC2086 # one key a word
    xdotool key --delay 300 $1
    wait_until 30 shown "$2"
}

# save_received FILE: Save Received As with FILE typed as the name. When FILE exists it waits for
# the question whether to replace it, and leaves it open.
save_received() {
    existed=no
    [ -e "$1" ] && existed=yes
    menu_command "alt+f a" '^Save Received As$' || return 1
    save_dialog=$opened
    # Alt+N is the file dialog's "File name" field.
    xdotool windowfocus "$save_dialog" key alt+n ctrl+a
    xdotool type --delay 20 "$1"
    xdotool key Return
    # A list of completions under the field may take the first Return.
    wait_until 3 gone '^Save Received As$' || xdotool windowfocus "$save_dialog" key Return
    wait_until 10 gone '^Save Received As$' || return 1
    if [ $existed = yes ]; then wait_until 10 find_message_box; else wait_until 10 test -e "$1"; fi
}
same_bytes() { cmp -s "$1" "$2"; }

# received_or_refused: the receive dialog has closed with the programs, or a message box is up.
received_or_refused() { dialog_gone || find_message_box; }

# time_reached MS: now_ms has reached MS.
time_reached() { [ "$(now_ms)" -ge "$1" ]; }

# window_receive_checks CARD: the stand-in on the interface's device-side card CARD.
window_receive_checks() {
    # In turn: the bank whole, the bank whole again (cancelled while it comes), the current program
    # whole, the current program left unanswered.
    start_responder "$1" "$work/window-responder" whole,whole,whole,silent
    saved=$work/saved
    mkdir -p "$saved"
    # Its MIDI bar on the interface, channel 01, where the stand-in does not listen: Identify Synth
    # says so, and the receive dialog, which starts on the MIDI bar's channel without saved choices
    # of its own, finds channel 3 with its Find button.
    window_start "$iface_name" window-receive 0
    if ! wait_until 90 find_window; then
        fail window-receive-start "no window within 90 s"
        cat "$results/window-receive.log"
        window_stop
        stop_responder window-responder.log
        return
    fi
    opened_title=$(window_title)

    section "window: Identify Synth"
    if menu_command "alt+p i" '^Patchferry$'; then
        box=$opened
        read_box
        check window-identify "Identify Synth showed: $(box_text)" \
            eval 'grep -q "MS2000 or microKORG.*global channel 3" "$work/box.txt" &&
                  grep -qF "answered on MIDI channel 3" "$work/box.txt"'
        close_box
    else
        fail window-identify "Alt+P, I showed no message box within 15 s"
    fi

    section "window: receive all 128 programs"
    if ! menu_command "alt+f r" '^Receive from MS2000$'; then
        fail window-receive-all "Alt+F, R opened no window \"Receive from MS2000\""
        import -window root "$results/window-receive.png"
        window_stop
        stop_responder window-responder.log
        return
    fi
    dialog=$opened
    # Find (Alt+F in the dialog): the device inquiry, whose replies the dialog collects for a
    # second; Receive is greyed until then.
    xdotool windowfocus "$dialog" key alt+f
    wait_until 10 eval '[ "$(grep -c "inquiry.*answered" "$answers/log.txt")" -ge 2 ]'
    asked_who=$(logged_ms "inquiry" last)
    wait_until 10 time_reached $((${asked_who:-0} + 1500))
    xdotool windowfocus "$dialog" key Return
    pressed=$(now_ms)
    # Two screenshots of the dialog, about one and two seconds into the answer: only the progress
    # bar may differ between them, a band across the dialog.
    shots=0
    if wait_until 10 to_go_below 1 34000 && import -window "$dialog" "$work/progress-1.ppm" &&
        wait_until 10 to_go_below 1 30800 && import -window "$dialog" "$work/progress-2.ppm"; then
        shots=2
    fi
    wait_until 40 title_is_not "$opened_title"
    retitled=$(now_ms)
    if [ $shots = 2 ]; then
        differing=$(compare -metric AE "$work/progress-1.ppm" "$work/progress-2.ppm" null: 2>&1 |
            awk '{ print int($1) }')
        band=$(convert "$work/progress-1.ppm" "$work/progress-2.ppm" -compose difference \
            -composite -threshold 0 -trim -format '%wx%h%X%Y' info: 2>/dev/null)
        band_height=$(echo "$band" | sed -n 's/^[0-9]*x\([0-9]*\)+.*/\1/p')
        convert "$work/progress-2.ppm" "$results/window-receive-progress.png"
        check window-receive-progress "the dialog a second apart: ${differing:-?} pixels differ, within $band" \
            test "${differing:-0}" -gt 0 -a "${band_height:-999}" -le 40
    else
        fail window-receive-progress "the answer did not get under way (the stand-in has $(to_go 1) bytes to go)"
    fi
    check window-receive-all-title "after Find and Receive the dialog closed and the title reads \"$(window_title)\"" \
        eval 'dialog_gone && title_names_received'
    received_title=$(window_title)
    # From Return to the new title, against the time the answer took to go out of the device side;
    # the title is looked at every tenth of a second.
    out_ms=$(went_out_ms 1)
    last_out=$(logged_ms "answer-1 went out")
    after_last=$((retitled - ${last_out:-0}))
    measure "window-receive-all $((retitled - pressed)) ms from Return to the new title, for an answer that took ${out_ms:-?} ms to go out (cable time 11892 ms); the title changed $after_last ms after the answer's last byte left the stand-in"
    # A window that waited for a time-out to end the answer would take 2 s more.
    check window-receive-speed "the title changed $after_last ms after the answer's last byte left the stand-in, at most 1500 ms" \
        test -n "$last_out" -a "$after_last" -le 1500

    section "window: save what was received"
    save_received "$saved/received.syx"
    run_cli window-list list "$saved/received.syx"
    check window-receive-all-saved "Save Received As wrote $(size_of "$saved/received.syx" 2>/dev/null) bytes, the stand-in's answer byte for byte, and list shows $(wc -l <"$work/window-list.out") programs" \
        eval 'same_bytes "$saved/received.syx" "$answers/answer-1.syx" &&
              [ "$(wc -l <"$work/window-list.out")" = 128 ]'

    section "window: cancel while receiving, then receive the current program"
    if menu_command "alt+f r" '^Receive from MS2000$'; then
        dialog=$opened
        xdotool windowfocus "$dialog" key Return
        # About a second into the answer, Escape. Only quick checks follow before the next
        # request (screenshots take seconds under emulation), so that it goes out while seconds
        # of the bank are still to come.
        wait_until 10 to_go_below 2 34500
        xdotool windowfocus "$dialog" key Escape
        cancelled_with=$(to_go 2)
        check window-receive-cancel "Escape with $cancelled_with bytes of the bank still to come: the dialog stays open, no message box, the title still \"$(window_title)\"" \
            eval 'find_dialog && ! find_message_box && [ "$(window_title)" = "$received_title" ]'
        # The current program, asked for at once, while the rest of the cancelled bank still
        # comes, mostly for longer than the 3 s the dialog waits for an answer to start: the
        # stand-in finishes the bank first, as an MS2000 does, and the dialog must go on waiting
        # while it does, then skip its tail and take exactly the current program.
        xdotool windowfocus "$dialog" key alt+c
        section "window: the current program with $(to_go 2) bytes of the bank to go"
        xdotool windowfocus "$dialog" key Return
        wait_until 30 received_or_refused
        asked=$(logged_ms "as answer-3.syx")
        bank_end=$(logged_ms "answer-2 went out")
        if find_message_box; then
            read_box
            fail window-receive-after-cancel "the current program after the cancel failed: $(box_text)"
            close_box
            xdotool windowfocus "$dialog" key Escape
        else
            ahead=$((${bank_end:-0} - ${asked:-0}))
            held=""
            [ "$ahead" -gt 3000 ] && held=" (longer than the 3 s wait for an answer's start, which held while the bank came)"
            check window-receive-after-cancel "the current program asked for $ahead ms before the cancelled bank had gone out$held; the dialog closed, the title reads \"$(window_title)\"" \
                eval '[ -n "$asked" ] && [ -n "$bank_end" ] && [ "$asked" -lt "$bank_end" ] &&
                      dialog_gone && title_names_received'
            # Saved over the bank from before: the window asks first.
            section "window: save over the bank"
            if save_received "$saved/received.syx"; then
                read_box
                asked_text=$(box_text)
                close_box # No, the default
                section "window: save over the bank again, and Yes"
                kept=no
                same_bytes "$saved/received.syx" "$answers/answer-1.syx" && kept=yes
                save_received "$saved/received.syx" && xdotool windowfocus "$box" key alt+y
                wait_until 10 same_bytes "$saved/received.syx" "$answers/answer-3.syx"
                check window-save-asks "saving over the bank asked \"$asked_text\"; No kept it ($kept), Yes replaced it" \
                    eval '[ $kept = yes ] && same_bytes "$saved/received.syx" "$answers/answer-3.syx"'
            else
                fail window-save-asks "saving over an existing file asked nothing (the file has $(size_of "$saved/received.syx") bytes)"
            fi
            check window-receive-current-exact "what the window received after the cancel is $(size_of "$saved/received.syx") bytes, the stand-in's current program (answer-3) byte for byte" \
                same_bytes "$saved/received.syx" "$answers/answer-3.syx"
        fi
    else
        fail window-receive-cancel "Alt+F, R opened no window \"Receive from MS2000\""
    fi

    section "window: no answer"
    before_title=$(window_title)
    if menu_command "alt+f r" '^Receive from MS2000$'; then
        dialog=$opened
        xdotool windowfocus "$dialog" key Return
        pressed=$(now_ms)
        if wait_until 15 find_message_box; then
            boxed=$(($(now_ms) - pressed))
            read_box
            close_box
            still_open=no
            find_dialog && still_open=yes
            check window-receive-silent "no answer: after $boxed ms a message box said \"$(box_text)\"; the dialog stayed open ($still_open), the title \"$(window_title)\"" \
                eval 'grep -qF "No answer came from the MS2000 on MIDI channel 3" "$work/box.txt" &&
                      grep -qF "\"SystemEx\" is ENA" "$work/box.txt" && [ $still_open = yes ] &&
                      [ "$boxed" -ge 2900 ] && [ "$boxed" -le 10000 ] &&
                      [ "$(window_title)" = "$before_title" ]'
            section "window: Escape"
            xdotool windowfocus "$dialog" key Escape
            check window-receive-escape-closes "Escape with nothing running closed the dialog" \
                wait_until 5 dialog_gone
        else
            fail window-receive-silent "no message box within 15 s of a request nobody answered"
            import -window root "$results/window-receive-silent.png"
        fi
    else
        fail window-receive-silent "Alt+F, R opened no window \"Receive from MS2000\""
    fi
    section "window: stop"
    window_stop
    stop_responder window-responder.log
}
