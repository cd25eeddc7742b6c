#!/usr/bin/perl
# Writes an MS2000 dump made up for tests: FUNCTION is 40 (one program), 4C (128 programs) or 50
# (128 programs and the all-data trailer). The programs' bytes are pseudo-random but fixed, so
# their verdicts vary; their names include ones that are awkward as file names.
#
# Usage: scripts/make-test-dump.pl FUNCTION SEED OUT.syx
use strict;
use warnings;

my ($function, $seed, $out) = @ARGV;
die "usage: $0 40|4C|50 SEED OUT.syx\n" unless defined $out;
$function = hex($function);
my $programs = $function == 0x40 ? 1 : 128;

my @names = ('Lead 1', 'CON', 'nul', 'Com1', 'LPT9.txt', 'Pad.', 'Bass  ', 'Str/ngs?',
             "Caf\xe9 Keys", 'Aux', '  Sweep', 'Vox');
my $state = $seed;
sub next_byte {
    $state = ($state * 1103515245 + 12345) % 2147483648;
    return ($state >> 16) & 0xFF;
}

my @data;
for my $p (0 .. $programs - 1) {
    my @image = map { next_byte() } 1 .. 254;
    my $name = sprintf('%-12.12s', $names[$p % @names] . ($p < @names ? '' : " $p"));
    @image[0 .. 11] = map { ord } split //, $name;
    $image[16] = ($image[16] & 0xCF) | (($p % 4) << 4);    # voice mode: all four, Vocoder too
    push @data, @image;
}

# Korg 7-bit packing: each group of seven bytes goes out after a flag byte holding their bit 7.
my @packed;
for (my $i = 0; $i < @data; $i += 7) {
    my @group = @data[$i .. ($i + 6 < $#data ? $i + 6 : $#data)];
    my $flags = 0;
    $flags |= (($group[$_] >> 7) & 1) << $_ for 0 .. $#group;
    push @packed, $flags, map { $_ & 0x7F } @group;
}

my @message = (0xF0, 0x42, 0x30, 0x58, $function, @packed);
push @message, (0x11) x 229 if $function == 0x50;
push @message, 0xF7;
open(my $fh, '>:raw', $out) or die "cannot write $out: $!\n";
print $fh pack('C*', @message);
close($fh) or die "cannot write $out: $!\n";
