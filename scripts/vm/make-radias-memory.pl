#!/usr/bin/perl
# Writes what a Radias's whole memory looks like as a backup: 256 program dumps with their
# address (F0 42 32 72 4C nn hh <2046 packed bytes> F7, 2054 bytes each, global channel 3), in
# slot order A01..P16. Each program is named "MEMORY A01" to "MEMORY P16" and has its own bytes,
# half of them with bit 7 set so that the 7-bit packing's flag bytes are used, so that a program
# in the wrong slot or a byte out of place never goes unseen.
#
# Usage: make-radias-memory.pl OUT.syx
use strict;
use warnings;
use FindBin;
use lib $FindBin::Bin;
use StandIn qw(pack7);

my ($out) = @ARGV;
die "usage: $0 OUT.syx\n" unless defined $out;
die "$out is already there\n" if -e $out || -l $out;
open(my $file, '>:raw', $out) or die "cannot write $out: $!\n";
for my $slot (0 .. 255) {
    my $name = sprintf('MEMORY %s%02d', chr(ord('A') + int($slot / 16)), $slot % 16 + 1);
    my @bytes = map { ($slot * 37 + $_ * 11 + ($_ >> 8)) % 256 } 0 .. 1789;
    @bytes[0 .. 11] = unpack('C*', sprintf('%-12s', $name));
    print $file "\xF0\x42\x32\x72\x4C", chr($slot % 128), chr(int($slot / 128)),
        pack7(pack('C*', @bytes)), "\xF7";
}
close $file or die "cannot write $out: $!\n";
