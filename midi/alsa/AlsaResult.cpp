#include "midi/alsa/AlsaResult.h"

#include <cerrno>

namespace patchferry::midi::alsa {
namespace {

MidiErrorCause CauseOfErrno(int alsaResult) {
    switch (-alsaResult) {
        case ENOMEM:
            return MidiErrorCause::OutOfMemory;
        case EACCES:
        case EPERM:
            return MidiErrorCause::NoAccess;
        case ENODEV:
        case ENXIO:
            return MidiErrorCause::PortGone;
        case ETIMEDOUT:
            return MidiErrorCause::TimedOut;
        default:
            return MidiErrorCause::Other;
    }
}

}  // namespace

MidiErrorCause SharedCause(AlsaCause cause, int alsaResult) {
    switch (cause) {
        case AlsaCause::None:
            return CauseOfErrno(alsaResult);
        case AlsaCause::SequencerMissing:
            return MidiErrorCause::NoMidiSystem;
        case AlsaCause::SequencerDenied:
            return MidiErrorCause::NoAccess;
        case AlsaCause::NoSuchPort:
        case AlsaCause::NoSuchInput:
            return MidiErrorCause::NoSuchPort;
        case AlsaCause::PortGone:
            return MidiErrorCause::PortGone;
        case AlsaCause::StillSending:
            return MidiErrorCause::StillSending;
        case AlsaCause::OthersFillBuffer:
        case AlsaCause::OtherWriter:
        case AlsaCause::BytesDropped:
        case AlsaCause::Unwatchable:
            return MidiErrorCause::OtherProgram;
        case AlsaCause::TooLong:
            return MidiErrorCause::TooLong;
        case AlsaCause::NotOpen:
            return MidiErrorCause::NotOpen;
    }
    return MidiErrorCause::Other;
}

std::string CauseText(AlsaCause cause, const std::string& detail) {
    switch (cause) {
        case AlsaCause::None:
            return "";
        case AlsaCause::SequencerMissing:
            return "the ALSA sequencer is not available (/dev/snd/seq is missing)";
        case AlsaCause::SequencerDenied:
            return "this user may not use the ALSA sequencer (/dev/snd/seq); on most systems "
                   "that takes membership of the group \"audio\"";
        case AlsaCause::NoSuchPort:
            return "there is no such MIDI output port now (the interface is unplugged, or the "
                   "program that made the port has ended)";
        case AlsaCause::PortGone:
            return "the MIDI port is no longer there: the interface was unplugged or the port "
                   "was removed";
        case AlsaCause::StillSending:
            return "the previous dump is still going out to the MIDI port";
        case AlsaCause::OthersFillBuffer:
            return "another program's MIDI data was still waiting to go out to the port, so "
                   "the dump was not sent: " +
                   detail;
        case AlsaCause::OtherWriter:
            return "sent, but another program wrote to the MIDI port at the same time, so the "
                   "dump may have arrived broken: " +
                   detail;
        case AlsaCause::BytesDropped:
            return "the port's buffer in the kernel was full and part of the dump was dropped: " +
                   detail;
        case AlsaCause::Unwatchable:
            return "another program is connected to write to the MIDI port and the port's "
                   "buffer cannot be watched, so a dump could arrive broken unnoticed: " +
                   detail;
        case AlsaCause::TooLong:
            return "the message is longer than the port's buffer in the kernel";
        case AlsaCause::NotOpen:
            return "the MIDI port is not open";
        case AlsaCause::NoSuchInput:
            return "there is no such MIDI input port now (the interface is unplugged, or the "
                   "program that made the port has ended)";
    }
    return "";
}

AlsaCause SequencerOpenCause(int alsaResult) {
    switch (alsaResult) {
        case -ENOENT:
            return AlsaCause::SequencerMissing;
        case -EACCES:
        case -EPERM:
            return AlsaCause::SequencerDenied;
        default:
            return AlsaCause::None;
    }
}

}  // namespace patchferry::midi::alsa
