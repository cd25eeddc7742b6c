#pragma once
// The requests that make an MS2000 send its programs, and the answers they bring.
//
//   F0 42 3g 58 10 F7    current program data dump request -> current program dump (40)
//   F0 42 3g 58 1C F7    program data dump request        -> all 128 programs (4C)
//
// g is the MS2000's global MIDI channel minus 1 (0..F); it answers only on that channel, and
// only while its global MIDI filter lets System Exclusive through. The answer is the dump
// message the file reader opens, sent on the same channel.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "library/SyxFormat.h"

namespace patchferry::synth {

enum class ReceiveWhat { CurrentProgram, AllPrograms };

inline constexpr int kFirstChannel = 1;  // channels as users see and type them
inline constexpr int kLastChannel = 16;

constexpr bool IsChannel(int channel) {
    return channel >= kFirstChannel && channel <= kLastChannel;
}

// The time an MS2000 wants between two messages sent to it.
inline constexpr std::chrono::milliseconds kMs2kMessageGap{400};

inline constexpr std::uint8_t kCurrentProgramRequest = 0x10;
inline constexpr std::uint8_t kProgramDumpRequest = 0x1C;

using DumpRequest = std::array<std::uint8_t, 6>;

// The request for `what` to an MS2000 on `channel` (1..16).
constexpr DumpRequest RequestFor(ReceiveWhat what, int channel) {
    return {syx::kSysExStart,
            syx::kKorgId,
            static_cast<std::uint8_t>(syx::kFormatIdHighNibble | ((channel - 1) & 0x0F)),
            syx::kMs2kModelId,
            what == ReceiveWhat::CurrentProgram ? kCurrentProgramRequest : kProgramDumpRequest,
            syx::kSysExEnd};
}

constexpr syx::DumpFunction AnswerFunction(ReceiveWhat what) {
    return what == ReceiveWhat::CurrentProgram ? syx::DumpFunction::CurrentProgram
                                               : syx::DumpFunction::ProgramDump;
}

// The whole answer's length, F0 to F7.
constexpr std::size_t AnswerSize(ReceiveWhat what) {
    return syx::MessageSize(*syx::DumpKindOf(static_cast<std::uint8_t>(AnswerFunction(what))));
}

static_assert(RequestFor(ReceiveWhat::AllPrograms, 3)[2] == 0x32);
static_assert(RequestFor(ReceiveWhat::CurrentProgram, 16)[4] == 0x10);
static_assert(AnswerSize(ReceiveWhat::CurrentProgram) == 297);
static_assert(AnswerSize(ReceiveWhat::AllPrograms) == 37163);

}  // namespace patchferry::synth
