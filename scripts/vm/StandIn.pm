package StandIn;
# What every synth played on the device side of a MIDI interface does alike: it opens the raw MIDI
# device, reads the SysEx messages that reach it and hands each whole one to the synth's own code,
# sends its answers at the speed of a MIDI cable (3125 bytes a second), sends active sensing (FE)
# every 300 ms all along as a synth does, and logs what it does to LOG/log.txt, each line headed
# by the wall-clock time in seconds.
#
#   use StandIn qw(open_device note queue run);
#   open_device(DEVICE, LOG);   DEVICE is read and written, or "IN:OUT" for two paths
#   queue(BYTES, [NUMBER]);     BYTES go out after what is still to go; NUMBER names an answer
#                               ("answer-NUMBER") whose own time on the cable is logged
#   run(HANDLER, [cable_in => 1]);
#
# HANDLER gets each whole SysEx message and when its first byte was read. Nothing holds the answers up: what the interface does not
# take while nobody on the host reads it is lost, as on a MIDI cable, and log.txt says how much.
# While answers go out, log.txt says every half second how many bytes are still to go, so a test
# can act at a known point of an answer.
#
# With cable_in, a message is handed over only when a MIDI cable would have carried its last byte:
# the interface's USB side delivers a dump within milliseconds, but a synth behind a MIDI cable
# has it whole only after 320 microseconds a byte, counted from its first byte (and from the end
# of the message before, since the cable carries one byte at a time).
use strict;
use warnings;
use Time::HiRes qw(time);
use IO::Handle;
use IO::Select;
use Fcntl qw(O_RDONLY O_WRONLY O_RDWR O_NONBLOCK);
use Exporter qw(import);

our @EXPORT_OK = qw(open_device note queue run inquiry slurp hex_of pack7 unpack7);

my $bytes_per_second = 3125;    # 31250 baud, ten bits a byte
my $sensing_every = 0.3;

my ($device, $in, $out, $log);
my $pending = '';          # what is still to go out, byte by byte at cable speed
my $sent_at = time;        # when the cable is free again
my $next_sensing = time;
my $next_progress = 0;     # when to say next how much is still to go
# The answers on their way out, each [number, its first byte's and its end's position in all that
# was queued, when its first byte was written]: each one's own time on the cable is logged.
my @going;
my ($queued, $written) = (0, 0);
my $lost = 0;              # bytes the interface did not take, since it last took them all

sub slurp {
    my ($path) = @_;
    open(my $file, '<:raw', $path) or die "cannot read $path: $!\n";
    local $/;
    return scalar <$file>;
}

sub hex_of { return join ' ', map { sprintf '%02X', ord } split //, $_[0]; }

# Korg 7-bit packing: a flag byte with bit 7 of the next up to seven bytes, then those bytes.
sub unpack7 {
    my ($packed) = @_;
    my $unpacked = '';
    for (my $i = 0; $i < length $packed; $i += 8) {
        my $flags = ord substr($packed, $i, 1);
        my $group = substr($packed, $i + 1, 7);
        for my $n (0 .. length($group) - 1) {
            $unpacked .= chr(ord(substr($group, $n, 1)) | ((($flags >> $n) & 1) << 7));
        }
    }
    return $unpacked;
}
sub pack7 {
    my ($data) = @_;
    my $packed = '';
    for (my $i = 0; $i < length $data; $i += 7) {
        my $group = substr($data, $i, 7);
        my ($flags, $body) = (0, '');
        for my $n (0 .. length($group) - 1) {
            my $b = ord substr($group, $n, 1);
            $flags |= (($b >> 7) & 1) << $n;
            $body .= chr($b & 0x7F);
        }
        $packed .= chr($flags) . $body;
    }
    return $packed;
}

sub note { printf $log "%.3f %s\n", time, join(' ', @_); }

sub open_device {
    my $log_dir;
    ($device, $log_dir) = @_;
    if ($device =~ /^(.*):(.*)$/) {
        sysopen($in, $1, O_RDONLY | O_NONBLOCK) or die "cannot open $1: $!\n";
        sysopen($out, $2, O_WRONLY | O_NONBLOCK) or die "cannot open $2: $!\n";
    } else {
        sysopen($in, $device, O_RDWR | O_NONBLOCK) or die "cannot open $device: $!\n";
        $out = $in;
    }
    binmode $in;
    binmode $out;
    open($log, '>>', "$log_dir/log.txt") or die "cannot write $log_dir/log.txt: $!\n";
    $log->autoflush(1);
    # Stopped, it drops what it still has to send (SNDRV_RAWMIDI_IOCTL_DROP on the output): closing
    # a raw MIDI output otherwise waits until the interface has taken it all, which nobody on the
    # host does while its side is closed, and the kernel gives up only after 10 s.
    $SIG{TERM} = sub {
        my $stream = pack('i', 0);    # SNDRV_RAWMIDI_STREAM_OUTPUT
        ioctl($out, 0x40045730, $stream);
        exit 0;
    };
}

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

sub queue {
    my ($bytes, $number) = @_;
    push @going, [$number, $queued, $queued + length $bytes, undef] if defined $number;
    $queued += length $bytes;
    $pending .= $bytes;
}

# inquiry(MESSAGE, CHANNEL, IDENTITY): answers the device inquiry F0 7E cc 06 01 F7 with IDENTITY
# when cc is CHANNEL (0-based) or 7F, as a synth does. True when MESSAGE was a device inquiry.
sub inquiry {
    my ($m, $channel, $identity) = @_;
    return 0 unless $m =~ /^\xF0\x7E([\x00-\x7F])\x06\x01\xF7$/s;
    my $cc = ord $1;
    if ($cc == 0x7F || $cc == $channel) {
        note('inquiry ' . hex_of($m) . ': answered');
        queue($identity);
    } else {
        note('inquiry ' . hex_of($m) . ': not for this channel');
    }
    return 1;
}

sub run {
    my ($handler, %options) = @_;
    my $select = IO::Select->new($in);
    my $message;        # the SysEx being read, undef outside one
    my $started;        # when its first byte came off the cable
    my @arriving;       # whole messages still on the cable: [when their last byte is in, message,
                        # when their first byte was read]
    my $cable_free = 0; # when the cable towards the synth is free again
    note("listening on $device");
    while (1) {
        my $now = time;
        while (@arriving && $arriving[0][0] <= $now) {
            $handler->(@{shift @arriving}[1, 2]);
        }
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
                note(sprintf("answer-%s went out in %.3f s", $answer->[0], time - $answer->[3]));
            }
            $sent_at = ($sent_at > $now - 0.05 ? $sent_at : $now) + length($chunk) / $bytes_per_second;
        }
        my $wait = $next_sensing - time;
        $wait = $sent_at - time if length $pending && $sent_at - time < $wait;
        $wait = $arriving[0][0] - time if @arriving && $arriving[0][0] - time < $wait;
        $wait = 0.001 if $wait < 0.001;
        if ($select->can_read($wait)) {
            my $got = sysread($in, my $buffer, 4096);
            next if !defined $got && $!{EAGAIN};
            exit 0 if !$got;    # unplugged
            my $read_at = time;
            for my $byte (split //, $buffer) {
                my $b = ord $byte;
                next if $b >= 0xF8;
                if ($b == 0xF0) {
                    ($message, $started) = ($byte, $read_at);
                    next;
                }
                next unless defined $message;
                if ($b >= 0x80 && $b != 0xF7) { $message = undef; next; }
                $message .= $byte;
                next unless $b == 0xF7;
                if ($options{cable_in}) {
                    my $first = $started > $cable_free ? $started : $cable_free;
                    $cable_free = $first + length($message) / $bytes_per_second;
                    push @arriving, [$cable_free, $message, $started];
                } else {
                    $handler->($message, $started);
                }
                $message = undef;
            }
        }
    }
}

1;
