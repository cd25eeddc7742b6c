#pragma once
// One MS2000 program as it unpacks from a SysEx dump: 254 plain 8-bit bytes.
//
//   bytes 0..11    program name (no terminator)
//   byte  16       bits 4..5: voice mode (0 Single, 1 Split, 2 Dual, 3 Vocoder)
//   bytes 38..145  timbre 1 (108 bytes)
//   bytes 146..253 timbre 2 (108 bytes)

#include <array>
#include <cstddef>
#include <cstdint>

namespace patchferry {

inline constexpr std::size_t kMs2kProgramSize = 254;
inline constexpr std::size_t kMs2kNameOffset = 0;
inline constexpr std::size_t kMs2kNameLength = 12;
inline constexpr std::size_t kMs2kVoiceModeOffset = 16;
inline constexpr unsigned kMs2kVoiceModeLowBit = 4;
inline constexpr unsigned kMs2kVoiceModeHighBit = 5;

using Ms2kProgramImage = std::array<std::uint8_t, kMs2kProgramSize>;

enum class VoiceMode : std::uint8_t { Single = 0, Split = 1, Dual = 2, Vocoder = 3 };

constexpr VoiceMode VoiceModeOf(const Ms2kProgramImage& image) {
    return static_cast<VoiceMode>((image[kMs2kVoiceModeOffset] >> kMs2kVoiceModeLowBit) & 0x3U);
}

}  // namespace patchferry
