#pragma once
// The MS2000 dump messages that a ".syx" file must begin with.
//
//   offset 0      F0        start of System Exclusive
//   offset 1      42        Korg
//   offset 2      3n        format ID 3, MIDI channel n (not looked at)
//   offset 3      58        MS2000
//   offset 4      function  40 current program, 4C 128 programs, 50 all data
//   offset 5..    packed program data (Korg 7-bit packing, one continuous stream)
//   then          (all-data dump only) 229 further bytes, skipped
//   then          F7        end of System Exclusive
//
// Nothing after that F7 is read.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "KorgPacking.h"
#include "KorgSysEx.h"
#include "Ms2kProgramImage.h"

namespace patchferry::syx {

using korg::kFormatIdHighNibble;
using korg::kHeaderSize;
using korg::kKorgId;
using korg::kSysExEnd;
using korg::kSysExStart;
inline constexpr std::uint8_t kMs2kModelId = 0x58;

enum class DumpFunction : std::uint8_t {
    CurrentProgram = 0x40,
    ProgramDump = 0x4C,
    AllData = 0x50,
};

inline constexpr std::size_t kProgramsPerBank = 16;
inline constexpr std::size_t kMaxPrograms = 128;
inline constexpr std::size_t kAllDataTrailerSize = 229;

struct DumpKind {
    DumpFunction function;
    std::size_t programs;
    std::size_t trailer;  // bytes skipped between the program data and the closing F7
};

constexpr std::optional<DumpKind> DumpKindOf(std::uint8_t function) {
    switch (static_cast<DumpFunction>(function)) {
        case DumpFunction::CurrentProgram:
            return DumpKind{DumpFunction::CurrentProgram, 1, 0};
        case DumpFunction::ProgramDump:
            return DumpKind{DumpFunction::ProgramDump, kMaxPrograms, 0};
        case DumpFunction::AllData:
            return DumpKind{DumpFunction::AllData, kMaxPrograms, kAllDataTrailerSize};
    }
    return std::nullopt;
}

constexpr std::size_t PackedProgramDataSize(const DumpKind& kind) {
    return KorgPackedSize(kind.programs * kMs2kProgramSize);
}

// Whole message: header, packed data, trailer, closing F7.
constexpr std::size_t MessageSize(const DumpKind& kind) {
    return kHeaderSize + PackedProgramDataSize(kind) + kind.trailer + 1;
}

static_assert(MessageSize(*DumpKindOf(0x40)) == 297);
static_assert(MessageSize(*DumpKindOf(0x4C)) == 37163);
static_assert(MessageSize(*DumpKindOf(0x50)) == 37392);
static_assert(PackedProgramDataSize(*DumpKindOf(0x4C)) == 37157);

// The longest message a reader ever has to look at.
inline constexpr std::size_t kLongestMessage = MessageSize(*DumpKindOf(0x50));

}  // namespace patchferry::syx
