// Any byte stream from a MIDI input, cut into pieces anywhere, ends in a whole answer that the
// reader opens, or in a failure with its text and nothing kept. Never a crash, never a half-kept
// answer.
//
// Input: byte 0 says what was asked (bit 0: all programs, else the current one) and on which
// channel (bits 4..7 plus 1); byte 1 seeds where the stream is cut; the rest is the stream.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "library/ProgramLibrary.h"
#include "synth/ProgramReceiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace patchferry::synth;
    using namespace std::chrono_literals;
    if (size < 2) {
        return 0;
    }
    const ReceiveWhat what =
        (data[0] & 1U) != 0 ? ReceiveWhat::AllPrograms : ReceiveWhat::CurrentProgram;
    const int channel = (data[0] >> 4U) + 1;
    unsigned cut = data[1] | 1U;
    const std::span<const std::uint8_t> stream(data + 2, size - 2);

    ProgramReceiver receiver;
    ProgramReceiver::Clock::time_point now{};
    receiver.Start(what, channel, now);
    std::size_t at = 0;
    while (at < stream.size()) {
        cut = cut * 1103515245U + 12345U;
        const std::size_t piece = std::min<std::size_t>(1 + (cut >> 16U) % 600, stream.size() - at);
        now += 1ms;
        receiver.Feed(stream.subspan(at, piece), now);
        receiver.Tick(now);
        at += piece;
    }
    receiver.Tick(now + 10s);

    if (!receiver.Finished()) {
        std::abort();  // after ten silent seconds every wait has ended
    }
    if (receiver.State() == ReceiveState::Done) {
        if (receiver.Answer().size() != receiver.Expected() || !receiver.FailureText().empty()) {
            std::abort();
        }
        patchferry::ProgramLibrary library;
        std::string error;
        if (!library.ReadSyxBytes(receiver.Answer(), error, "received")) {
            std::abort();
        }
    } else if (!receiver.Answer().empty() || receiver.FailureText().empty()) {
        std::abort();
    }
    return 0;
}
