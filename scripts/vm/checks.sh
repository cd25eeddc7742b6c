#!/bin/sh
# The checks inside the VM. Runs as root in the host's file system (read-only, with /tmp
# writable), with the kernel's sequencer, Midi Through, one VirMIDI port and two dummy USB
# controllers. A USB MIDI interface is a gadget on the first controller; what the host sends it
# comes out of the gadget's raw MIDI card on the device side, where a capture records it.
#
# The test bank and the dumps that `patchferry-cli convert` makes of it are written before the VM
# starts, into RESULTS/expected.
#
# usage: checks.sh ROOT BUILD RESULTS
set -u
root=$1
build=$2
results=$3
vm=$root/scripts/vm
. "$vm/lib.sh"

results_file=$results/results.txt
work=/tmp/work
cli=$build/tools/patchferry-cli
app=$build/app/patchferry
expected_dir=$results/expected
bank=$expected_dir/bank.syx
real_bank=$expected_dir/real-bank.syx
export HOME=/tmp/home LC_ALL=C.UTF-8
mkdir -p "$work" "$HOME"
: >"$results_file"
exec >"$results/checks.log" 2>&1
stage_started=$(now_ms)
iface_capture="" other_capture=""

# MIDI runs at 31250 baud, 10 bits a byte: a 2052-byte dump needs 656.64 ms on the cable.
dump_bytes=2052
wire_ms=657

interface="USB MIDI Interface"
other="Other Interface"
make_gadget iface "$interface" 6
make_gadget other "$other" 7

section "plug in the interface"
plug iface dummy_udc.0
wait_until 20 has_client "$interface" || fail plug "no sequencer client \"$interface\" appeared"
start_capture iface 6 && iface_capture=$capture_pid
iface_client=$(client_of "$interface")
cat /proc/asound/seq/clients

section "ports"
run_cli ports ports
port_line() { grep -F "$1" "$work/ports.out" | head -n 1; }
field_with() { port_line "$1" | tr '\t' '\n' | grep -F "$1" | head -n 1; }
is_hardware() { port_line "$1" | grep -qw hardware; }
is_software() { port_line "$1" | grep -qw software; }
iface_name=$(field_with "$interface")
iface_number=$(port_line "$interface" | cut -f 1)
through_name=$(field_with "Midi Through")

check ports-interface-hardware "\"$iface_name\" listed as a hardware port" is_hardware "$interface"
check ports-through-software "\"$through_name\" listed, not as hardware" is_software "Midi Through"
check ports-virmidi-software "\"$(field_with VirMIDI)\" listed, not as hardware" is_software VirMIDI
check ports-exit-status "ports exits 0 with access to the sequencer" test "$(rc_of ports)" = 0

section "send from the command line, by name"
sent_ok=0
times=""
for program in A1 A2 A3 A4 A5; do
    before=$(size_of "$work/iface.bin")
    started=$(now_ms)
    run_cli "send-$program" send "$bank" --program "$program" --port "$iface_name"
    wall=$(($(now_ms) - started))
    expected=$(expected_dump "$program" 1)
    wait_until 5 capture_reaches iface $((before + dump_bytes))
    reported=$(reported_ms "send-$program")
    echo "send $program: exit $(rc_of "send-$program"), reported ${reported:-?} ms, wall $wall ms"
    if [ "$(rc_of "send-$program")" = 0 ] && arrived_exactly iface "$before" "$expected" &&
        [ "${reported:-0}" -ge $wire_ms ]; then
        sent_ok=$((sent_ok + 1))
        times="$times $reported"
    fi
done
check cli-send-byte-identical "$sent_ok of 5 sends by name arrived byte-identical and reported at least $wire_ms ms" \
    test $sent_ok = 5
# shellcheck disable=SC2086 # one time a line
median=$(printf '%s\n' $times | sort -n | awk '{ a[NR] = $1 } END { if (NR) print a[int((NR + 1) / 2)] }')
measure "cli-send-median ${median:-none} ms over$times (wire time 656.64 ms for $dump_bytes bytes)"

# send_arrives LABEL PROGRAM PORT: one send to PORT arrives whole at the interface.
send_arrives() {
    before=$(size_of "$work/iface.bin")
    run_cli "$1" send "$bank" --program "$2" --port "$3"
    [ "$(rc_of "$1")" = 0 ] && wait_until 5 capture_reaches iface $((before + dump_bytes)) &&
        arrived_exactly iface "$before" "$(expected_dump "$2" 1)"
}
check cli-send-by-address "--port $iface_client:0 arrives byte-identical" \
    send_arrives send-address A6 "$iface_client:0"
check cli-send-by-number "--port $iface_number (the number ports prints) arrives byte-identical" \
    send_arrives send-number A7 "$iface_number"
check cli-send-name-case "--port in other letter case arrives byte-identical" \
    send_arrives send-case A8 "$(echo "$iface_name" | tr '[:upper:]' '[:lower:]')"
run_cli send-unknown send "$bank" --program A1 --port "No Such Port"
check cli-send-unknown-port "an unknown port fails and names the ports there are" \
    failed_with send-unknown 1 "$iface_name"

section "another program sending to the same port at the same time"
whole=0 refused=0 cut=0 broken=0
for round in 1 2; do
    run_cli "race-$round-a" send "$bank" --program B$round --port "$iface_name" &
    first=$!
    run_cli "race-$round-b" send "$bank" --program C$round --port "$iface_name" &
    second=$!
    wait $first $second
    sleep 0.3 # let the last bytes cross the USB link
    for side in a:B b:C; do
        label=race-$round-${side%%:*}
        program=${side#*:}$round
        if [ "$(rc_of "$label")" = 0 ]; then
            if perl "$vm/midi-capture.pl" contains "$work/iface.bin" "$(expected_dump "$program" 1)"; then
                whole=$((whole + 1))
            else
                cut=$((cut + 1))
                echo "$label: $program reported as sent but did not arrive whole"
            fi
        elif failed_with "$label" 1 "Error: Failed to"; then
            refused=$((refused + 1))
        else
            broken=$((broken + 1))
        fi
    done
done
check concurrent-never-cut "two senders at once, 2 rounds: $whole sent and arrived whole, $refused refused, $cut cut yet reported sent, $broken failed otherwise" \
    test $((cut + broken)) = 0

section "no access to the sequencer"
chgrp audio /dev/snd/seq && chmod 660 /dev/snd/seq
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
run_labelled noaccess-ports as_nobody "$cli" ports
check noaccess-ports "ports exits 1 and says why on stderr: $(head -c 200 "$work/noaccess-ports.err")" \
    failed_with noaccess-ports 1 "Permission denied"
run_labelled noaccess-send as_nobody "$cli" send "$bank" --program A1 --port "$iface_client:0"
check noaccess-open "opening $iface_client:0 fails with the system's text: $(head -c 200 "$work/noaccess-send.err")" \
    failed_with noaccess-send 1 "Error: Failed to open the specified MIDI port. Permission denied"
chmod 666 /dev/snd/seq
mv /dev/snd/seq /dev/snd/seq.away
run_cli noseq-ports ports
mv /dev/snd/seq.away /dev/snd/seq
check noseq-ports "without /dev/snd/seq, ports says so: $(head -c 200 "$work/noseq-ports.err")" \
    failed_with noseq-ports 1 "the ALSA sequencer is not available (/dev/snd/seq is missing)"

section "PipeWire and WirePlumber with the bridge subscribed"
. "$vm/pipewire.sh"
pipewire_on=no
pipewire_start && pipewire_on=yes && pipewire_checks
measure "pipewire-stage $(($(now_ms) - pw_started)) ms from starting PipeWire to the end of its sends"

section "the window"
# It lists the ports once, at its start, with the interface plugged in. Its saved port is Midi
# Through, in other letter case: a software port, which it must not offer.
. "$vm/window.sh"
saved_port=$(echo "$through_name" | tr "[:upper:]" "[:lower:]")
if [ $pipewire_on = yes ]; then
    check window-bridge-subscribed "the window's Audition runs with PipeWire's bridge subscribed to $iface_client:0" \
        bridge_subscribed
fi
window_start "$saved_port" && window_checks "$saved_port"
pipewire_stop

section "receive from a stand-in MS2000"
# The interface plugged in afresh, alone, with the responder on its device side in place of the
# capture, which the replug below starts again.
receive_started=$(now_ms)
kill "$iface_capture" 2>/dev/null
wait "$iface_capture" 2>/dev/null
unplug other 2>/dev/null
unplug iface 2>/dev/null
plug iface dummy_udc.0
wait_until 20 has_client "$interface" || fail receive-plug "no client \"$interface\" after plugging it in"
wait_until 10 test -c /dev/snd/midiC6D0
. "$vm/receive.sh"
receive_checks 6
measure "receive-stage $(($(now_ms) - receive_started)) ms"

section "the window receives from a stand-in MS2000"
# The same responder afresh, with the window in place of the command line.
receive_started=$(now_ms)
window_receive_checks 6
measure "window-receive-stage $(($(now_ms) - receive_started)) ms"

section "send --confirm to a stand-in Radias"
# The same interface, with a stand-in Radias on its device side in place of the MS2000's.
confirm_started=$(now_ms)
. "$vm/confirm.sh"
confirm_checks 6
measure "confirm-stage $(($(now_ms) - confirm_started)) ms"

section "the window's Audition confirmed by a stand-in Radias"
confirm_started=$(now_ms)
window_confirm_checks 6
measure "window-confirm-stage $(($(now_ms) - confirm_started)) ms"

section "the Radias's memory from the command line: backup, write and restore"
# The same interface, with a stand-in Radias holding 256 programs on its device side.
memory_started=$(now_ms)
. "$vm/memory.sh"
memory_checks 6
measure "memory-stage $(($(now_ms) - memory_started)) ms"

section "the Radias's memory from the window: Write to Radias and Restore Radias Backup"
memory_started=$(now_ms)
. "$vm/window-memory.sh"
window_memory_checks 6
measure "window-memory-stage $(($(now_ms) - memory_started)) ms"

section "unplug while the command line holds the port open"
unplug other 2>/dev/null
unplug iface 2>/dev/null
plug iface dummy_udc.0
wait_until 20 has_client "$interface" || fail replug "no client \"$interface\" after plugging it in again"
start_capture iface 6 && iface_capture=$capture_pid
check replug-open-by-name "after a replug, a send to \"$iface_name\" arrives byte-identical" \
    send_arrives send-replug A9 "$iface_name"
iface_client=$(client_of "$interface")

before=$(size_of "$work/iface.bin")
"$cli" send "$bank" --program A10,A11 --pause 10 --port "$iface_name" \
    >"$work/unplug-send.out" 2>"$work/unplug-send.err" &
sender=$!
# Unplugged only once the first send has reported: during the send it would rightly fail that one.
first_reported() { grep -q "^Sent A010" "$work/unplug-send.out" 2>/dev/null; }
if wait_until 15 first_reported; then
    section "first program sent; unplug"
    unplug iface
    plug other dummy_udc.1
    wait_until 20 has_client "$other"
    start_capture other 7 && other_capture=$capture_pid
    section "the other device listens"
    other_client=$(client_of "$other")
    still_running=no
    kill -0 $sender 2>/dev/null && still_running=yes
    check unplug-other-took-number "\"$other\" plugged in after the unplug got client ${other_client:-none}, the interface had $iface_client" \
        test "${other_client:-x}" = "$iface_client"
    check unplug-in-time "the other device listened before the second send (sender still pausing: $still_running)" \
        test $still_running = yes
    wait $sender
    echo $? >"$work/unplug-send.rc"
    cat "$work/unplug-send.out" "$work/unplug-send.err"
    sleep 0.5
    check unplug-send-fails "the send after the unplug fails with the service's text: $(tail -c 200 "$work/unplug-send.err")" \
        failed_with unplug-send 1 "Error: Failed to send Midi SysEx message to MS2K."
    check unplug-nothing-to-other "nothing reached \"$other\" ($(size_of "$work/other.bin") bytes)" \
        test "$(size_of "$work/other.bin")" = 0
else
    wait $sender
    cat "$work/unplug-send.out" "$work/unplug-send.err"
    fail unplug-send-fails "the first program was never reported sent, so nothing was unplugged: $(tail -c 200 "$work/unplug-send.err")"
fi

measure "vm-checks-duration $(($(now_ms) - stage_started)) ms (from the first plug to the last check)"
kill "$iface_capture" "$other_capture" 2>/dev/null
echo DONE >>"$results_file"
