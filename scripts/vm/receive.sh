# Receiving from a stand-in MS2000: ms2000-responder.pl plays the synth on the device side of the
# interface (global channel 3, cable speed, active sensing all along) with a real bank, and the
# command line asks it who it is and for its programs. Sourced by checks.sh, whose helpers and
# variables it uses; the device side must be free (no capture reading it).

# start_responder CARD FOLDER MODES: the stand-in on the device-side card CARD, keeping its answers
# and log.txt in FOLDER (also $answers) and treating the dump requests as MODES says.
start_responder() {
    answers=$2
    start_stand_in "$answers" "$vm/ms2000-responder.pl" "/dev/snd/midiC$1D0" "$real_bank" "$answers" "$3" ||
        fail receive-responder "the stand-in MS2000 did not start"
    responder_pid=$stand_in_pid
}
# stop_responder LOG: ends it and keeps its log as LOG in the results.
stop_responder() { stop_stand_in "$responder_pid" "$answers" "$1"; }
# went_out_ms N: how long answer N took to go out of the device side, in ms; nothing before then.
went_out_ms() {
    awk -v a="answer-$1" '$2 == a && $3 == "went" { printf "%d", $6 * 1000 }' "$answers/log.txt"
}
# logged_ms TEXT [last]: when the first (or last) line of the responder's log with TEXT was
# written, in ms since 1970 like now_ms; nothing when there is none.
logged_ms() {
    awk -v t="$1" -v last="${2:-}" 'index($0, t) { at = $1; if (!last) exit }
        END { if (at != "") printf "%.0f", at * 1000 }' "$answers/log.txt"
}
# to_go N: what the responder last said was still to go out since answer N was asked for; a large
# number before then.
to_go() {
    awk -v a="as answer-$1.syx" 'index($0, a) { on = 1 } on && $3 == "bytes" && $4 == "to" { n = $2 }
        END { print on && n != "" ? n : 999999 }' "$answers/log.txt"
}
# to_go_below N BYTES
to_go_below() { [ "$(to_go "$1")" -lt "$2" ]; }

# receive_checks CARD: the responder on the interface's device-side card CARD.
receive_checks() {
    # In turn: the bank whole, the bank cut short, a current program left unanswered, one whole.
    start_responder "$1" "$work/responder" whole,cut,silent,whole

    run_cli identify identify --port "$iface_name"
    check receive-identify "identify prints the stand-in's answer: $(head -c 200 "$work/identify.out")" \
        eval '[ "$(rc_of identify)" = 0 ] && grep -q "MS2000 or microKORG.*global channel 3" "$work/identify.out"'

    # Another program writes MS2000-like SysEx straight at our input all through the bank, and
    # tries to connect to it: none of it may reach the saved bank.
    "$build/tests/midi/seq_input_intruder" 3 20 "$iface_client:0" >"$work/intruder.out" 2>&1 &
    intruder=$!
    started=$(now_ms)
    run_cli receive-all receive --port "$iface_name" --all --channel 3 -o "$work/received.syx"
    wall=$(($(now_ms) - started))
    wait "$intruder"
    cp "$work/intruder.out" "$results/intruder.log"
    run_cli receive-list list "$work/received.syx"
    check receive-all-byte-identical "receive --all saved what the stand-in sent, and list shows $(wc -l <"$work/receive-list.out") programs" \
        eval '[ "$(rc_of receive-all)" = 0 ] && cmp -s "$work/received.syx" "$answers/answer-1.syx" &&
              [ "$(wc -l <"$work/receive-list.out")" = 128 ]'
    check receive-intruder "another program could not connect to our input and its SysEx did not get in: $(tr '\n' ' ' <"$work/intruder.out")" \
        eval 'grep -q "^subscribe: Operation not permitted" "$work/intruder.out" &&
              grep -q "^connect: Operation not permitted" "$work/intruder.out" &&
              [ "$(sed -n "s/^sent //p" "$work/intruder.out")" -gt 100 ]'
    # The answer's 37163 bytes take 11892 ms at 3125 bytes a second; receiving may add 5% (594 ms)
    # to what the answer took on its way out of the device side (which the emulation may stretch).
    took=$(sed -n 's/.* in \([0-9][0-9]*\) ms from the request.*/\1/p' "$work/receive-all.out")
    out_ms=$(went_out_ms 1)
    added=$((${took:-99999} - ${out_ms:-0}))
    measure "cli-receive-all ${took:-?} ms from the request to the whole answer, which took ${out_ms:-?} ms to go out (cable time 11892 ms): receiving added $added ms; $wall ms for the whole command"
    check receive-speed "receiving added $added ms to the answer's ${out_ms:-?} ms on the cable, at most 594 ms (5% of 11892 ms)" \
        test -n "$out_ms" -a "$added" -le 594
    sleep 0.4 # the MS2000 wants a pause between two messages
    # Cut from the bank: the sequencer hands SysEx on in pieces of 256 bytes, so a message cut
    # short within its first piece never reaches a sequencer client at all (it then shows as no
    # answer); a third of the bank shows as an answer that stopped.
    run_cli receive-cut receive --port "$iface_name" --all --channel 3 -o "$work/cut.syx"
    check receive-cut "a cut answer fails with a guiding message and writes no file: $(head -c 200 "$work/receive-cut.err")" \
        eval 'failed_with receive-cut 1 "answer stopped after" &&
              err_has receive-cut "of 37163 bytes; nothing of it was kept" && [ ! -e "$work/cut.syx" ]'
    run_cli receive-silent receive --port "$iface_name" --current --channel 3 -o "$work/silent.syx"
    check receive-silent "no answer fails with what to check and writes no file: $(head -c 200 "$work/receive-silent.err")" \
        eval 'failed_with receive-silent 1 "No answer came from the MS2000 on MIDI channel 3" &&
              err_has receive-silent "\"SystemEx\" is ENA" && [ ! -e "$work/silent.syx" ]'
    run_cli receive-auto receive --port "$iface_name" --current --channel auto -o "$work/auto.syx"
    check receive-auto "--channel auto found channel 3 and received the current program" \
        eval '[ "$(rc_of receive-auto)" = 0 ] && cmp -s "$work/auto.syx" "$answers/answer-3.syx"'

    stop_responder responder.log
}
