#pragma once
// Where the conversion finds the regions of the two program images.
//
// MS2000 program (254 bytes)                Radias program (1790 bytes)
//   0..11    program name                     0..11     program name
//   16       b4..5 voice mode                 18        b0, b1: timbres in use
//   18       split point (key)                48..275   timbre block 1
//   30, 31   tempo, high byte first           276..503  timbre block 2
//   32..36   arpeggiator                      504..959  timbre blocks 3 and 4 (never written)
//   38..145  timbre 1 (108 bytes)             1060..1061 tempo in tenths, low byte first
//   146..253 timbre 2 (108 bytes)             1062..1067 arpeggiator
//
// Radias timbre block (228 bytes), offsets from the block start:
//   +0..+15   header (+6, +7 lowest and highest key)
//   +16..+27  timbre name, 12 characters
//   +28..+171 sound parameters
//   +172..+227 sequence region: two settings bytes, then three lanes of 18 bytes
//              (knob assignment, lane settings, 16 step values)

#include <cstddef>
#include <cstdint>

#include "convert/RadiasProgramImage.h"
#include "library/Ms2kProgramImage.h"

namespace patchferry {

inline constexpr std::size_t kMs2kTimbreSize = 108;
inline constexpr std::size_t kMs2kTimbre1Offset = 38;
inline constexpr std::size_t kMs2kTimbre2Offset = kMs2kTimbre1Offset + kMs2kTimbreSize;

inline constexpr std::size_t kRadiasNameOffset = 0;
inline constexpr std::size_t kRadiasNameLength = 12;
inline constexpr std::size_t kRadiasTimbreCount = 4;
inline constexpr std::size_t kRadiasTimbreSize = 228;
inline constexpr std::size_t kRadiasTimbre1Offset = 48;
inline constexpr std::size_t kRadiasTimbreNameOffset = 16;  // within a block
inline constexpr std::size_t kRadiasTimbreNameLength = 12;
inline constexpr std::size_t kRadiasSequenceOffset = 172;  // within a block
inline constexpr std::size_t kSequenceSettingsSize = 2;
inline constexpr std::size_t kSequenceLaneCount = 3;
inline constexpr std::size_t kSequenceLaneSize = 18;  // knob, lane settings, 16 steps
inline constexpr std::size_t kSequenceSteps = 16;

constexpr std::size_t RadiasTimbreOffset(std::size_t timbre /* 1..4 */) {
    return kRadiasTimbre1Offset + kRadiasTimbreSize * (timbre - 1);
}

static_assert(kMs2kTimbre2Offset + kMs2kTimbreSize == kMs2kProgramSize);
static_assert(RadiasTimbreOffset(kRadiasTimbreCount + 1) == 960);
static_assert(RadiasTimbreOffset(2) == 276 && RadiasTimbreOffset(3) == 504);
static_assert(kRadiasTimbreNameOffset + kRadiasTimbreNameLength <= 28);
static_assert(kRadiasSequenceOffset + kSequenceSettingsSize +
                  kSequenceLaneCount * kSequenceLaneSize ==
              kRadiasTimbreSize);
static_assert(2 + kSequenceSteps == kSequenceLaneSize);
static_assert(kRadiasNameLength == kMs2kNameLength);

}  // namespace patchferry
