#!/usr/bin/perl
# Writes a Standard MIDI File to standard output: COUNT notes (default 1000) on channel 1, one
# every 5 ms, each a note-on followed at once by its note-off. Dense enough that another program
# playing it writes to a port several times during any one dump.
use strict;
use warnings;

my $count = shift // 1000;
my $division = 480;        # ticks per quarter note
my $tempo = 480_000;       # microseconds per quarter note: one tick is one millisecond
my $gap = 5;               # ticks between notes

my $track = pack('C*', 0x00, 0xFF, 0x51, 0x03) . substr(pack('N', $tempo), 1);
for my $i (0 .. $count - 1) {
    my $note = 48 + $i % 24;
    $track .= pack('C*', $gap, 0x90, $note, 100, 0x00, 0x80, $note, 64);
}
$track .= pack('C*', 0x00, 0xFF, 0x2F, 0x00);
binmode STDOUT;
print 'MThd', pack('Nnnn', 6, 0, 1, $division), 'MTrk', pack('N', length $track), $track;
