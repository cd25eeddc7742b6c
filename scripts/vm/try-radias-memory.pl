#!/usr/bin/perl
# Runs radias-responder.pl on two named pipes instead of a MIDI interface and checks, without a VM,
# what it answers to the current program dump and to requests and writes of its memory, in each
# memory mode, and that the memory it writes out is what it was given and written, byte for byte.
# Takes about 20 s (the stand-in keeps to cable speed). Prints one line per check; exit 1 when one
# fails.
#
# Usage: scripts/vm/try-radias-memory.pl
use strict;
use warnings;
use FindBin;
use lib $FindBin::Bin;
use File::Temp qw(tempdir);
use POSIX qw(mkfifo);
use Fcntl qw(O_RDWR);
use IO::Select;
use Time::HiRes qw(time sleep);
use StandIn qw(slurp pack7);

my $dir = tempdir(CLEANUP => 1);
my $failed = 0;
sub check {
    my ($ok, $what) = @_;
    print(($ok ? 'PASS' : 'FAIL'), " $what\n");
    $failed = 1 unless $ok;
}

# Both pipes are held open read-write here, so the stand-in never sees an end of file or a pipe
# without a reader.
my %pipe;
for my $name (qw(to from)) {
    mkfifo("$dir/$name", 0600) or die "mkfifo: $!\n";
    sysopen($pipe{$name}, "$dir/$name", O_RDWR) or die "cannot open $dir/$name: $!\n";
    binmode $pipe{$name};
}
system('perl', "$FindBin::Bin/make-radias-memory.pl", "$dir/seed.syx") == 0 or die "no seed\n";
my @expected = unpack('(a2054)*', slurp("$dir/seed.syx"));
mkdir "$dir/log";
my $pid = fork // die "fork: $!\n";
if (!$pid) {
    exec('perl', "$FindBin::Bin/radias-responder.pl", '--memory', "$dir/seed.syx",
         "$dir/to:$dir/from", "$dir/log", 'take');
}
sub log_text { return -e "$dir/log/log.txt" ? slurp("$dir/log/log.txt") : ''; }
sub wait_for {
    my ($test, $seconds) = @_;
    my $end = time + $seconds;
    until ($test->()) { return 0 if time > $end; sleep 0.02; }
    return 1;
}
wait_for(sub { log_text() =~ /listening/ }, 10) or die "the stand-in did not start\n";

# answer(SECONDS): the next whole SysEx message from the stand-in, active sensing left out; undef
# when none is whole within SECONDS.
my $select = IO::Select->new($pipe{from});
my $buffer = '';
sub answer {
    my $end = time + $_[0];
    while (1) {
        $buffer =~ s/\xFE//g;
        return $1 if $buffer =~ s/^[^\xF0]*(\xF0[^\xF7]*\xF7)//;
        my $left = $end - time;
        return undef if $left <= 0;
        sysread($pipe{from}, $buffer, 4096, length $buffer) if $select->can_read($left);
    }
}
sub send_bytes { syswrite($pipe{to}, $_[0]) == length $_[0] or die "write: $!\n"; }
my $header = "\xF0\x42\x32\x72";
sub reply { return $header . chr($_[0]) . "\xF7"; }
sub request { return "${header}\x1C" . chr($_[0] % 128) . chr(int($_[0] / 128)) . "\xF7"; }
sub program_for {
    my ($slot, $fill) = @_;
    return "${header}\x4C" . chr($slot % 128) . chr(int($slot / 128)) . pack7(chr($fill) x 1790) . "\xF7";
}
sub memory_now {
    my $before = () = log_text() =~ /memory written/g;
    kill 'USR1', $pid;
    wait_for(sub { (() = log_text() =~ /memory written/g) > $before }, 5) or return '';
    return slurp("$dir/log/memory.syx");
}
my $wanted = sub { join '', @expected };

# The current program: unchanged by the memory.
send_bytes("${header}\x40" . pack7("\x11" x 1790) . "\xF7");
check(answer(3) eq reply(0x23), 'a 2052-byte current program dump is answered DATA LOAD COMPLETED (mode take)');
send_bytes("${header}\x10\xF7");
check(answer(3) eq "${header}\x40" . pack7("\x11" x 1790) . "\xF7", 'the current program request answers with the dump taken');
check(log_text() =~ /dump-1 \(2052 bytes.*answered DATA LOAD COMPLETED/ && log_text() =~ /answer-1 went out/,
      'log.txt names the current program dump dump-1 and its answer answer-1, as before');

# Requests: each slot's own dump, at cable speed.
for my $slot (0, 127, 128, 255) {
    my $asked = time;
    send_bytes(request($slot));
    my $got = answer(3) // '';
    my $took = time - $asked;
    check($got eq $expected[$slot] && $took > 0.6,
          sprintf('request for slot %d answered with its seeded dump in %.0f ms (cable: 657 ms)', $slot, $took * 1000));
}

# Writes: stored as they came, answered DATA LOAD COMPLETED.
my $written = program_for(18, 0xA5);    # B03
send_bytes($written);
check(answer(3) eq reply(0x23), 'a write into B03 is answered DATA LOAD COMPLETED');
$expected[18] = $written;
send_bytes(request(18));
check(answer(3) eq $written, 'B03 then answers with what was written');
my $other_channel = program_for(200, 0x5A);    # M09, written on channel 1
substr($other_channel, 2, 1) = "\x30";
send_bytes($other_channel);
check(!defined answer(2), 'a write on another channel is not answered');
send_bytes(substr(program_for(19, 1), 0, 2000) . "\xF7");
check(answer(3) eq reply(0x26), 'a write of 2001 bytes is answered DATA FORMAT ERROR');
my $third_half = program_for(19, 1);
substr($third_half, 6, 1) = "\x02";
send_bytes($third_half);
check(answer(3) eq reply(0x26), 'a write into half 2 is answered DATA FORMAT ERROR');
check(memory_now() eq $wanted->(), 'the memory written on SIGUSR1 is the seed with B03 replaced, byte for byte');
check(log_text() =~ /write-\d+ B03 \(2054 bytes.*answered DATA LOAD COMPLETED/ && log_text() =~ /request-\d+ P16 /,
      'log.txt names the slots of requests and writes');

# Protected: every write refused, nothing changed; requests still answered.
open(my $modes, '>', "$dir/log/memory-modes") or die;
print $modes "protected\n";
close $modes;
send_bytes(program_for(0, 0x77));
check(answer(3) eq reply(0x24), 'protected: a write into A01 is answered DATA LOAD ERROR');
send_bytes(request(0));
check(answer(3) eq $expected[0], 'protected: A01 still answers with its seeded dump');
check(memory_now() eq $wanted->(), 'protected: the memory is unchanged');

# silent-after=2: two answered, then silence; a write still stored.
open($modes, '>', "$dir/log/memory-modes") or die;
print $modes "silent-after=2\n";
close $modes;
send_bytes(request(1));
check(answer(3) eq $expected[1], 'silent-after=2: the first request is answered');
my $second = program_for(2, 0x33);
send_bytes($second);
check(answer(3) eq reply(0x23), 'silent-after=2: the second message, a write, is answered');
$expected[2] = $second;
send_bytes(request(3));
check(!defined answer(2), 'silent-after=2: the third, a request, is not answered');
my $fourth = program_for(4, 0x44);
send_bytes($fourth);
check(!defined answer(2), 'silent-after=2: the fourth, a write, is not answered');
$expected[4] = $fourth;
check(memory_now() eq $wanted->(), 'silent-after=2: both writes stored, the unanswered one too');

# The current program dump keeps its own modes and is not counted by silent-after.
open($modes, '>', "$dir/log/modes") or die;
print $modes "refuse\n";
close $modes;
send_bytes("${header}\x40" . pack7("\x22" x 1790) . "\xF7");
check(answer(3) eq reply(0x24), 'a current program dump still follows LOG/modes (refuse) while the memory is silent');

# A seed that is not a whole memory is refused before anything else.
open(my $short, '>:raw', "$dir/short.syx") or die;
print $short substr(slurp("$dir/seed.syx"), 0, 2054 * 255);
close $short;
check(system("perl '$FindBin::Bin/radias-responder.pl' --memory '$dir/short.syx' x:y '$dir' take 2>/dev/null") != 0,
      'a seed of 255 programs is refused');

# At its end the memory is written out too.
unlink "$dir/log/memory.syx";
kill 'TERM', $pid;
waitpid($pid, 0);
check(-e "$dir/log/memory.syx" && slurp("$dir/log/memory.syx") eq $wanted->(), 'its memory is written out when it ends');
exit $failed;
