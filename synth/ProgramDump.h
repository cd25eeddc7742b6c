#pragma once
// The Radias current-program dump: one SysEx message that carries a whole program.
//
//   offset 0       F0         start of System Exclusive
//   offset 1       42         Korg
//   offset 2       3n         format ID 3, MIDI channel n (0..15)
//   offset 3       72         Radias
//   offset 4       40         current-program dump
//   offset 5..2050 the 1790-byte program in Korg 7-bit packing (2046 bytes)
//   offset 2051    F7         end of System Exclusive

#include <array>
#include <cstddef>
#include <cstdint>

#include "convert/RadiasProgramImage.h"
#include "library/KorgPacking.h"
#include "library/KorgSysEx.h"

namespace patchferry {

namespace radias_dump {
using korg::kFormatIdHighNibble;
using korg::kHeaderSize;
using korg::kKorgId;
using korg::kSysExEnd;
using korg::kSysExStart;
inline constexpr std::uint8_t kRadiasModelId = 0x72;
inline constexpr std::uint8_t kCurrentProgramDump = 0x40;
inline constexpr int kChannelCount = 16;
inline constexpr std::size_t kPackedSize = KorgPackedSize(kRadiasProgramSize);
}  // namespace radias_dump

inline constexpr std::size_t kProgramDumpSize =
    radias_dump::kHeaderSize + radias_dump::kPackedSize + 1;
static_assert(kProgramDumpSize == 2052);

using ProgramDump = std::array<std::uint8_t, kProgramDumpSize>;

// The dump of `image` for MIDI channel `channel` (0..15). Throws std::invalid_argument for any
// other channel: a wrong channel is the caller's fault and is never folded into a valid one.
ProgramDump BuildProgramDump(const RadiasProgramImage& image, int channel);

}  // namespace patchferry
