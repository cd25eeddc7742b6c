#pragma once
// One Radias program in its 8-bit form, the form the program dump packs and sends.
//
//   bytes 0..11     program name
//   bytes 12..47    program common settings
//   bytes 48..275   timbre block 1 (228 bytes)      block k starts at 48 + 228 * (k - 1)
//   bytes 276..503  timbre block 2
//   bytes 504..731  timbre block 3
//   bytes 732..959  timbre block 4
//   bytes 960..1789 further program settings (tempo and arpeggiator at 1060..1067)

#include <array>
#include <cstddef>
#include <cstdint>

namespace patchferry {

inline constexpr std::size_t kRadiasProgramSize = 1790;

using RadiasProgramImage = std::array<std::uint8_t, kRadiasProgramSize>;

}  // namespace patchferry
