#!/usr/bin/perl
# Writes an MS2000 128-program dump to standard output: programs "VM TEST 001" to "VM TEST 128",
# each Single and each with its own bytes, so that every program converts to a different dump.
# Every image byte stays below 0x80, which makes each flag byte of the Korg 7-bit packing 0.
use strict;
use warnings;

my @image;
for my $program (0 .. 127) {
    my @bytes = map { ($program * 31 + $_ * 7) % 128 } 0 .. 253;
    @bytes[0 .. 11] = unpack('C*', sprintf('VM TEST %03d ', $program + 1));
    $bytes[16] = 0;    # voice mode Single
    push @image, @bytes;
}
my @message = (0xF0, 0x42, 0x30, 0x58, 0x4C);    # Korg, channel 1, MS2000, 128-program dump
for (my $i = 0; $i < @image; $i += 7) {
    my $last = $i + 6 < $#image ? $i + 6 : $#image;
    push @message, 0, @image[$i .. $last];
}
push @message, 0xF7;
binmode STDOUT;
print pack('C*', @message);
