#pragma once
// The bytes of the MIDI wire that matter to reading System Exclusive messages from an input.
//
//   80..EF  channel messages (status byte, then data bytes 00..7F)
//   F0      start of System Exclusive, data bytes follow, ended by F7
//   F1..F6  system common messages; any status byte other than a real-time one ends a SysEx
//   F7      end of System Exclusive
//   F8..FF  real-time messages: one byte each, allowed anywhere, even inside a SysEx
//           (F8 clock, FA start, FC stop, FE active sensing every 300 ms, FF reset)

#include <cstdint>

namespace patchferry::midi {

inline constexpr std::uint8_t kStatusBit = 0x80;
inline constexpr std::uint8_t kFirstRealTime = 0xF8;

constexpr bool IsStatus(std::uint8_t byte) {
    return (byte & kStatusBit) != 0;
}
constexpr bool IsRealTime(std::uint8_t byte) {
    return byte >= kFirstRealTime;
}

static_assert(!IsStatus(0x7F) && IsStatus(0x80) && IsRealTime(0xFE) && !IsRealTime(0xF7));

}  // namespace patchferry::midi
