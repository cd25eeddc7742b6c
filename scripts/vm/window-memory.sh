# The Radias's memory from the real window: Program > Write to Radias... and Restore Radias
# Backup..., driven from the keyboard, against the stand-in Radias of memory.sh (whose helpers it
# uses, with window.sh's; it runs after memory_checks, which makes the seed and convert's dumps). The window opens the test bank's first 16 programs, one file each, and
# writes them all into J01..J16, in the second half, so both address bytes count:
#   silent     the stand-in falls silent at J03: the run stops there, J04 is never sent;
#   write      all 16, each answered, J01 read back; the backup holds what J01..J16 held;
#   protected  the first write refused, nothing changed;
#   restore    the backup of the silent run put back: the memory as seeded, byte for byte;
#   one        the first row alone, selected with the mouse, into P01.
# Each run's requests and writes come from the stand-in's log, what the window said from its
# "status:" lines, and its memory from the stand-in's dump of it.

# Showing several files, the window is titled with the bare application title, as its message
# boxes are: a box is such a window other than the main one.
find_main_titled() {
    window=$(xdotool search --onlyvisible --name '^Patchferry$' 2>/dev/null | head -n 1)
    [ -n "$window" ]
}
find_box_beside() {
    box=$(xdotool search --onlyvisible --name '^Patchferry$' 2>/dev/null | grep -vx "$window" | head -n 1)
    [ -n "$box" ]
}
box_beside_gone() { ! find_box_beside; }
close_box_beside() {
    xdotool windowfocus "$box" key Return
    wait_until 10 box_beside_gone
}

# w_mark: what the window says from now on belongs to the next run.
w_mark() { w_from=$(wc -l <"$results/window-memory.log"); }
# status_said TEXT: since the mark, the window said something starting with TEXT in its status bar.
status_said() { tail -n +$((w_from + 1)) "$results/window-memory.log" | grep -qF "status: $1"; }
status_lines() { tail -n +$((w_from + 1)) "$results/window-memory.log" | grep '^status: ' | cut -c 1-300 | paste -s -d '|'; }

# w_run KEYS BACKUP START: in the dialog $wdialog, KEYS set the choices, BACKUP is typed as the
# backup's name and START presses the dialog's start button; the one question is read into
# $asked and answered Yes.
w_run() {
    w_mark
    # shellcheck disable=SC2086 # one key a word
    [ -n "$1" ] && xdotool windowfocus "$wdialog" key --delay 200 $1
    xdotool windowfocus "$wdialog" key alt+b ctrl+a
    xdotool type --delay 10 "$2"
    w_started=$(now_ms)
    xdotool windowfocus "$wdialog" key "$3"
    asked=""
    if wait_until 60 find_box_beside; then
        read_box
        asked=$(box_text)
        xdotool windowfocus "$box" key alt+y
        wait_until 10 box_beside_gone
    fi
}
# w_error_box: the error box a stopped run shows, read into $said and closed.
w_error_box() {
    said=""
    if wait_until 30 find_box_beside; then
        read_box
        said=$(box_text)
        close_box_beside
    fi
}

# window_memory_checks CARD: the stand-in on the interface's device-side card CARD.
window_memory_checks() {
    library=$work/window-library
    rm -rf "$library"
    perl "$vm/split-bank.pl" "$bank" 16 "$library" || {
        fail window-memory-files "split-bank.pl could not write 16 programs of the test bank"
        return
    }
    start_memory_radias "$1" "$work/window-radias-memory" "$seed" || return
    # J01..J16 after the write: convert's programs A1..A16 for channel 3 there, every other slot
    # as seeded; the silent run leaves only A1..A3 there.
    stored_dumps 144 A1 A2 A3 >"$work/window-silent-programs.syx"
    cp "$seed" "$work/window-after-silent.syx"
    put_slots "$work/window-after-silent.syx" 144 "$work/window-silent-programs.syx"
    stored_dumps 144 $(bank_programs A) >"$work/window-programs.syx"
    cp "$seed" "$work/window-after-write.syx"
    put_slots "$work/window-after-write.syx" 144 "$work/window-programs.syx"
    backed_up="$(prefixed r $(slot_names 144 16))"
    window_start "$iface_name" window-memory 2 "$library"/*.syx
    if ! wait_until 90 find_main_titled; then
        fail window-memory-start "no window within 90 s"
        window_stop
        stop_stand_in "$mem_pid" "$mem" window-radias-memory.log
        return
    fi

    section "window: Write to Radias, the stand-in silent after J02"
    if ! menu_command "alt+p w" '^Write to Radias$'; then
        fail window-memory-write "Alt+P, W opened no window \"Write to Radias\""
        import -window root "$results/window-memory.png"
        window_stop
        stop_stand_in "$mem_pid" "$mem" window-radias-memory.log
        return
    fi
    wdialog=$opened
    # Its 16 backup requests, J01's write and read-back, J02's write are answered; J03's is not.
    memory_run silent-after=19
    # Every program listed (Alt+E), first slot (Alt+F) J01, found by its letter.
    w_run "alt+e alt+f j" "$work/window-silent-backup.syx" alt+w
    wait_until 30 status_said "No answer from the Radias"
    w_error_box
    memory_now "$work/window-memory-silent.syx"
    check window-memory-silent "silent after J02: the window said \"$(status_lines)\"; J01..J03 hold programs 1..3, J04 never sent, the rest as seeded; the box: $said; the stand-in: $(memory_events | cut -c 1-300)" \
        eval 'status_said "No answer from the Radias to A001 \"VM TEST 003\" for J03" &&
            echo "$said" | grep -q "Confirmed: 2 of 16 (J01..J02)" &&
            cmp -s "$work/window-after-silent.syx" "$work/window-memory-silent.syx" &&
            [ "$(memory_events)" = "$backed_up wJ01 rJ01 wJ02 wJ03" ] &&
            slots_of "$seed" 144 16 | cmp -s - "$work/window-silent-backup.syx"'

    section "window: Write to Radias, 16 programs into J01..J16"
    memory_run open
    w_run "" "$work/window-write-backup.syx" alt+w
    wait_until 90 status_said "Wrote 16 programs"
    took=$(($(now_ms) - w_started))
    memory_now "$work/window-memory-write.syx"
    measure "window-memory-write 16 programs in $took ms from Write to the status line, the question included; their messages take $(((16 * (request_us + program_us) + 17 * program_us + request_us + 16 * reply_us) / 1000)) ms on the cable"
    check window-memory-question "one question before anything was written, naming what J04 holds and the backup: $asked" \
        eval 'echo "$asked" | grep -q "Write 16 program(s) into J01..J16" &&
            echo "$asked" | grep -qF "J04 \"MEMORY J04\"" && echo "$asked" | grep -qF "window-write-backup.syx"'
    check window-memory-write "the window said \"$(status_lines)\"; J01..J16 hold programs 1..16 converted for channel 03, the rest as seeded, byte for byte; the backup is what J01..J16 held; J01 read back before J02 was written; the stand-in: $(memory_events | cut -c 1-300)" \
        eval 'status_said "Wrote 16 programs into J01..J16 on channel 03" &&
            cmp -s "$work/window-after-write.syx" "$work/window-memory-write.syx" &&
            slots_of "$work/window-after-silent.syx" 144 16 | cmp -s - "$work/window-write-backup.syx" &&
            [ "$(memory_events)" = "$backed_up wJ01 rJ01 $(prefixed w $(slot_names 145 15))" ]'

    section "window: Write to Radias, memory protected"
    memory_run protected
    w_run "" "$work/window-protected-backup.syx" alt+w
    wait_until 30 status_said "The Radias refused"
    w_error_box
    memory_now "$work/window-memory-protected.syx"
    check window-memory-protected "protected: the window said \"$(status_lines)\", the box \"$said\"; the memory unchanged, nothing after the refused write; the stand-in: $(memory_events | cut -c 1-300)" \
        eval 'echo "$said" | grep -q "DATA LOAD ERROR" && echo "$said" | grep -qi "protect" &&
            cmp -s "$work/window-after-write.syx" "$work/window-memory-protected.syx" &&
            [ "$(memory_events)" = "$backed_up wJ01" ]'
    xdotool windowfocus "$wdialog" key Escape
    wait_until 10 gone '^Write to Radias$'

    section "window: Restore Radias Backup"
    memory_run open
    if menu_command "alt+p s" '^Open'; then
        xdotool windowfocus "$opened" key alt+n ctrl+a
        xdotool type --delay 10 "$work/window-silent-backup.syx"
        xdotool key Return
        wait_until 3 shown '^Restore Radias Backup$' || xdotool windowfocus "$opened" key Return
    fi
    if wait_until 20 shown '^Restore Radias Backup$'; then
        wdialog=$opened
        w_run "" "$work/window-restore-backup.syx" alt+r
        wait_until 90 status_said "Wrote 16 programs"
        memory_now "$work/window-memory-restored.syx"
        check window-memory-restore "the window said \"$(status_lines)\"; the memory as seeded, byte for byte; its backup is what J01..J16 held; the stand-in: $(memory_events | cut -c 1-300)" \
            eval 'status_said "Wrote 16 programs into J01..J16 on channel 03" &&
                cmp -s "$seed" "$work/window-memory-restored.syx" &&
                slots_of "$work/window-after-write.syx" 144 16 | cmp -s - "$work/window-restore-backup.syx" &&
                [ "$(memory_events)" = "$backed_up wJ01 rJ01 $(prefixed w $(slot_names 145 15))" ]'
        xdotool windowfocus "$wdialog" key Escape
        wait_until 10 gone '^Restore Radias Backup$'
    else
        fail window-memory-restore "Alt+P, S and the backup's name opened no window \"Restore Radias Backup\""
        import -window root "$results/window-memory-restore.png"
    fi

    section "window: Write to Radias, the selected program into P01"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    find_first_row && xdotool mousemove $((X + 40)) $((Y + row_y)) click 1
    stored_dumps 240 A1 >"$work/window-one-program.syx"
    cp "$seed" "$work/window-after-one.syx"
    put_slots "$work/window-after-one.syx" 240 "$work/window-one-program.syx"
    memory_run open
    if menu_command "alt+p w" '^Write to Radias$'; then
        wdialog=$opened
        # The selected program is the dialog's first choice; first slot (Alt+F) P01, by its letter.
        w_run "alt+f p" "$work/window-one-backup.syx" alt+w
        wait_until 30 status_said "Wrote 1 program"
        memory_now "$work/window-memory-one.syx"
        check window-memory-one "the first row written alone: the window said \"$(status_lines)\"; P01 holds program 1, every other slot as seeded; the backup is what P01 held; the stand-in: $(memory_events)" \
            eval 'status_said "Wrote 1 program into P01 on channel 03" &&
                cmp -s "$work/window-after-one.syx" "$work/window-memory-one.syx" &&
                slots_of "$seed" 240 1 | cmp -s - "$work/window-one-backup.syx" &&
                [ "$(memory_events)" = "rP01 wP01 rP01" ]'
    else
        fail window-memory-one "Alt+P, W opened no window \"Write to Radias\""
    fi
    window_stop
    stop_stand_in "$mem_pid" "$mem" window-radias-memory.log
}
