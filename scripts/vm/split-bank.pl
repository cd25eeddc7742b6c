#!/usr/bin/perl
# Writes programs of an MS2000 bank (a program dump, 4C, 128 programs) as files of one program
# each, current program dumps (40h, 297 bytes), named 001.syx, 002.syx, ... in the bank's order:
# a small library for the window to open, whose n-th program is the bank's n-th.
#
# Usage: split-bank.pl BANK.syx COUNT FOLDER
use strict;
use warnings;
use FindBin;
use lib $FindBin::Bin;
use StandIn qw(slurp pack7 unpack7);

my ($bank_path, $count, $folder) = @ARGV;
die "usage: $0 BANK.syx COUNT FOLDER\n" unless defined $folder && $count =~ /^\d+$/ && $count <= 128;
my $bank = slurp($bank_path);
die "$bank_path is not a program dump (4C)\n"
    unless length($bank) >= 37163 && substr($bank, 0, 5) =~ /^\xF0\x42[\x30-\x3F]\x58\x4C$/;
my $programs = unpack7(substr($bank, 5, 37157));
mkdir $folder or die "cannot make $folder: $!\n";
for my $n (0 .. $count - 1) {
    my $path = sprintf('%s/%03d.syx', $folder, $n + 1);
    open(my $file, '>:raw', $path) or die "cannot write $path: $!\n";
    print $file substr($bank, 0, 4), "\x40", pack7(substr($programs, $n * 254, 254)), "\xF7";
    close $file or die "cannot write $path: $!\n";
}
