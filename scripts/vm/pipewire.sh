# PipeWire and WirePlumber as a Debian desktop runs them, with a PipeWire MIDI client linked so
# that the bridge subscribes to the interface, and sends beside it: quiet, and with a second
# writer playing dense notes into the same port. Sourced by checks.sh, whose helpers and variables
# it uses.

pw_runtime=/tmp/runtime
pw_pids=""

# bridge_subscribed: aconnect -l shows PipeWire's sequencer client connected to write to the
# interface's port 0. Keeps what aconnect showed in $work/aconnect.txt.
bridge_subscribed() {
    aconnect -l >"$work/aconnect.txt" 2>&1
    cp "$work/aconnect.txt" "$results/aconnect.log"
    pw_client=$(client_of PipeWire-RT-Event)
    [ -n "$pw_client" ] || return 1
    awk -v client="$iface_client:" -v from=" $pw_client:" '
        /^client / { inside = ($2 == client); port = -1; next }
        inside && /^[ \t]+[0-9]+ / { port = $1; next }
        inside && port == 0 && /Connected From:/ && index($0, from) { found = 1 }
        END { exit !found }' "$work/aconnect.txt"
}

pipewire_start() {
    export XDG_RUNTIME_DIR=$pw_runtime
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    # WirePlumber watches logind's folders as on a desktop and gives up when they are missing.
    mkdir -p /run/systemd/seats /run/systemd/sessions /run/systemd/users /run/systemd/machines
    pw_started=$(now_ms)
    DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 \
        3>"$work/dbus.pid")
    export DBUS_SESSION_BUS_ADDRESS
    # Its end is logged too: a PipeWire that stops leaves the bridge without a word.
    (
        pipewire
        echo "pipewire ended with status $?"
    ) >"$results/pipewire.log" 2>&1 &
    pw_pids="$pw_pids $!"
    wait_until 30 test -S "$XDG_RUNTIME_DIR/pipewire-0" || {
        fail pipewire-start "pipewire made no socket within 30 s"
        return 1
    }
    WIREPLUMBER_DEBUG=3 wireplumber >"$results/wireplumber.log" 2>&1 &
    pw_pids="$pw_pids $!"
    bridge_node() { pw-link -o 2>/dev/null | grep -q "^Midi-Bridge:"; }
    wait_until 60 bridge_node || {
        fail pipewire-start "WirePlumber made no Midi-Bridge node within 60 s"
        return 1
    }
    pw-mididump >"$work/mididump.out" 2>&1 &
    pw_pids="$pw_pids $!"
    dump_node() { pw-link -i 2>/dev/null | grep -q "^midi-dump:input"; }
    wait_until 30 dump_node
    # Any link to the bridge makes it subscribe to every port, the interface's too. (PipeWire
    # 0.3 names the port "Midi-Bridge:Midi Through:(capture_0) Midi Through Port-0", 1.4
    # "Midi-Bridge:Midi Through Port-0 (capture)".)
    through=$(pw-link -o 2>/dev/null | grep "^Midi-Bridge:.*Midi Through.*capture" | head -n 1)
    pw-link "$through" midi-dump:input || pw-link -o >"$results/pipewire-ports.log" 2>&1
    if wait_until 30 bridge_subscribed; then
        pass pipewire-bridge-subscribed "PipeWire-RT-Event (client $pw_client) writes to $iface_client:0 per aconnect -l, $(($(now_ms) - pw_started)) ms after PipeWire started"
    else
        fail pipewire-bridge-subscribed "the bridge never subscribed to $iface_client:0; aconnect -l showed: $(tr '\n\t' '  ' <"$work/aconnect.txt")"
        return 1
    fi
}

pipewire_stop() {
    # shellcheck disable=SC2086 # one pid a word
    kill $pw_pids "$(cat "$work/dbus.pid" 2>/dev/null)" 2>/dev/null
    unset DBUS_SESSION_BUS_ADDRESS
}

# buffer_status FIELD: that line of the interface's output buffer as the kernel shows it.
buffer_status() {
    sed -n '/^Output 0/,/^[^ ]/p' "/proc/asound/card$iface_card/midi0" 2>/dev/null |
        grep -F "$1" | tr -s ' '
}

pipewire_checks() {
    iface_card=$(aconnect -l | awk -v client="$iface_client:" '$1 == "client" && $2 == client {
        if (match($0, /card=[0-9]+/)) print substr($0, RSTART + 5, RLENGTH - 5) }')
    # ---- Sends beside the quiet bridge, the port named by the interface's name alone ----
    sent_ok=0 times="" seen=""
    for program in A1 A2 A3; do
        before=$(size_of "$work/iface.bin")
        run_cli "pw-send-$program" send "$bank" --program "$program" --port "$interface"
        wait_until 5 capture_reaches iface $((before + dump_bytes))
        reported=$(reported_ms "pw-send-$program")
        if [ "$(rc_of "pw-send-$program")" = 0 ] &&
            arrived_exactly iface "$before" "$(expected_dump "$program" 1)"; then
            sent_ok=$((sent_ok + 1))
            times="$times $reported"
        else
            seen="$seen pw-send-$program: exit $(rc_of "pw-send-$program"), $(($(size_of "$work/iface.bin") - before)) bytes arrived, $(tail -c 300 "$work/pw-send-$program.err");"
        fi
    done
    bridge_subscribed && still=yes || still=no
    check pipewire-cli-send "with the bridge subscribed (still at the end: $still), $sent_ok of 3 sends to --port \"$interface\" arrived byte-identical and reported sent;$seen" \
        test "$sent_ok:$still" = 3:yes
    # shellcheck disable=SC2086 # one time a line
    median=$(printf '%s\n' $times | sort -n | awk '{ a[NR] = $1 } END { if (NR) print a[int((NR + 1) / 2)] }')
    measure "pipewire-send-median ${median:-none} ms over$times with the bridge subscribed (wire time 656.64 ms)"

    # ---- A second writer: dense notes into the same port while we send ----
    # A minute of notes: longer than the sends take even when the guest starts programs slowly;
    # stopped after them.
    perl "$vm/make-notes.pl" 12000 >"$work/notes.mid"
    overruns_before=$(dmesg | grep -c "output buffer overrun")
    aplaymidi -p "$iface_client:0" "$work/notes.mid" >"$work/aplaymidi.log" 2>&1 &
    player=$!
    player_on() { kill -0 $player 2>/dev/null && grep -q "aplaymidi" /proc/asound/seq/clients; }
    wait_until 10 player_on
    whole=0 refused=0 cut=0 otherwise=0 overlapped=0 whole_anyway=0
    for program in B1 B2 B3; do
        kill -0 $player 2>/dev/null || break
        overlapped=$((overlapped + 1))
        label=pw-race-$program
        echo "$label: before: $(buffer_status Tx) $(buffer_status Avail)"
        run_cli "$label" send "$bank" --program "$program" --port "$interface"
        sleep 0.3 # let the last bytes cross the USB link
        echo "$label: after: $(buffer_status Tx) $(buffer_status Avail)"
        arrived=no
        perl "$vm/midi-capture.pl" contains "$work/iface.bin" "$(expected_dump "$program" 1)" &&
            arrived=yes
        if [ "$(rc_of "$label")" = 0 ] && [ $arrived = yes ]; then
            whole=$((whole + 1))
        elif failed_with "$label" 1 "aplaymidi"; then
            refused=$((refused + 1))
            [ $arrived = yes ] && whole_anyway=$((whole_anyway + 1))
        elif [ "$(rc_of "$label")" = 0 ]; then
            cut=$((cut + 1))
            echo "$label: $program reported as sent but did not arrive whole"
        else
            otherwise=$((otherwise + 1))
        fi
        echo "$label: exit $(rc_of "$label"), arrived whole: $arrived, capture $(size_of "$work/iface.bin") bytes"
    done
    kill $player 2>/dev/null
    wait $player
    overruns=$(($(dmesg | grep -c "output buffer overrun") - overruns_before))
    check pipewire-second-writer "$overlapped sends during aplaymidi's notes 5 ms apart: $whole sent whole, $refused refused naming aplaymidi ($whole_anyway of them had arrived whole all the same), $cut cut yet reported sent, $otherwise failed otherwise; kernel overruns: $overruns; last text: $(tail -c 400 "$work/$label.err")" \
        test $((cut + otherwise)) = 0 -a $overlapped = 3
}
