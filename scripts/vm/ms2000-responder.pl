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
# finishes a dump before it reads on. The cable, the sensing, what is lost while nobody on the
# host reads, and the log's progress lines are StandIn.pm's, shared with the stand-in Radias.
#
# Answers only requests on its channel: F0 42 32 58 10 F7 (current program: the bank's first
# program as a 40 dump), F0 42 32 58 1C F7 (all programs: the bank as given, with its channel
# byte set to 32), and the device inquiry F0 7E cc 06 01 F7 with cc 7F or 02.
use strict;
use warnings;
use FindBin;
use lib $FindBin::Bin;
use StandIn qw(open_device note queue run inquiry slurp hex_of pack7 unpack7);

my ($device, $bank_path, $log_dir, $modes) = @ARGV;
die "usage: $0 DEVICE BANK LOG MODES\n" unless defined $log_dir;
my @modes = split /,/, ($modes // '');
my $channel = 2;                 # global channel 3

my $bank = slurp($bank_path);
die "$bank_path is not a program dump (4C)\n"
    unless length($bank) >= 37163 && substr($bank, 0, 5) =~ /^\xF0\x42[\x30-\x3F]\x58\x4C$/;
$bank = substr($bank, 0, 37163);
substr($bank, 2, 1) = chr(0x30 | $channel);
my $first = substr(unpack7(substr($bank, 5, 37157)), 0, 254);
my $current = "\xF0\x42" . chr(0x30 | $channel) . "\x58\x40" . pack7($first) . "\xF7";
die "current program dump is " . length($current) . " bytes\n" unless length $current == 297;
my $identity = "\xF0\x7E" . chr($channel) . "\x06\x02\x42\x58\x00\x01\x00\x01\x00\x00\x00\xF7";

open_device($device, $log_dir);
my $answers = 0;

sub request {
    my ($m) = @_;
    my $hex = hex_of($m);
    return if inquiry($m, $channel, $identity);
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

run(\&request);
