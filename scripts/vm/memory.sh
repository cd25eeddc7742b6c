# The Radias's memory from the command line: radias-responder.pl holds 256 programs, seeded with
# make-radias-memory.pl's (each program its own bytes), answers requests for them and stores the
# programs written into them, and writes its whole memory out on SIGUSR1. Each check compares that
# memory, and the backups the commands write, byte for byte with what they must be:
#   backup   the dumps the stand-in answers with, in slot order and nothing else, at cable speed,
#            across the two halves too;
#   write    bank A converted for channel 3 in A01..A16, one program into P16, a backup of the
#            target slots first, each program's answer before the next, the first read back; a
#            protected memory refuses with nothing changed; a Radias falling silent stops the run;
#   restore  the memory back as seeded, byte for byte; a file that is no backup sends nothing.
# With PATCHFERRY_VM_MEMORY_FULL=1, a backup and a write of 128 programs too, timed the same way.
#
# The functions above memory_checks serve any check against the stand-in's memory (the window's
# Write and Restore dialogs as much as the command line). Sourced by checks.sh after confirm.sh,
# whose helpers and variables it uses (lib.sh's too); the device side must be free (no capture or
# other stand-in reading it).

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
# prefixed LETTER NAMES...: each name with LETTER before it.
prefixed() {
    p=$1
    shift
    for n in "$@"; do printf '%s%s ' "$p" "$n"; done | sed 's/ $//'
    echo
}
# slots_of FILE FIRST COUNT: the dumps of COUNT slots from FIRST in a whole memory FILE.
slots_of() { tail -c +$(($2 * program_bytes + 1)) "$1" | head -c $(($3 * program_bytes)); }
# put_slots FILE FIRST DUMPS: DUMPS (program dumps with their address, one or more) over FILE's
# slots from FIRST.
put_slots() { dd if="$3" of="$1" bs=$program_bytes seek="$2" conv=notrunc status=none; }
# slots_differing A B: the slots where two whole memories differ, by name.
slots_differing() {
    for n in $(cmp -l "$1" "$2" 2>/dev/null | awk -v b=$program_bytes '{ print int(($1 - 1) / b) }' | uniq); do
        slot_name "$n"
        printf ' '
    done
}

# stored_dumps FIRST PROGRAM...: what `write` must store of the test bank's programs (A1..H16)
# into the slots from FIRST: convert's dump of each for channel 3 (F0 42 3g 72 40 <packed> F7, once
# memory_checks has made them), addressed to its slot (F0 42 3g 72 4C nn hh <packed> F7). One Perl
# for them all: a few processes a program took two minutes for 128 under emulation.
stored_dumps() {
    perl -e '
        my ($dir, $slot, @programs) = @ARGV;
        opendir(my $folder, $dir) or die "cannot read $dir: $!\n";
        my %file_of = map { /^([A-H])(\d{3}) .*\.syx$/ ? ($1 . ($2 + 0) => "$dir/$_") : () } readdir $folder;
        binmode STDOUT;
        for my $program (@programs) {
            my $file = $file_of{$program} // die "no dump of $program in $dir\n";
            open(my $in, "<:raw", $file) or die "cannot read $file: $!\n";
            my $dump = do { local $/; <$in> };
            print substr($dump, 0, 4), "\x4C", chr($slot % 128), chr(int($slot / 128)), substr($dump, 5);
            $slot++;
        }' "$work/converted" "$@"
}
# bank_programs LETTERS: the programs of those banks as `write` lists them (A1 .. A16 ...).
bank_programs() {
    for b in $(echo "$1" | sed 's/./& /g'); do
        for n in $(seq 1 16); do printf '%s%s ' "$b" "$n"; done
    done
}

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
# memory_is OUT WANTED: the stand-in's memory, copied to OUT, is WANTED byte for byte; else
# $differing names the slots that differ.
memory_is() {
    differing=""
    memory_now "$1" || { differing="(no memory written out)"; return 1; }
    cmp -s "$1" "$2" && return 0
    differing=$(slots_differing "$1" "$2")
    return 1
}
run_lines() { tail -n +$((mem_lines + 1)) "$mem/log.txt"; }
# memory_events: the run's requests and writes in turn, as "rA01 wA01 ...".
memory_events() {
    run_lines | sed -n 's/^[0-9.]* \(request\|write\)-[0-9]* \([A-P][0-9][0-9]\) .*/\1 \2/p' |
        sed 's/^request /r/; s/^write /w/' | paste -s -d ' '
}
# memory_span_ms: ms from the first byte of the run's first request or write reaching the
# stand-in to the last byte of its last answer leaving it: the run's conversation on the cable,
# without the time the command takes to start.
memory_span_ms() {
    run_lines | awk '
        !first && / (request|write)-[0-9]+ [A-P][0-9][0-9] \(/ {
            came = $0; sub(/.* bytes, /, "", came); sub(/ ms after.*/, "", came)
            first = $1 - came / 1000
        }
        / answer-m[0-9]+ went out/ { last = $1 }
        END { if (first && last) printf "%.0f\n", (last - first) * 1000 }'
}
# backup_us N / write_us N: what the messages of a backup of N programs, or of a write of N with
# its backup and read-back, take on the cable (stand-in's answers included), in microseconds.
backup_us() { echo $(($1 * (request_us + program_us))); }
write_us() { echo $(($(backup_us "$1") + $1 * (program_us + reply_us) + request_us + program_us)); }
# within_budget MS US: MS is at most 1.1 times US (microseconds).
within_budget() { [ -n "$1" ] && [ $(($1 * 1000)) -le $(($2 * 11 / 10)) ]; }
# memory_saw LABEL: the run's exit status and standard error, the stand-in's requests and writes
# and the slots memory_is found differing.
memory_saw() {
    echo "exit $(rc_of "$1"); stderr: $(head -c 400 "$work/$1.err" | paste -s -d '|'); the stand-in: $(memory_events | cut -c 1-400)${differing:+; slots differing: $differing}"
}
# memory_check NAME DETAIL LABEL COMMAND...
memory_check() {
    m_name=$1 m_detail=$2 m_label=$3 differing=""
    shift 3
    if "$@"; then pass "$m_name" "$m_detail"; else fail "$m_name" "$m_detail; $(memory_saw "$m_label")"; fi
}
# timed_cli LABEL ARGS...: run_cli, with the ms it took in $took_ms.
timed_cli() {
    m_started=$(now_ms)
    run_cli "$@"
    took_ms=$(($(now_ms) - m_started))
}
# speed_check NAME WHAT LABEL US: the run's conversation (memory_span_ms) took at most 1.1 times
# US, what its messages take on the cable; measured with the command's whole time beside it.
speed_check() {
    span=$(memory_span_ms) s_label=$3 s_us=$4
    measure "$1 $2: ${span:-?} ms from the first request's first byte to the last answer's last byte at the stand-in, the command $took_ms ms from its start; the messages take $((s_us / 1000)) ms on the cable"
    memory_check "$1" "$2 in ${span:-?} ms at the stand-in, at most 1.1 times the $((s_us / 1000)) ms of its messages on the cable" \
        "$s_label" eval '[ "$(rc_of "$s_label")" = 0 ] && within_budget "$span" "$s_us"'
}

# memory_checks CARD: the stand-in on the interface's device-side card CARD, one for all the runs.
memory_checks() {
    seed=$work/memory-seed.syx
    rm -f "$seed"
    perl "$vm/make-radias-memory.pl" "$seed" || { fail memory-seed "make-radias-memory.pl failed"; return; }
    rm -rf "$work/converted"
    "$cli" convert "$bank" --all -o "$work/converted" --channel 3 >/dev/null
    check memory-converted "convert wrote 128 programs of the test bank for channel 3" \
        [ "$(ls "$work/converted" | wc -l)" = 128 ]
    start_memory_radias "$1" "$work/radias-memory" "$seed" || return

    section "backup: A01..A16"
    memory_run open
    timed_cli backup-bank backup --port "$iface_name" --channel 3 --slots A01-A16 -o "$work/backup-bank.syx"
    memory_check memory-backup "backup of A01..A16: exit 0, the file byte-identical to the stand-in's 16 dumps, one request per slot in order" \
        backup-bank eval '[ "$(rc_of backup-bank)" = 0 ] && slots_of "$seed" 0 16 | cmp -s - "$work/backup-bank.syx" &&
            [ "$(memory_events)" = "$(prefixed r $(slot_names 0 16))" ]'
    speed_check memory-backup-speed "backup of 16 programs" backup-bank "$(backup_us 16)"

    section "backup: across the halves, H15..I02"
    memory_run open
    run_cli backup-halves backup --port "$iface_name" --channel 3 --slots H15-I02 -o "$work/backup-halves.syx"
    memory_check memory-backup-halves "backup of H15..I02: exit 0, the file byte-identical to the stand-in's dumps of those slots (the second address byte picks the half)" \
        backup-halves eval '[ "$(rc_of backup-halves)" = 0 ] && slots_of "$seed" 126 4 | cmp -s - "$work/backup-halves.syx" &&
            [ "$(memory_events)" = "rH15 rH16 rI01 rI02" ]'

    section "write: bank A from A01"
    # Each converted program in its slot, every other slot as seeded.
    stored_dumps 0 $(bank_programs A) >"$work/bank-a.syx"
    cp "$seed" "$work/after-bank.syx"
    put_slots "$work/after-bank.syx" 0 "$work/bank-a.syx"
    memory_run open
    timed_cli write-bank write "$bank" --program A1-A16 --to A01 --port "$iface_name" --channel 3 --backup "$work/write-bank-backup.syx"
    memory_check memory-write-bank "write --program A1-A16 --to A01: exit 0, A01..A16 hold convert's programs for channel 3, every other slot as seeded, byte for byte" \
        write-bank eval '[ "$(rc_of write-bank)" = 0 ] && memory_is "$work/memory-bank.syx" "$work/after-bank.syx"'
    memory_check memory-write-bank-backup "write of bank A: its backup byte-identical to what A01..A16 held" \
        write-bank eval 'slots_of "$seed" 0 16 | cmp -s - "$work/write-bank-backup.syx"'
    # The slots backed up first, then each program with its answer, the first read back before the
    # second is written.
    memory_check memory-write-order "write of bank A: the slots backed up first, then one write per program in order, A01 read back before A02 is written" \
        write-bank eval '[ "$(memory_events)" = "$(prefixed r $(slot_names 0 16)) wA01 rA01 $(prefixed w $(slot_names 1 15))" ]'
    speed_check memory-write-speed "write of 16 programs, backup and read-back included" write-bank "$(write_us 16)"

    section "write: one program, into the last slot given as a number"
    stored_dumps 255 B1 >"$work/one.syx"
    cp "$work/after-bank.syx" "$work/after-one.syx"
    put_slots "$work/after-one.syx" 255 "$work/one.syx"
    memory_run open
    run_cli write-one write "$bank" --program B1 --to 256 --port "$iface_name" --channel 3 --backup "$work/one-backup.syx"
    memory_check memory-write-one "write --program B1 --to 256: exit 0, P16 holds convert's B1, read back, every other slot unchanged; the backup holds what P16 held" \
        write-one eval '[ "$(rc_of write-one)" = 0 ] && [ "$(memory_events)" = "rP16 wP16 rP16" ] &&
            slots_of "$seed" 255 1 | cmp -s - "$work/one-backup.syx" &&
            memory_is "$work/memory-one.syx" "$work/after-one.syx"'

    section "write: memory protected"
    memory_run protected
    run_cli write-protected write "$bank" --program A1 --to J01 --port "$iface_name" --channel 3 --backup "$work/protected-backup.syx"
    memory_check memory-write-protected "write into a protected memory: exit 1, standard error names DATA LOAD ERROR and memory protect, the memory unchanged, nothing sent after the refused write, the backup taken" \
        write-protected eval '[ "$(rc_of write-protected)" = 1 ] && err_has write-protected "DATA LOAD ERROR" &&
            err_has write-protected "memory protect" && [ "$(memory_events)" = "rJ01 wJ01" ] &&
            slots_of "$seed" 144 1 | cmp -s - "$work/protected-backup.syx" &&
            memory_is "$work/memory-protected.syx" "$work/after-one.syx"'

    section "write: the Radias falls silent"
    # Answered: the backup's four requests, J01's write and its read-back, J02's write; J03's write
    # is stored but not answered, and J04's must never be sent.
    stored_dumps 144 A1 A2 A3 >"$work/silent-written.syx"
    cp "$work/after-one.syx" "$work/after-silent.syx"
    put_slots "$work/after-silent.syx" 144 "$work/silent-written.syx"
    memory_run silent-after=7
    run_cli write-silent write "$bank" --program A1-A4 --to J01 --port "$iface_name" --channel 3 --backup "$work/silent-backup.syx"
    memory_check memory-write-silent "a Radias silent after J02: exit 1, standard error says J03 may or may not have been stored and 2 of 4 confirmed; J01..J03 hold A1..A3, J04 and the rest unchanged, J04 never sent" \
        write-silent eval '[ "$(rc_of write-silent)" = 1 ] && err_has write-silent "for J03; it may or may not have stored it" &&
            err_has write-silent "Confirmed: 2 of 4 (J01..J02)" &&
            [ "$(memory_events)" = "rJ01 rJ02 rJ03 rJ04 wJ01 rJ01 wJ02 wJ03" ] &&
            slots_of "$seed" 144 4 | cmp -s - "$work/silent-backup.syx" &&
            memory_is "$work/memory-silent.syx" "$work/after-silent.syx"'

    section "restore: a file that is no backup"
    memory_run open
    run_cli restore-foreign restore "$bank" --port "$iface_name" --channel 3 --backup "$work/foreign-backup.syx"
    memory_check memory-restore-foreign "restore of an MS2000 bank: exit 1, standard error says it is not a Radias backup, nothing asked or written, no backup file" \
        restore-foreign eval '[ "$(rc_of restore-foreign)" = 1 ] && err_has restore-foreign "is not a Radias backup" &&
            [ -z "$(memory_events)" ] && [ ! -e "$work/foreign-backup.syx" ]'

    section "restore: the three backups in one file"
    # A01..A16, P16, J01..J04: each slot back as seeded, what it held before saved first.
    cat "$work/write-bank-backup.syx" "$work/one-backup.syx" "$work/silent-backup.syx" >"$work/backups.syx"
    { slots_of "$work/after-silent.syx" 0 16; slots_of "$work/after-silent.syx" 255 1; slots_of "$work/after-silent.syx" 144 4; } \
        >"$work/restore-replaces.syx"
    restored="$(slot_names 0 16) P16 $(slot_names 144 4)"
    memory_run open
    timed_cli restore restore "$work/backups.syx" --port "$iface_name" --channel 3 --backup "$work/restore-backup.syx"
    memory_check memory-restore "restore of A01..A16, P16 and J01..J04: exit 0, the stand-in's memory back as seeded, byte for byte" \
        restore eval '[ "$(rc_of restore)" = 0 ] && memory_is "$work/memory-restored.syx" "$seed"'
    # shellcheck disable=SC2086 # one slot a word
    memory_check memory-restore-order "restore: its own backup byte-identical to the programs it replaced, then one write per slot in the file's order, the first read back" \
        restore eval 'cmp -s "$work/restore-replaces.syx" "$work/restore-backup.syx" &&
            [ "$(memory_events)" = "$(prefixed r $restored) wA01 rA01 $(prefixed w $(echo $restored | cut -d " " -f 2-))" ]'
    measure "memory-restore of 21 programs: $(memory_span_ms) ms at the stand-in, the command $took_ms ms; the messages take $(($(write_us 21) / 1000)) ms on the cable"

    if [ "${PATCHFERRY_VM_MEMORY_FULL:-}" = 1 ]; then
        memory_full_checks
    fi
    stop_stand_in "$mem_pid" "$mem" radias-memory.log
}

# memory_full_checks: a backup and a write of 128 programs, with the memory as seeded.
memory_full_checks() {
    section "backup: A01..H16"
    memory_run open
    timed_cli backup-128 backup --port "$iface_name" --channel 3 --slots A01-H16 -o "$work/backup-128.syx"
    memory_check memory-backup-128 "backup of A01..H16: exit 0, the file byte-identical to the stand-in's 128 dumps" \
        backup-128 eval '[ "$(rc_of backup-128)" = 0 ] && slots_of "$seed" 0 128 | cmp -s - "$work/backup-128.syx"'
    speed_check memory-backup-128-speed "backup of 128 programs" backup-128 "$(backup_us 128)"

    section "write: the whole test bank from A01"
    stored_dumps 0 $(bank_programs ABCDEFGH) >"$work/bank-all.syx"
    cp "$seed" "$work/after-128.syx"
    put_slots "$work/after-128.syx" 0 "$work/bank-all.syx"
    memory_run open
    timed_cli write-128 write "$bank" --all --to A01 --port "$iface_name" --channel 3 --backup "$work/write-128-backup.syx"
    memory_check memory-write-128 "write --all --to A01: exit 0, A01..H16 hold convert's programs for channel 3, I01..P16 as seeded, byte for byte; the backup what A01..H16 held" \
        write-128 eval '[ "$(rc_of write-128)" = 0 ] && slots_of "$seed" 0 128 | cmp -s - "$work/write-128-backup.syx" &&
            memory_is "$work/memory-128.syx" "$work/after-128.syx"'
    speed_check memory-write-128-speed "write of 128 programs, backup and read-back included" write-128 "$(write_us 128)"
}
