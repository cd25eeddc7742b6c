#!/usr/bin/perl
# Plays a Radias on the device side of a MIDI interface: takes the program dumps that reach it and
# answers each as a Radias set to global channel 3 does, at the speed of a MIDI cable, sending
# active sensing all along (the cable and the log: StandIn.pm). It holds the Radias's 256 programs
# too: it answers requests for them and stores the programs written into them.
#
#   radias-responder.pl [--memory BACKUP] [--memory-modes MEMORY-MODES] DEVICE LOG MODES [CURRENT]
#
# DEVICE   the raw MIDI device (read and written), or "IN:OUT" for two paths
# LOG      a folder: each dump received is kept as dump-N.syx there, and a line for each message
#          received and each answer goes to log.txt
# MODES    how to answer the program dumps, in turn, comma-separated: "take" (DATA LOAD
#          COMPLETED), "refuse" (DATA LOAD ERROR, as a protected Radias answers), "format" (DATA
#          FORMAT ERROR) or "silent" (it takes the dump but its answer is lost, as with no cable
#          from its MIDI OUT); once the list is used up, every dump is taken. A file LOG/modes
#          that appears replaces the list at the next dump (and is removed), so that one stand-in
#          serves several checks, each with its own list.
# CURRENT  a 2052-byte program dump: the program it holds at the start (else one of zero bytes)
# BACKUP   what its memory holds at the start: 256 program dumps with their address, 2054 bytes
#          each, in slot order (make-radias-memory.pl writes one); else programs of zero bytes
# MEMORY-MODES how to answer requests and writes of its memory, comma-separated:
#          "open" (the default: every request answered, every write taken), "protected" (DATA
#          LOAD ERROR to every write, as with memory protect on; the memory stays as it is) and
#          "silent-after=N" (N more requests or writes answered, then none: a write is still
#          stored, as by a Radias whose MIDI OUT lost its cable). A file LOG/memory-modes that
#          appears replaces them at the next request or write (and is removed); the count of
#          silent-after starts there.
#
# Its whole memory goes to LOG/memory.syx, in slot order as BACKUP, on SIGUSR1 and when it ends;
# log.txt says "memory written" once the file is whole. Each write it receives is kept as
# write-N.syx in LOG.
#
# Answers only on its channel and to its model (72):
#   F0 42 32 72 40 <2046 packed bytes> F7   current program dump: answered per MODES; one of any
#                                           other length gets DATA FORMAT ERROR and uses no mode
#   F0 42 32 72 10 F7                       current program dump request: the program it holds
#   F0 7E cc 06 01 F7 (cc 02 or 7F)         device inquiry
#   F0 42 32 72 1C nn hh F7                 program dump request: the dump of program nn of half hh
#                                           (0 for A01..H16, 1 for I01..P16)
#   F0 42 32 72 4C nn hh <2046 bytes> F7    program dump: stored into that slot as it came, the
#                                           channel byte included; DATA FORMAT ERROR for another
#                                           length or a half other than 0 or 1 (a request of
#                                           another length or half gets it too)
# The answers: F0 42 32 72 23 F7 (DATA LOAD COMPLETED), 24 (DATA LOAD ERROR), 26 (DATA FORMAT
# ERROR). A dump counts as received when a MIDI cable would have carried its last byte, so an
# answer never comes sooner than a Radias's could.
use strict;
use warnings;
use FindBin;
use lib $FindBin::Bin;
use Time::HiRes qw(time);
use Getopt::Long qw(:config require_order);
use StandIn qw(open_device note queue run inquiry slurp hex_of pack7);

my $usage = "usage: $0 [--memory BACKUP] [--memory-modes MEMORY-MODES] DEVICE LOG MODES [CURRENT]\n";
my ($memory_path, $memory_modes) = (undef, 'open');
GetOptions('memory=s' => \$memory_path, 'memory-modes=s' => \$memory_modes) or die $usage;
my ($device, $log_dir, $modes, $current_path) = @ARGV;
die $usage unless defined $modes;
# modes_of(TEXT): the list of modes TEXT gives, comma-separated.
sub modes_of {
    my @list = split /,/, $_[0] =~ s/\s+//gr;
    for my $mode (@list) {
        die "unknown mode $mode\n" unless $mode =~ /^(take|refuse|format|silent)$/;
    }
    return @list;
}
my @modes = modes_of($modes);
my $channel = 2;    # global channel 3
my $header = "\xF0\x42" . chr(0x30 | $channel) . "\x72";
my $dump_bytes = 2052;
my %answer_of = (take => 0x23, refuse => 0x24, format => 0x26);
my %name_of = (0x23 => 'DATA LOAD COMPLETED', 0x24 => 'DATA LOAD ERROR', 0x26 => 'DATA FORMAT ERROR');

# The program it holds, as the dump that answers a request for it.
my $current = defined $current_path ? slurp($current_path)
                                    : "${header}\x40" . pack7("\0" x 1790) . "\xF7";
die "the current program is not a $dump_bytes-byte program dump\n"
    unless length $current == $dump_bytes && substr($current, 0, 5) =~ /^\xF0\x42[\x30-\x3F]\x72\x40$/;
substr($current, 2, 1) = chr(0x30 | $channel);
my $identity = "\xF0\x7E" . chr($channel) . "\x06\x02\x42\x72\x00\x00\x00\x01\x00\x00\x00\xF7";

# ---- Its memory: 256 programs, each kept as the dump with its address that answers a request ----
my $slots = 256;
my $program_bytes = 2054;
# memory_modes_of(TEXT): {protected => 0|1, silent_after => N or undef} as TEXT gives them.
sub memory_modes_of {
    my %modes = (protected => 0, silent_after => undef);
    for my $mode (split /,/, $_[0] =~ s/\s+//gr) {
        if ($mode eq 'protected') {
            $modes{protected} = 1;
        } elsif ($mode =~ /^silent-after=(\d+)$/) {
            $modes{silent_after} = $1;
        } elsif ($mode ne 'open') {
            die "unknown memory mode $mode\n";
        }
    }
    return \%modes;
}
my $memory_mode = memory_modes_of($memory_modes);
sub slot_name { return sprintf('%s%02d', chr(ord('A') + int($_[0] / 16)), $_[0] % 16 + 1); }
sub address_of { return chr($_[0] % 128) . chr(int($_[0] / 128)); }
my @memory;
my $opened;    # once it listens: only then does it write its memory when it ends
if (defined $memory_path) {
    my $backup = slurp($memory_path);
    die "$memory_path is not $slots program dumps of $program_bytes bytes\n"
        unless length $backup == $slots * $program_bytes;
    @memory = unpack("(a$program_bytes)*", $backup);
    for my $slot (0 .. $slots - 1) {
        die "$memory_path: the dump at " . slot_name($slot) . " is not a program dump for it\n"
            unless $memory[$slot] =~ /^\xF0\x42[\x30-\x3F]\x72\x4C/ && substr($memory[$slot], -1) eq "\xF7"
            && substr($memory[$slot], 5, 2) eq address_of($slot);
    }
} else {
    @memory = map { "${header}\x4C" . address_of($_) . pack7("\0" x 1790) . "\xF7" } 0 .. $slots - 1;
}

open_device($device, $log_dir);
$opened = 1;
my $dumps = 0;
my $memory_messages = 0;    # requests and writes of its memory received, numbered together
my $answered = 0;           # those answered since the memory modes were last set

sub write_memory {
    my $path = "$log_dir/memory.syx";
    open(my $file, '>:raw', "$path.new") or die "cannot write $path.new: $!\n";
    print $file @memory;
    close $file or die "cannot write $path.new: $!\n";
    rename "$path.new", $path or die "cannot rename $path.new: $!\n";
    note('memory written to memory.syx');
}
$SIG{USR1} = \&write_memory;
END { write_memory() if $opened; }

# The answer to dump N goes out as answer-N (to memory message N as answer-mN): the log says when
# its last byte left.
sub answer {
    my ($code, $what, $number) = @_;
    note("$what: answered $name_of{$code}");
    queue($header . chr($code) . "\xF7", $number // $dumps);
}

# A request for a program of its memory (1C) or a program written into it (4C).
sub memory_message {
    my ($m, $function, $started) = @_;
    if (-e "$log_dir/memory-modes") {
        $memory_mode = memory_modes_of(slurp("$log_dir/memory-modes"));
        unlink "$log_dir/memory-modes";
        $answered = 0;
        note('memory modes ' . join(',', ($memory_mode->{protected} ? 'protected' : 'open'),
            defined $memory_mode->{silent_after} ? "silent-after=$memory_mode->{silent_after}" : ()));
    }
    my $number = ++$memory_messages;
    my $write = $function == 0x4C;
    my $half = length $m >= 8 ? ord substr($m, 6, 1) : -1;
    my $slot = $half == 0 || $half == 1 ? $half * 128 + ord substr($m, 5, 1) : undef;
    my $what = sprintf('%s-%d %s (%d bytes, %.0f ms after its first byte came)',
                       $write ? 'write' : 'request', $number,
                       defined $slot ? slot_name($slot) : 'no slot', length $m, (time - $started) * 1000);
    my $fits = defined $slot && length $m == ($write ? $program_bytes : 8);
    if ($write) {
        open(my $save, '>:raw', "$log_dir/write-$number.syx") or die "$!\n";
        print $save $m;
        close $save;
    }
    my $stores = $write && $fits && !$memory_mode->{protected};
    $memory[$slot] = $m if $stores;
    if (defined $memory_mode->{silent_after} && $answered >= $memory_mode->{silent_after}) {
        note("$what: silent" . ($stores ? ' (stored)' : ''));
        return;
    }
    $answered++;
    if (!$fits) {
        answer(0x26, $what, "m$number");
    } elsif ($write) {
        answer($stores ? 0x23 : 0x24, $what, "m$number");
    } else {
        note("$what: answered with its dump");
        queue($memory[$slot], "m$number");
    }
}

sub message {
    my ($m, $started) = @_;
    my $hex = length $m > 16 ? hex_of(substr($m, 0, 8)) . ' ... ' . hex_of(substr($m, -2)) : hex_of($m);
    return if inquiry($m, $channel, $identity);
    if (substr($m, 0, 4) ne $header) {
        note("message $hex (" . length($m) . " bytes): ignored");
        return;
    }
    my $function = length $m > 4 ? ord substr($m, 4, 1) : -1;
    if ($function == 0x10 && length $m == 6) {
        note("request $hex: answered with the current program");
        queue($current);
        return;
    }
    if ($function == 0x1C || $function == 0x4C) {
        memory_message($m, $function, $started);
        return;
    }
    if ($function != 0x40) {
        note("message $hex (" . length($m) . " bytes): ignored");
        return;
    }
    $dumps++;
    open(my $save, '>:raw', "$log_dir/dump-$dumps.syx") or die "$!\n";
    print $save $m;
    close $save;
    my $what = sprintf('dump-%d (%d bytes, %.0f ms after its first byte came)', $dumps, length $m,
                       (time - $started) * 1000);
    if (length $m != $dump_bytes) {
        answer(0x26, $what);
        return;
    }
    if (-e "$log_dir/modes") {
        @modes = modes_of(slurp("$log_dir/modes"));
        unlink "$log_dir/modes";
        note('modes ' . join(',', @modes));
    }
    my $mode = shift(@modes) // 'take';
    $current = $m if $mode eq 'take' || $mode eq 'silent';
    if ($mode eq 'silent') {
        note("$what: silent");
        return;
    }
    answer($answer_of{$mode}, $what);
}

run(\&message, cable_in => 1);
