# NOT YET RUN: checks.sh does not source this file yet. It is for the command line's `write` and
# `restore`, which do not exist yet (only `backup` does); it is hooked in once they do, and until
# then nothing here has run inside the VM.
#
# The Radias's memory from the command line: radias-responder.pl holds 256 programs, seeded with
# make-radias-memory.pl's (each program its own bytes), answers requests for them and stores the
# programs written into them, and writes its whole memory out on SIGUSR1. Each check compares that
# memory, and the backups the commands write, byte for byte with what they must be:
#   backup   the dumps the stand-in answers with, in slot order and nothing else, at cable speed;
#   write    the test bank converted for channel 3 in A01..H16, a backup of those slots first, each
#            program's answer before the next, the first read back; a protected memory refuses
#            with nothing changed; a Radias falling silent stops the run there;
#   restore  the memory back as it was, byte for byte; a file that is no backup sends nothing.
# Sourced by checks.sh after confirm.sh, whose helpers and variables it uses (lib.sh's too); the
# device side must be free (no capture or other stand-in reading it).

program_bytes=2054
# On the cable, 320 us a byte: a request (8 bytes), a program dump (2054), an answer (6).
request_us=2560 program_us=657280 reply_us=1920

# slot_name N: A01..P16 for 0..255.
slot_name() {
    printf '%s%02d' "$(echo ABCDEFGHIJKLMNOP | cut -c $(($1 / 16 + 1)))" $(($1 % 16 + 1))
}
# slot_names FIRST COUNT: the names of COUNT slots from FIRST (0..255), space-separated.
slot_names() {
    n=$1
    while [ "$n" -lt $(($1 + $2)) ]; do
        slot_name "$n"
        n=$((n + 1))
        [ "$n" -lt $(($1 + $2)) ] && printf ' '
    done
    echo
}
# slots_of FILE FIRST COUNT: the dumps of COUNT slots from FIRST in a whole memory FILE.
slots_of() { tail -c +$(($2 * program_bytes + 1)) "$1" | head -c $(($3 * program_bytes)); }
# readdressed DUMP SLOT: a current program dump (40h) as the program dump for SLOT (4Ch nn hh):
# the same channel and packed program.
readdressed() {
    head -c 4 "$1"
    printf "\\114\\$(printf %03o $(($2 % 128)))\\$(printf %03o $(($2 / 128)))"
    tail -c +6 "$1"
}

# converted_dump N: the file of the Nth program of the test bank converted for channel 3.
converted_dump() { ls "$work/converted"/*.syx | sed -n "$1p"; }

# start_memory_radias CARD FOLDER SEED: the stand-in on the device-side card CARD holding SEED,
# keeping its log.txt, the writes it receives and its memory in FOLDER (also $mem).
start_memory_radias() {
    mem=$2
    rm -rf "$mem"
    if ! start_stand_in "$mem" "$vm/radias-responder.pl" --memory "$3" "/dev/snd/midiC$1D0" "$mem" take; then
        fail memory-responder "the stand-in Radias did not start on /dev/snd/midiC$1D0"
        return 1
    fi
    mem_pid=$stand_in_pid
    mem_lines=0
}
# memory_run MEMORY-MODES: what follows is a new run; the stand-in answers its requests and writes
# as MEMORY-MODES says (open, protected, silent-after=N).
memory_run() {
    mem_lines=$(wc -l <"$mem/log.txt")
    echo "$1" >"$mem/memory-modes.new" && mv "$mem/memory-modes.new" "$mem/memory-modes"
}
# memory_now OUT: the stand-in's whole memory, as it writes it out on SIGUSR1, copied to OUT.
memory_now() {
    m_before=$(grep -c 'memory written' "$mem/log.txt")
    kill -USR1 "$mem_pid"
    wait_until 10 eval '[ "$(grep -c "memory written" "$mem/log.txt")" -gt "$m_before" ]' &&
        cp "$mem/memory.syx" "$1"
}
# memory_events: the run's requests and writes in turn, as "rA01 wA01 ...".
memory_events() {
    tail -n +$((mem_lines + 1)) "$mem/log.txt" |
        sed -n 's/^[0-9.]* \(request\|write\)-[0-9]* \([A-P][0-9][0-9]\) .*/\1 \2/p' |
        sed 's/^request /r/; s/^write /w/' | paste -s -d ' '
}
# writes_of_run: the slots written in the run, in turn.
writes_of_run() { memory_events | tr ' ' '\n' | sed -n 's/^w//p' | paste -s -d ' '; }
# prefixed LETTER NAMES...: each name with LETTER before it.
prefixed() {
    p=$1
    shift
    for n in "$@"; do printf '%s%s ' "$p" "$n"; done | sed 's/ $//'
    echo
}
# memory_saw LABEL: the run's exit status and outputs and the stand-in's requests and writes.
memory_saw() {
    echo "exit $(rc_of "$1"); stderr: $(head -c 300 "$work/$1.err" | paste -s -d '|'); the stand-in: $(memory_events | cut -c 1-400)"
}
# memory_check NAME DETAIL LABEL COMMAND...
memory_check() {
    m_name=$1 m_detail=$2 m_label=$3
    shift 3
    if "$@"; then pass "$m_name" "$m_detail"; else fail "$m_name" "$m_detail; $(memory_saw "$m_label")"; fi
}
# timed_cli LABEL ARGS...: run_cli, with the ms it took in $took_ms.
timed_cli() {
    m_started=$(now_ms)
    run_cli "$@"
    took_ms=$(($(now_ms) - m_started))
}
# within_budget MS US: MS is at most 1.1 times US (microseconds).
within_budget() { [ $(($1 * 1000)) -le $(($2 * 11 / 10)) ]; }

# memory_checks CARD: the stand-in on the interface's device-side card CARD, one for all the runs.
memory_checks() {
    seed=$work/memory-seed.syx
    rm -f "$seed"
    perl "$vm/make-radias-memory.pl" "$seed" || { fail memory-seed "make-radias-memory.pl failed"; return; }
    # What `write --all` must leave in A01..H16: convert's dump of each program for channel 3,
    # addressed to its slot; I01..P16 stay as seeded.
    rm -rf "$work/converted"
    "$cli" convert "$bank" --all -o "$work/converted" --channel 3 >/dev/null
    : >"$work/written.syx"
    converted=0
    for dump in "$work/converted"/*.syx; do
        readdressed "$dump" "$converted" >>"$work/written.syx"
        converted=$((converted + 1))
    done
    { cat "$work/written.syx"; slots_of "$seed" 128 128; } >"$work/after-write.syx"
    check memory-converted "convert wrote 128 programs of the test bank for channel 3" [ "$converted" = 128 ]
    start_memory_radias "$1" "$work/radias-memory" "$seed" || return

    section "backup: A01..H16"
    memory_run open
    timed_cli backup-bank backup --port "$iface_name" --channel 3 --slots A01-H16 -o "$work/backup-bank.syx"
    budget=$((128 * (request_us + program_us)))
    measure "memory-backup 128 programs in $took_ms ms; their requests and dumps take $((budget / 1000)) ms on the cable"
    memory_check memory-backup "backup of A01..H16: exit 0, the file byte-identical to the stand-in's 128 dumps, one request per slot in order" \
        backup-bank eval '[ "$(rc_of backup-bank)" = 0 ] && slots_of "$seed" 0 128 | cmp -s - "$work/backup-bank.syx" &&
            [ "$(memory_events)" = "$(prefixed r $(slot_names 0 128))" ]'
    memory_check memory-backup-speed "backup of 128 programs in $took_ms ms, at most 1.1 times the $((budget / 1000)) ms of its messages on the cable" \
        backup-bank eval '[ "$(rc_of backup-bank)" = 0 ] && within_budget "$took_ms" "$budget"'

    section "backup: across the halves, H15..I02"
    memory_run open
    run_cli backup-halves backup --port "$iface_name" --channel 3 --slots H15-I02 -o "$work/backup-halves.syx"
    memory_check memory-backup-halves "backup of H15..I02: exit 0, the file byte-identical to the stand-in's dumps of those slots (the second address byte picks the half)" \
        backup-halves eval '[ "$(rc_of backup-halves)" = 0 ] && slots_of "$seed" 126 4 | cmp -s - "$work/backup-halves.syx"'

    section "write: the whole bank from A01"
    memory_run open
    timed_cli write-all write "$bank" --all --to A01 --port "$iface_name" --channel 3 --backup "$work/write-all-backup.syx"
    memory_now "$work/memory-after-write.syx"
    # The backup of all 128 slots, then each program with its answer, the first read back before
    # the second is written.
    wanted="$(prefixed r $(slot_names 0 128)) wA01 rA01 $(prefixed w $(slot_names 1 127))"
    budget=$((128 * (request_us + program_us) + 128 * (program_us + reply_us) + request_us + program_us))
    measure "memory-write 128 programs in $took_ms ms, backup and read-back included; their messages take $((budget / 1000)) ms on the cable"
    memory_check memory-write-all "write --all --to A01: exit 0, the memory holds convert's program for channel 3 in each of A01..H16 and I01..P16 as seeded, byte for byte" \
        write-all eval '[ "$(rc_of write-all)" = 0 ] && cmp -s "$work/after-write.syx" "$work/memory-after-write.syx"'
    memory_check memory-write-backup "write --all --to A01: its backup is byte-identical to what A01..H16 held" \
        write-all eval 'slots_of "$seed" 0 128 | cmp -s - "$work/write-all-backup.syx"'
    memory_check memory-write-order "write --all --to A01: the slots backed up first, then one write per program in order, A01 read back before A02 is written" \
        write-all eval '[ "$(memory_events)" = "$wanted" ]'
    memory_check memory-write-speed "write of 128 programs in $took_ms ms, at most 1.1 times the $((budget / 1000)) ms of its messages on the cable" \
        write-all eval '[ "$(rc_of write-all)" = 0 ] && within_budget "$took_ms" "$budget"'

    section "write: memory protected"
    memory_run protected
    run_cli write-protected write "$bank" --program A1 --to J01 --port "$iface_name" --channel 3 --backup "$work/protected-backup.syx"
    memory_now "$work/memory-protected.syx"
    memory_check memory-write-protected "write into a protected memory: exit 1, standard error names memory protect, the memory unchanged, nothing after the refused write" \
        write-protected eval '[ "$(rc_of write-protected)" = 1 ] && grep -qi protect "$work/write-protected.err" &&
            cmp -s "$work/memory-after-write.syx" "$work/memory-protected.syx" && [ "$(memory_events)" = "rJ01 wJ01" ] &&
            slots_of "$seed" 144 1 | cmp -s - "$work/protected-backup.syx"'

    section "write: the Radias falls silent"
    # Answered: the backup's four requests, J01's write and its read-back, J02's write; J03's write
    # is stored but not answered, and J04 must never be sent.
    memory_run silent-after=7
    run_cli write-silent write "$bank" --program A1,A2,A3,A4 --to J01 --port "$iface_name" --channel 3 --backup "$work/silent-backup.syx"
    memory_now "$work/memory-silent.syx"
    {
        slots_of "$work/after-write.syx" 0 144
        for n in 1 2 3; do
            readdressed "$(converted_dump $n)" $((143 + n))
        done
        slots_of "$seed" 147 109
    } >"$work/after-silent.syx"
    memory_check memory-write-silent "a Radias silent after J02: exit 1, standard error names J03, J01..J03 hold A1..A3, J04 and the rest as they were, J04 never sent" \
        write-silent eval '[ "$(rc_of write-silent)" = 1 ] && err_has write-silent J03 &&
            cmp -s "$work/after-silent.syx" "$work/memory-silent.syx" &&
            [ "$(memory_events)" = "rJ01 rJ02 rJ03 rJ04 wJ01 rJ01 wJ02 wJ03" ] &&
            slots_of "$seed" 144 4 | cmp -s - "$work/silent-backup.syx"'

    section "restore: a file that is no backup"
    memory_run open
    run_cli restore-foreign restore "$bank" --port "$iface_name" --channel 3 --backup "$work/foreign-backup.syx"
    memory_check memory-restore-foreign "restore of an MS2000 bank: exit 1, nothing asked or written" \
        restore-foreign eval '[ "$(rc_of restore-foreign)" = 1 ] && [ -z "$(memory_events)" ]'

    section "restore: both backups"
    memory_run open
    run_cli restore-all restore "$work/write-all-backup.syx" --port "$iface_name" --channel 3 --backup "$work/restore-backup.syx"
    memory_check memory-restore-backup "restore: exit 0, its own backup byte-identical to the programs it replaced, then one write per slot in order" \
        restore-all eval '[ "$(rc_of restore-all)" = 0 ] && cmp -s "$work/written.syx" "$work/restore-backup.syx" &&
            [ "$(writes_of_run)" = "$(slot_names 0 128)" ]'
    run_cli restore-silent restore "$work/silent-backup.syx" --port "$iface_name" --channel 3 --backup "$work/restore-silent-backup.syx"
    memory_now "$work/memory-restored.syx"
    memory_check memory-restore "restore of both backups: exit 0, the stand-in's memory back as seeded, byte for byte" \
        restore-silent eval '[ "$(rc_of restore-silent)" = 0 ] && cmp -s "$seed" "$work/memory-restored.syx"'
    stop_stand_in "$mem_pid" "$mem" radias-memory.log
}
