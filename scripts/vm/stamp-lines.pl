#!/usr/bin/perl
# Heads each line that comes through named pipes with the time it came, so that a check can tell
# when a program printed what: started before the program, since starting Perl can take seconds
# under emulation.
#
#   stamp-lines.pl READY FIFO FILE [FIFO FILE]...
#
# Creates READY once it is about to open the pipes, then copies each FIFO's lines to its FILE as
# "MILLISECONDS LINE" (the wall clock, as `date +%s%3N` prints it) until every writer has closed.
use strict;
use warnings;
use Time::HiRes qw(time);
use IO::Handle;
use IO::Select;

my ($ready, @pairs) = @ARGV;
die "usage: $0 READY FIFO FILE [FIFO FILE]...\n" unless @pairs && @pairs % 2 == 0;
open(my $flag, '>', $ready) or die "cannot write $ready: $!\n";
close $flag;
my $select = IO::Select->new;
my (%file_of, %partial);
while (my ($fifo, $path) = splice(@pairs, 0, 2)) {
    open(my $in, '<:raw', $fifo) or die "cannot read $fifo: $!\n";
    open(my $out, '>:raw', $path) or die "cannot write $path: $!\n";
    $out->autoflush(1);
    $file_of{$in} = $out;
    $partial{$in} = '';
    $select->add($in);
}
while ($select->count) {
    for my $in ($select->can_read) {
        my $got = sysread($in, my $buffer, 4096);
        my $now = sprintf '%.0f', time * 1000;
        my $out = $file_of{$in};
        if (!$got) {
            print $out "$now $partial{$in}\n" if length $partial{$in};
            $select->remove($in);
            next;
        }
        $partial{$in} .= $buffer;
        while ($partial{$in} =~ s/^([^\n]*\n)//) {
            print $out "$now $1";
        }
    }
}
