# Helpers for checks.sh: results, waiting, the USB gadgets, the sequencer's client list, the
# device-side captures and the command-line tool. Sourced; plain POSIX sh.

# ---- Results: one line per check in $results_file, details in the log ----
pass() {
    echo "PASS $1: $2" | tee -a "$results_file"
}
fail() {
    echo "FAIL $1: $2" | tee -a "$results_file"
}
measure() {
    echo "MEASURE $*" | tee -a "$results_file"
}
# check NAME DETAIL COMMAND...: PASS when COMMAND succeeds, else FAIL.
check() {
    name=$1 detail=$2
    shift 2
    if "$@"; then pass "$name" "$detail"; else fail "$name" "$detail"; fi
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; 1 after SECONDS.
wait_until() {
    deadline=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -le "$deadline" ] || return 1
        sleep 0.1
    done
}

# section TITLE: a heading in the log, with the time since the checks began.
section() {
    echo "== $* (at $((($(now_ms) - stage_started) / 1000)) s)"
}

# ---- USB gadgets: a device with one MIDI function, plugged into one of the dummy controllers ----
gadgets=/sys/kernel/config/usb_gadget

# make_gadget NAME PRODUCT CARD: the device-side raw MIDI card gets number CARD, so it never
# takes the number that the host side's card of another gadget would get.
make_gadget() {
    g=$gadgets/$1
    mkdir -p "$g/strings/0x409" "$g/configs/c.1" "$g/functions/midi.$1"
    echo 0x1d6b >"$g/idVendor"  # Linux Foundation
    echo 0x0104 >"$g/idProduct" # composite gadget
    echo Patchferry >"$g/strings/0x409/manufacturer"
    echo "$2" >"$g/strings/0x409/product"
    echo "$3" >"$g/functions/midi.$1/index"
    ln -s "$g/functions/midi.$1" "$g/configs/c.1/"
}
# plug NAME CONTROLLER / unplug NAME: what pulling the cable does, as the host sees it.
plug() { echo "$2" >"$gadgets/$1/UDC"; }
unplug() { echo "" >"$gadgets/$1/UDC"; }

# ---- The sequencer's own view (/proc/asound/seq/clients) ----
# client_of NAME: the number of the client with that name; nothing when there is none.
client_of() {
    awk -v name="\"$1\"" '$1 == "Client" && index($0, name) { print $2 + 0; exit }' \
        /proc/asound/seq/clients
}
has_client() { [ -n "$(client_of "$1")" ]; }
# connections_of NAME: the addresses the client of that name sends to, one a line.
connections_of() {
    awk -v name="\"$1\"" '
        $1 == "Client" { inside = index($0, name) > 0 }
        inside && /Connecting To:/ { sub(/.*Connecting To: */, ""); gsub(/\[[^]]*\]/, "");
                                     gsub(/, */, "\n"); print }' /proc/asound/seq/clients |
        tr -d ' '
}

# ---- Captures: what a device-side raw MIDI input receives, with arrival times ----
# start_capture LABEL CARD: records into $work/LABEL.bin and LABEL.times; sets capture_pid. Returns
# once the capture listens: the gadget drops what arrives while nobody reads its input.
start_capture() {
    device=/dev/snd/midiC$2D0
    wait_until 10 test -c "$device" || { echo "no $device"; return 1; }
    rm -f "$work/$1.times"
    : >"$work/$1.bin"
    perl "$vm/midi-capture.pl" capture "$device" "$work/$1.bin" "$work/$1.times" &
    capture_pid=$!
    wait_until 10 test -e "$work/$1.times"
}
size_of() { stat -c %s "$1"; }
# capture_reaches LABEL BYTES
capture_reaches() { [ "$(size_of "$work/$1.bin")" -ge "$2" ]; }
# last_arrival_is LABEL DUMP: the last bytes received are exactly DUMP.
last_arrival_is() {
    tail -c "$(size_of "$2")" "$work/$1.bin" | cmp -s - "$2"
}
# arrived_exactly LABEL BEFORE DUMP: since the capture held BEFORE bytes, DUMP came and nothing else.
arrived_exactly() {
    [ "$(size_of "$work/$1.bin")" = $(($2 + $(size_of "$3"))) ] && last_arrival_is "$1" "$3"
}

# ---- Stand-in synths on the device side (ms2000-responder.pl, radias-responder.pl) ----
# start_stand_in FOLDER SCRIPT ARGS...: the stand-in, logging to FOLDER/log.txt; sets stand_in_pid
# and returns once it listens, with status 1 when it does not within 10 s.
start_stand_in() {
    stand_in_log=$1/log.txt
    mkdir -p "$1"
    shift
    perl "$@" &
    stand_in_pid=$!
    wait_until 10 grep -q listening "$stand_in_log" 2>/dev/null
}
# stop_stand_in PID FOLDER LOG: ends it and keeps FOLDER/log.txt as LOG in the results.
stop_stand_in() {
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    cp "$2/log.txt" "$results/$3" 2>/dev/null
}

# ---- The command-line tool ----
# expected_dump PROGRAM CHANNEL: the dump that `convert` wrote for it before the VM started.
expected_dump() {
    echo "$expected_dir/$1-$2.syx"
}
# run_labelled LABEL COMMAND...: keeps standard output, error and exit status of COMMAND as
# $work/LABEL.out, .err and .rc, and copies both outputs into the log.
run_labelled() {
    label=$1
    shift
    "$@" >"$work/$label.out" 2>"$work/$label.err"
    echo $? >"$work/$label.rc"
    sed "s/^/[$label] /" "$work/$label.out" "$work/$label.err"
}
# run_cli LABEL ARGS...: the command-line tool, labelled.
run_cli() {
    label=$1
    shift
    run_labelled "$label" "$cli" "$@"
}
rc_of() { cat "$work/$1.rc"; }
# reported_ms LABEL: the time the send reported for itself ("in N ms").
reported_ms() { sed -n 's/.* in \([0-9][0-9]*\) ms.*/\1/p' "$work/$1.out" | head -n 1; }
err_has() { grep -qF "$2" "$work/$1.err"; }
# failed_with LABEL STATUS TEXT: the run exited with STATUS and its standard error holds TEXT.
failed_with() { [ "$(rc_of "$1")" = "$2" ] && err_has "$1" "$3"; }
