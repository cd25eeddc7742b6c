# Auditions the Radias confirms: radias-responder.pl plays a Radias on the device side of the
# interface (global channel 3, cable speed, active sensing all along) and answers each program dump
# as the check asks: DATA LOAD COMPLETED, DATA LOAD ERROR, DATA FORMAT ERROR or nothing. The command
# line's `send --confirm` and the window's Audition must each report what it answered. Sourced by
# checks.sh, whose helpers and variables it uses (window.sh's too); the device side must be free
# (no capture or other stand-in reading it).

# start_radias CARD FOLDER MODES: the stand-in on the device-side card CARD, keeping the dumps it
# receives and its log.txt in FOLDER (also $radias).
start_radias() {
    radias=$2
    rm -rf "$radias"
    r_started=$(now_ms)
    if start_stand_in "$radias" "$vm/radias-responder.pl" "/dev/snd/midiC$1D0" "$radias" "$3"; then
        echo "the stand-in Radias ($3) listened $(($(now_ms) - r_started)) ms after its start"
    else
        fail confirm-responder "the stand-in Radias did not start on /dev/snd/midiC$1D0"
    fi
    radias_pid=$stand_in_pid
    seen_dumps=0 seen_lines=0
}
# stop_radias LOG: ends it and keeps its log as LOG in the results.
stop_radias() { stop_stand_in "$radias_pid" "$radias" "$1"; }
dumps_received() {
    set -- "$radias"/dump-*.syx
    if [ -e "$1" ]; then echo $#; else echo 0; fi
}
# One stand-in serves the runs in turn; a run's dumps and log lines are those that came since
# next_run MODES, which also gives the stand-in the modes for the run's dumps.
next_run() {
    seen_dumps=$(dumps_received)
    seen_lines=$(wc -l <"$radias/log.txt")
    echo "$1" >"$radias/modes.new" && mv "$radias/modes.new" "$radias/modes"
}
dumps_of_run() { echo $(($(dumps_received) - seen_dumps)); }
# dump_is N PROGRAM: the run's Nth dump is the one `convert` made of PROGRAM for channel 3.
dump_is() { cmp -s "$radias/dump-$((seen_dumps + $1)).syx" "$(expected_dump "$2" 3)"; }
# radias_saw: what the stand-in received and answered in this run, on one line.
radias_saw() {
    tail -n +$((seen_lines + 1)) "$radias/log.txt" | grep -v -e 'bytes to go' -e listening |
        cut -d ' ' -f 2- | paste -s -d ';'
}
# radias_logged_ms TEXT: when the stand-in's log first had a line with TEXT, in ms like now_ms.
radias_logged_ms() {
    awk -v t="$1" 'index($0, t) { printf "%.0f", $1 * 1000; exit }' "$radias/log.txt"
}
# answer_left_ms N / dump_whole_ms N: when the answer to the run's Nth dump left the stand-in, when
# that dump was whole there.
answer_left_ms() { radias_logged_ms "answer-$((seen_dumps + $1)) went out"; }
dump_whole_ms() { radias_logged_ms "dump-$((seen_dumps + $1)) ("; }

# run_timed LABEL ARGS...: the command-line tool like run_cli, with each line of its standard
# output and error also in LABEL.timed and LABEL.err-timed, headed by the time it came (ms, like
# now_ms).
run_timed() {
    label=$1
    shift
    for stream in out err; do
        rm -f "$work/$label.$stream-pipe"
        mkfifo "$work/$label.$stream-pipe"
    done
    rm -f "$work/$label.ready"
    perl "$vm/stamp-lines.pl" "$work/$label.ready" "$work/$label.out-pipe" "$work/$label.timed" \
        "$work/$label.err-pipe" "$work/$label.err-timed" &
    stamper=$!
    wait_until 10 test -e "$work/$label.ready"
    "$cli" "$@" >"$work/$label.out-pipe" 2>"$work/$label.err-pipe"
    echo $? >"$work/$label.rc"
    wait $stamper
    cut -d ' ' -f 2- "$work/$label.timed" >"$work/$label.out"
    cut -d ' ' -f 2- "$work/$label.err-timed" >"$work/$label.err"
    sed "s/^/[$label] /" "$work/$label.out" "$work/$label.err"
}
# cli_saw LABEL: the run's exit status and outputs, shortened, on one line.
cli_saw() {
    echo "exit $(rc_of "$1"); stdout: $(head -c 300 "$work/$1.out" | paste -s -d '|'); stderr: $(head -c 300 "$work/$1.err" | paste -s -d '|')"
}
# confirm_check NAME DETAIL LABEL COMMAND...: check, and when it fails, what the run of LABEL
# printed and what the stand-in saw in it.
confirm_check() {
    c_name=$1 c_detail=$2 c_label=$3
    shift 3
    if "$@"; then
        pass "$c_name" "$c_detail"
    else
        fail "$c_name" "$c_detail; $(cli_saw "$c_label"); the stand-in: $(radias_saw)"
    fi
}
lines_of() { wc -l <"$work/$1.out"; }
took_lines() { grep -c "the Radias took it" "$work/$1.out"; }
# answered_ms LABEL: what the confirmed lines say of the time from each dump to its answer.
answered_ms() {
    sed -n 's/.*answered \([0-9][0-9]*\) ms after the dump.*/\1/p' "$work/$1.out" | paste -s -d ' '
}
# line_after_answer LABEL N: ms from the answer to the run's Nth dump leaving the stand-in to the
# Nth line of standard output.
line_after_answer() {
    line=$(sed -n "$2p" "$work/$1.timed" | cut -d ' ' -f 1)
    answer=$(answer_left_ms "$2")
    [ -n "$line" ] && [ -n "$answer" ] && echo $((line - answer))
}
# said_ms LABEL TEXT: when the run's standard error said TEXT (ms, like now_ms).
said_ms() { grep -F "$2" "$work/$1.err-timed" | head -n 1 | cut -d ' ' -f 1; }
# confirm_checks CARD: the stand-in on the interface's device-side card CARD, one for all the runs.
confirm_checks() {
    start_radias "$1" "$work/radias-cli" take

    section "send --confirm: both programs taken"
    next_run take,take
    run_timed confirm-take send "$bank" --program A1,A2 --port "$iface_name" --channel 3 --confirm
    first=$(line_after_answer confirm-take 1)
    second=$(line_after_answer confirm-take 2)
    # From the first line to the second: one program's dump, its answer and its line.
    apart=$(awk 'NR == 1 { first = $1 } NR == 2 { print $1 - first }' "$work/confirm-take.timed")
    confirm_check confirm-take "both programs taken: exit 0, two lines saying \"the Radias took it\", the dumps byte-identical to convert's for channel 3" \
        confirm-take eval '[ "$(rc_of confirm-take)" = 0 ] && [ "$(lines_of confirm-take)" = 2 ] &&
            [ "$(took_lines confirm-take)" = 2 ] && [ "$(dumps_of_run)" = 2 ] &&
            dump_is 1 A1 && dump_is 2 A2'
    measure "cli-confirm two programs confirmed, their lines ${apart:-?} ms apart (wire time 656.64 ms a dump); each line came ${first:-?} and ${second:-?} ms after the answer's last byte left the stand-in; the command said the answers came $(answered_ms confirm-take) ms after the dumps"
    # The answer is 6 bytes at the stand-in's cable speed: a line that waited for a time-out or a
    # poll of its own would come a good part of a second late.
    confirm_check confirm-take-prompt "each line came within 300 ms of the answer's last byte leaving the stand-in: ${first:-?} and ${second:-?} ms" \
        confirm-take eval '[ -n "$first" ] && [ -n "$second" ] && [ "$first" -le 300 ] && [ "$second" -le 300 ]'

    section "send --confirm: the second program refused"
    next_run take,refuse
    run_timed confirm-refuse send "$bank" --program A1,A2 --port "$iface_name" --channel 3 --confirm
    said=$(said_ms confirm-refuse "DATA LOAD ERROR")
    answer=$(answer_left_ms 2)
    measure "cli-confirm-refused the refusal was reported $((${said:-0} - ${answer:-0})) ms after the answer's last byte left the stand-in"
    confirm_check confirm-refuse "the first program taken, the second refused: exit 1, one line saying \"the Radias took it\", standard error names DATA LOAD ERROR" \
        confirm-refuse eval '[ "$(rc_of confirm-refuse)" = 1 ] && [ "$(lines_of confirm-refuse)" = 1 ] &&
            [ "$(took_lines confirm-refuse)" = 1 ] && err_has confirm-refuse "DATA LOAD ERROR" &&
            [ "$(dumps_of_run)" = 2 ]'

    section "send --confirm: a format error"
    next_run format
    run_timed confirm-format send "$bank" --program A1,A2 --port "$iface_name" --channel 3 --confirm
    confirm_check confirm-format "a format error: exit 1, standard error names DATA FORMAT ERROR, nothing sent after it" \
        confirm-format eval '[ "$(rc_of confirm-format)" = 1 ] && err_has confirm-format "DATA FORMAT ERROR" &&
            ! grep -q "the Radias took it" "$work/confirm-format.out" && [ "$(dumps_of_run)" = 1 ]'

    section "send --confirm: no answer"
    next_run silent
    run_timed confirm-silent send "$bank" --program A1,A2 --port "$iface_name" --channel 3 --confirm
    said=$(said_ms confirm-silent "no answer from the Radias")
    whole=$(dump_whole_ms 1)
    waited=$((${said:-0} - ${whole:-0}))
    # A second dump would be whole at the stand-in only a cable time (657 ms) after it was sent:
    # its absence can only be waited for.
    sleep 1
    measure "cli-confirm-silent the command said so $waited ms after the dump was whole at the stand-in (it waits 1 s for the answer)"
    confirm_check confirm-silent "no answer: exit 1, standard error says \"no answer from the Radias\", $waited ms after the dump was whole at the stand-in, and the second program was not sent" \
        confirm-silent eval '[ "$(rc_of confirm-silent)" = 1 ] && err_has confirm-silent "no answer from the Radias" &&
            [ "$(dumps_of_run)" = 1 ] && [ "$waited" -ge 900 ] && [ "$waited" -le 4000 ]'

    section "send without --confirm, nobody answering"
    next_run silent
    run_timed plain-send send "$bank" --program A1 --port "$iface_name" --channel 3
    measure "cli-send-plain $(reported_ms plain-send) ms reported for one program without --confirm, against the stand-in"
    wait_until 5 eval '[ "$(dumps_of_run)" = 1 ]'
    confirm_check confirm-not-asked "without --confirm nothing listens: exit 0 with the stand-in silent, the dump byte-identical" \
        plain-send eval '[ "$(rc_of plain-send)" = 0 ] && [ "$(dumps_of_run)" = 1 ] && dump_is 1 A1 &&
            ! grep -q "no answer" "$work/plain-send.err"'
    stop_radias radias-cli.log
}

# ---- The window's Audition against the stand-in ----
# The window prints each text it puts in its status bar's message pane on standard error as a line
# "status: TEXT", which window_start keeps in the results.

# appears READY FILE TEXT COUNT SECONDS: creates READY, then waits until FILE holds more than COUNT
# lines with TEXT, looking every 10 ms; prints when it saw the new one (ms, like now_ms). Exit
# status 1 after SECONDS. Started ahead and waited for with READY, since Perl can take seconds to
# start under emulation.
appears() {
    perl -MTime::HiRes=time,sleep -e '
        my ($ready, $file, $text, $count, $seconds) = @ARGV;
        open(my $flag, ">", $ready) or die "cannot write $ready: $!\n";
        close $flag;
        my $end = time + $seconds;
        while (time < $end) {
            if (open(my $in, "<", $file)) {
                my $n = grep { index($_, $text) >= 0 } <$in>;
                if ($n > $count) { printf "%.0f\n", time * 1000; exit 0; }
            }
            sleep 0.01;
        }
        exit 1' "$@"
}
last_status() { grep '^status: ' "$window_log" | tail -n 1; }
# window_statuses: every status line the window printed, on one line.
window_statuses() { grep '^status: ' "$window_log" | cut -c 9- | paste -s -d '|'; }
# window_saw: the window's last status line and the stand-in's log, for a failure.
window_saw() { echo "the window's status lines: \"$(window_statuses)\"; the stand-in: $(radias_saw)"; }

# audition_shows NAME TEXT SINCE: Ctrl+A, then a new status line with TEXT within 20 s; sets `after`
# to the ms from the stand-in's first log line with SINCE to that line. Fails NAME when none comes.
audition_shows() {
    shown_before=$(grep -c "^status: .*$2" "$window_log")
    rm -f "$work/status.ready"
    appears "$work/status.ready" "$window_log" "$2" "$shown_before" 20 >"$work/status.at" &
    watcher=$!
    wait_until 10 test -e "$work/status.ready"
    xdotool key ctrl+a
    if wait $watcher; then
        shown_at=$(cat "$work/status.at")
        since=$(radias_logged_ms "$3")
        after=$((shown_at - ${since:-$shown_at}))
        return 0
    fi
    fail "$1" "no status line \"$2\" within 20 s; $(window_saw)"
    import -window root "$results/$1.png"
    return 1
}

# window_confirm_checks CARD: the stand-in on the interface's device-side card CARD.
window_confirm_checks() {
    # In turn: the first Audition taken, the second unanswered, the third refused.
    start_radias "$1" "$work/radias-window" take,silent,refuse
    # The window on the interface, channel 03, where the stand-in listens.
    window_start "$iface_name" window-confirm 2
    window_log=$results/window-confirm.log
    if ! wait_until 90 find_window; then
        fail window-confirm-start "no window within 90 s"
        cat "$window_log"
        window_stop
        stop_radias radias-window.log
        return
    fi
    eval "$(xdotool getwindowgeometry --shell "$window")"
    if ! wait_until 20 find_midi_active; then
        fail window-confirm-midi-active "no \"Midi Active\" box found on the screenshot"
        convert "$work/window.ppm" "$results/window-confirm.png"
        window_stop
        stop_radias radias-window.log
        return
    fi
    xdotool mousemove $((X + box_x)) $((Y + box_y)) click 1
    wait_until 10 window_connected

    section "window: Audition taken"
    find_first_row && xdotool mousemove $((X + 40)) $((Y + row_y)) click 1
    took="the Radias took it"
    if audition_shows window-confirm-take "$took" "answer-1 went out"; then
        measure "window-confirm the status line came $after ms after the answer's last byte left the stand-in"
        # The window looks at its input every 10 ms while it listens.
        check window-confirm-take "Ctrl+A on A001: \"$(last_status)\", $after ms after the answer left the stand-in (at most 500), the dump byte-identical" \
            eval 'grep -q "^status: .*VM TEST 001.*$took" "$window_log" && dump_is 1 A1 && ! find_message_box &&
                  [ "$after" -le 500 ]'
    fi

    section "window: Audition unanswered"
    if audition_shows window-confirm-silent "sent; no answer from the Radias" "dump-2 ("; then
        measure "window-confirm-silent the status line came $after ms after the dump was whole at the stand-in (the answer is waited for 1 s)"
        check window-confirm-silent "Ctrl+A unanswered: \"$(last_status)\", $after ms after the dump was whole at the stand-in, and no message box" \
            eval '[ "$after" -ge 900 ] && [ "$after" -le 4000 ] && [ "$(dumps_received)" = 2 ] && ! find_message_box'
    fi

    section "window: Audition refused"
    xdotool key ctrl+a
    # The first message box of a run takes several seconds to appear under emulation.
    if wait_until 30 find_message_box; then
        read_box
        check window-confirm-refuse "Ctrl+A refused: a message box said \"$(box_text)\"" \
            grep -qF "DATA LOAD ERROR" "$work/box.txt"
        close_box
    else
        fail window-confirm-refuse "no message box within 30 s of a refusal; $(window_saw)"
        import -window root "$results/window-confirm-refuse.png"
    fi
    window_stop
    stop_radias radias-window.log
}
