#include "midi/alsa/AlsaResult.h"

#include <cerrno>

namespace patchferry::midi::alsa {
namespace {

// Every errno is below this; the cause sits above it.
constexpr int kCauseStride = 4096;

}  // namespace

int AlsaCode(AlsaCause cause, int error) {
    return -(static_cast<int>(cause) * kCauseStride + error);
}

AlsaCause CauseOf(int code) {
    return code < 0 ? static_cast<AlsaCause>(-code / kCauseStride) : AlsaCause::None;
}

int ErrnoOf(int code) {
    return code < 0 ? -(-code % kCauseStride) : code;
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

int SequencerOpenCode(int alsaResult) {
    switch (alsaResult) {
        case -ENOENT:
            return AlsaCode(AlsaCause::SequencerMissing, ENOENT);
        case -EACCES:
        case -EPERM:
            return AlsaCode(AlsaCause::SequencerDenied, -alsaResult);
        default:
            return alsaResult;
    }
}

}  // namespace patchferry::midi::alsa
