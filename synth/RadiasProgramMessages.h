#pragma once
// The Radias's messages for the programs in its memory, each naming a slot by its address (see
// RadiasFacts.h for where they come from):
//
//   PROGRAM DATA DUMP REQUEST   F0 42 3g 72 1C nn hh F7
//   PROGRAM DATA DUMP           F0 42 3g 72 4C nn hh <the program, 2046 packed bytes> F7
//
// nn is the program's number in its half (0..127), hh the half (0 for A01..H16, 1 for I01..P16).
// The dump is 2054 bytes. A backup file holds such dumps one after the other and nothing else.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "convert/RadiasProgramImage.h"
#include "library/KorgSysEx.h"
#include "synth/ProgramDump.h"
#include "synth/RadiasFacts.h"

namespace patchferry::synth {

inline constexpr std::size_t kStoredProgramDumpSize =
    korg::kHeaderSize + radias::kAddressSize + radias_dump::kPackedSize + 1;
static_assert(kStoredProgramDumpSize == 2054);

using ProgramDumpRequest = std::array<std::uint8_t, korg::kHeaderSize + radias::kAddressSize + 1>;

// The request for `slot` (0..255) on `channel` (0..15).
ProgramDumpRequest ProgramDumpRequestFor(int slot, int channel);

using StoredProgramDump = std::array<std::uint8_t, kStoredProgramDumpSize>;

// The dump that stores `image` into `slot` (0..255), on `channel` (0..15).
StoredProgramDump BuildStoredProgramDump(const RadiasProgramImage& image, int slot, int channel);
// The same dump on another channel: `dump` with its channel byte rewritten.
StoredProgramDump OnChannel(std::span<const std::uint8_t, kStoredProgramDumpSize> dump,
                            int channel);

// Bytes a Radias may change in a program it stores, left out when a program read back is
// compared with the one written, by their offset in the dump. None is known: the whole dump must
// come back as it went.
inline constexpr std::array<std::size_t, 0> kRewrittenOffsets{};

// Whether `readBack` holds the program `written` stored, the rewritten bytes left out; the offset
// of the first difference otherwise.
std::optional<std::size_t> FirstDifference(std::span<const std::uint8_t> written,
                                           std::span<const std::uint8_t> readBack);

// The slot a whole Radias program dump with its address names, on any channel; nothing for any
// other message.
std::optional<int> StoredProgramSlot(std::span<const std::uint8_t> message);

// The number of whole program dumps with their address that make up `bytes` exactly, one after
// the other; nothing when anything else is there.
std::optional<std::size_t> CountStoredProgramDumps(std::span<const std::uint8_t> bytes);

}  // namespace patchferry::synth
