#!/usr/bin/perl
# Plays an MS2000 on the device side of a MIDI interface: reads the requests that reach it and
# answers them as an MS2000 set to global channel 3 would, at the speed of a MIDI cable (3125
# bytes a second), sending active sensing (FE) every 300 ms all along as a synth does.
#
#   ms2000-responder.pl DEVICE BANK LOG MODES
#
# DEVICE   the raw MIDI device (read and written), or "IN:OUT" for two paths
# BANK     a 128-program dump (4C) whose programs it holds
# LOG      a folder: each answer it sends is written to answer-N.syx there, and a line for
#          each request and answer goes to log.txt
# MODES    what to do with the dump requests, in turn, comma-separated: "whole" answers, "cut"
#          stops after a third of the answer and falls silent, "silent" ignores the request
#          (once the list is used up, every request is answered whole)
#
# A request that comes while an answer is still going out is answered after it, as an MS2000
# finishes a dump before it reads on. Nothing holds it up: what the interface does not take while
# nobody on the host reads it is lost, as on a MIDI cable, and log.txt says how much. While answers go out, log.txt says every half second how
# many bytes are still to go, so a test can act at a known point of an answer.
#
# Answers only requests on its channel: F0 42 32 58 10 F7 (current program: the bank's first
# program as a 40 dump), F0 42 32 58 1C F7 (all programs: the bank as given, with its channel
# byte set to 32), and the device inquiry F0 7E cc 06 01 F7 with cc 7F or 02.
use strict;
use warnings;
use Time::HiRes qw(time sleep);
use IO::Handle;
use IO::Select;
use Fcntl qw(O_RDONLY O_WRONLY O_RDWR O_NONBLOCK);

my ($device, $bank_path, $log_dir, $modes) = @ARGV;
die "usage: $0 DEVICE BANK LOG MODES\n" unless defined $log_dir;
my @modes = split /,/, ($modes // '');
my $channel = 2;                 # global channel 3
my $bytes_per_second = 3125;     # 31250 baud, ten bits a byte
my $sensing_every = 0.3;

sub slurp {
    my ($path) = @_;
    open(my $in, '<:raw', $path) or die "cannot read $path: $!\n";
    local $/;
    return scalar <$in>;
}

# Korg 7-bit packing: a flag byte with bit 7 of the next up to seven bytes, then those bytes.
sub unpack7 {
    my ($packed) = @_;
    my $out = '';
    for (my $i = 0; $i < length $packed; $i += 8) {
        my $flags = ord substr($packed, $i, 1);
        my $group = substr($packed, $i + 1, 7);
        for my $n (0 .. length($group) - 1) {
            $out .= chr(ord(substr($group, $n, 1)) | ((($flags >> $n) & 1) << 7));
        }
    }
    return $out;
}
sub pack7 {
    my ($data) = @_;
    my $out = '';
    for (my $i = 0; $i < length $data; $i += 7) {
        my $group = substr($data, $i, 7);
        my ($flags, $body) = (0, '');
        for my $n (0 .. length($group) - 1) {
            my $b = ord substr($group, $n, 1);
            $flags |= (($b >> 7) & 1) << $n;
            $body .= chr($b & 0x7F);
        }
        $out .= chr($flags) . $body;
    }
    return $out;
}

my $bank = slurp($bank_path);
die "$bank_path is not a program dump (4C)\n"
    unless length($bank) >= 37163 && substr($bank, 0, 5) =~ /^\xF0\x42[\x30-\x3F]\x58\x4C$/;
$bank = substr($bank, 0, 37163);
substr($bank, 2, 1) = chr(0x30 | $channel);
my $first = substr(unpack7(substr($bank, 5, 37157)), 0, 254);
my $current = "\xF0\x42" . chr(0x30 | $channel) . "\x58\x40" . pack7($first) . "\xF7";
die "current program dump is " . length($current) . " bytes\n" unless length $current == 297;
my $identity = "\xF0\x7E" . chr($channel) . "\x06\x02\x42\x58\x00\x01\x00\x01\x00\x00\x00\xF7";

my ($in, $out);
if ($device =~ /^(.*):(.*)$/) {
    sysopen($in, $1, O_RDONLY | O_NONBLOCK) or die "cannot open $1: $!\n";
    sysopen($out, $2, O_WRONLY | O_NONBLOCK) or die "cannot open $2: $!\n";
} else {
    sysopen($in, $device, O_RDWR | O_NONBLOCK) or die "cannot open $device: $!\n";
    $out = $in;
}
binmode $in;
binmode $out;
open(my $log, '>>', "$log_dir/log.txt") or die "cannot write $log_dir/log.txt: $!\n";
$log->autoflush(1);
$SIG{TERM} = sub { exit 0 };
my $select = IO::Select->new($in);

my $answers = 0;
my $pending = '';          # what is still to go out, byte by byte at cable speed
my $sent_at = time;        # when the cable is free again
my $next_sensing = time;
my $next_progress = 0;     # when to say next how much is still to go
my $message;               # the SysEx being read, undef outside one
# The answers on their way out, each [number, its first byte's and its end's position in all that
# was queued, when its first byte was written]: each one's own time on the cable is logged.
my @going;
my ($queued, $written) = (0, 0);
my $lost = 0;              # bytes the interface did not take, since it last took them all

sub note { printf $log "%.3f %s\n", time, join(' ', @_); }

# Out without waiting: the gadget holds a few kilobytes, and while the host's side of the interface
# is closed nobody takes them, which must not slow the cable down.
sub send_out {
    my ($bytes) = @_;
    my $n = syswrite($out, $bytes);
    if (!defined $n) {
        die "write: $!\n" unless $!{EAGAIN};
        $n = 0;
    }
    if ($n < length $bytes) {
        $lost += length($bytes) - $n;
    } elsif ($lost) {
        note("$lost bytes lost while nobody read the interface");
        $lost = 0;
    }
}

# queue(BYTES, [ANSWER]): BYTES go out after what is still to go; ANSWER numbers a dump answer.
sub queue {
    my ($bytes, $number) = @_;
    push @going, [$number, $queued, $queued + length $bytes, undef] if defined $number;
    $queued += length $bytes;
    $pending .= $bytes;
}

sub request {
    my ($m) = @_;
    my $hex = join ' ', map { sprintf '%02X', ord } split //, $m;
    if ($m =~ /^\xF0\x7E([\x00-\x7F])\x06\x01\xF7$/s) {
        my $cc = ord $1;
        if ($cc == 0x7F || $cc == $channel) {
            note("inquiry $hex: answered");
            queue($identity);
        } else {
            note("inquiry $hex: not for this channel");
        }
        return;
    }
    if ($m =~ /^\xF0\x42([\x30-\x3F])\x58([\x10\x1C])\xF7$/s) {
        if (ord($1) != (0x30 | $channel)) {
            note("request $hex: not for this channel");
            return;
        }
        my $answer = ord($2) == 0x10 ? $current : $bank;
        my $mode = shift(@modes) // 'whole';
        if ($mode eq 'silent') {
            note("request $hex: silent");
            return;
        }
        $answer = substr($answer, 0, int(length($answer) / 3)) if $mode eq 'cut';
        $answers++;
        open(my $save, '>:raw', "$log_dir/answer-$answers.syx") or die "$!\n";
        print $save $answer;
        close $save;
        note("request $hex: $mode, " . length($answer) . " bytes as answer-$answers.syx");
        queue($answer, $answers);
        return;
    }
    note("message $hex: ignored");
}

note("listening on $device");
while (1) {
    my $now = time;
    if ($now >= $next_sensing) {
        # Real-time bytes may go between any two bytes, a SysEx's included.
        send_out("\xFE");
        $next_sensing += $sensing_every;
    }
    if (length $pending && $now >= $next_progress) {
        note(length($pending) . " bytes to go");
        $next_progress = $now + 0.5;
    }
    # Out at cable speed: as many bytes as the time since the last write allows.
    if (length $pending && $now >= $sent_at) {
        my $n = int(($now - $sent_at) * $bytes_per_second) + 1;
        $n = 32 if $n > 32;
        my $chunk = substr($pending, 0, $n, '');
        for my $answer (@going) {
            $answer->[3] //= $now if $written + length($chunk) > $answer->[1];
        }
        send_out($chunk);
        $written += length $chunk;
        while (@going && $written >= $going[0][2]) {
            # What the cable took here, late writes included: what a receiver adds comes on top.
            my $answer = shift @going;
            note(sprintf("answer-%d went out in %.3f s", $answer->[0], time - $answer->[3]));
        }
        $sent_at = ($sent_at > $now - 0.05 ? $sent_at : $now) + length($chunk) / $bytes_per_second;
    }
    my $wait = $next_sensing - time;
    $wait = $sent_at - time if length $pending && $sent_at - time < $wait;
    $wait = 0.001 if $wait < 0.001;
    if ($select->can_read($wait)) {
        my $got = sysread($in, my $buffer, 4096);
        next if !defined $got && $!{EAGAIN};
        exit 0 if !$got;    # unplugged
        for my $byte (split //, $buffer) {
            my $b = ord $byte;
            next if $b >= 0xF8;
            if ($b == 0xF0) { $message = $byte; next; }
            next unless defined $message;
            if ($b >= 0x80 && $b != 0xF7) { $message = undef; next; }
            $message .= $byte;
            if ($b == 0xF7) { request($message); $message = undef; }
        }
    }
}
