#pragma once
// The frame shared by the Korg SysEx messages this program reads and writes:
//
//   F0  42  3n  model  function  data...  F7
//
// n is the MIDI channel 0..15; the data is in Korg 7-bit packing.

#include <cstddef>
#include <cstdint>

namespace patchferry::korg {

inline constexpr std::uint8_t kSysExStart = 0xF0;
inline constexpr std::uint8_t kSysExEnd = 0xF7;
inline constexpr std::uint8_t kKorgId = 0x42;
inline constexpr std::uint8_t kFormatIdHighNibble = 0x30;
inline constexpr std::size_t kHeaderSize = 5;  // F0, maker, format and channel, model, function

}  // namespace patchferry::korg
