#!/usr/bin/perl
# Plays a Radias on the device side of a MIDI interface: takes the program dumps that reach it and
# answers each as a Radias set to global channel 3 does, at the speed of a MIDI cable, sending
# active sensing all along (the cable and the log: StandIn.pm).
#
#   radias-responder.pl DEVICE LOG MODES [CURRENT]
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
#
# Answers only on its channel and to its model (72):
#   F0 42 32 72 40 <2046 packed bytes> F7   current program dump: answered per MODES; one of any
#                                           other length gets DATA FORMAT ERROR and uses no mode
#   F0 42 32 72 10 F7                       current program dump request: the program it holds
#   F0 7E cc 06 01 F7 (cc 02 or 7F)         device inquiry
# The answers: F0 42 32 72 23 F7 (DATA LOAD COMPLETED), 24 (DATA LOAD ERROR), 26 (DATA FORMAT
# ERROR). A dump counts as received when a MIDI cable would have carried its last byte, so an
# answer never comes sooner than a Radias's could.
use strict;
use warnings;
use FindBin;
use lib $FindBin::Bin;
use Time::HiRes qw(time);
use StandIn qw(open_device note queue run inquiry slurp hex_of pack7);

my ($device, $log_dir, $modes, $current_path) = @ARGV;
die "usage: $0 DEVICE LOG MODES [CURRENT]\n" unless defined $modes;
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

open_device($device, $log_dir);
my $dumps = 0;

# The answer to dump N goes out as answer-N: the log says when its last byte left.
sub answer {
    my ($code, $what) = @_;
    note("$what: answered $name_of{$code}");
    queue($header . chr($code) . "\xF7", $dumps);
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
