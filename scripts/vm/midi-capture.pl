#!/usr/bin/perl
# Byte tools for the VM checks.
#
#   midi-capture.pl capture DEVICE DATA TIMES
#       Reads a raw MIDI input until it goes away or the process is stopped: every byte is
#       appended to DATA, and after each read a line "MICROSECONDS TOTAL" goes to TIMES (the
#       clock is the wall clock, as `date +%s%6N` prints it).
#   midi-capture.pl arrival TIMES BYTES
#       Prints the time (microseconds) at which the capture held at least BYTES bytes.
#   midi-capture.pl contains DATA DUMP
#       Exit status 0 when DUMP occurs whole and uninterrupted in DATA.
use strict;
use warnings;
use Time::HiRes qw(time);
use IO::Handle;
use Fcntl qw(O_RDONLY O_NONBLOCK);

my $command = shift // '';

sub slurp {
    my ($path) = @_;
    open(my $in, '<:raw', $path) or die "cannot read $path: $!\n";
    local $/;
    my $bytes = <$in> // '';
    return $bytes;
}

if ($command eq 'capture') {
    my ($device, $data, $times) = @ARGV;
    # A raw MIDI input starts listening at the first read; one that cannot wait makes sure it
    # does before TIMES exists, which tells the caller that nothing sent from now on is lost.
    sysopen(my $in, $device, O_RDONLY | O_NONBLOCK) or die "cannot open $device: $!\n";
    binmode $in;
    my $early = '';
    sysread($in, $early, 4096);
    $in->blocking(1);
    open(my $out, '>:raw', $data) or die "cannot write $data: $!\n";
    open(my $log, '>', $times) or die "cannot write $times: $!\n";
    $out->autoflush(1);
    $log->autoflush(1);
    $SIG{TERM} = sub { exit 0 };
    print $out $early;
    my $total = length $early;
    while (1) {
        my $got = sysread($in, my $buffer, 4096);
        last if !$got;    # the device was unplugged
        print $out $buffer;
        $total += $got;
        printf $log "%d %d\n", time() * 1e6, $total;
    }
} elsif ($command eq 'arrival') {
    my ($times, $bytes) = @ARGV;
    open(my $log, '<', $times) or die "cannot read $times: $!\n";
    while (<$log>) {
        my ($when, $total) = split;
        if ($total >= $bytes) { print "$when\n"; exit 0; }
    }
    exit 1;
} elsif ($command eq 'contains') {
    my ($data, $dump) = @ARGV;
    exit(index(slurp($data), slurp($dump)) >= 0 ? 0 : 1);
} else {
    die "usage: midi-capture.pl capture|arrival|contains ...\n";
}
