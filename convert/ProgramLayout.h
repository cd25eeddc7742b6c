#pragma once
// Where the conversion finds the regions of the two program images.
//
// MS2000 program (254 bytes)                Radias program (1790 bytes)
//   0..11    program name                     0..11     program name
//   16       b4..5 voice mode                 18        b0, b1: timbres in use, b4: vocoder
//   18       split point (key)                48..275   timbre block 1
//   30, 31   tempo, high byte first           276..503  timbre block 2
//   32..36   arpeggiator                      504..959  timbre blocks 3 and 4 (never written)
//   38..145  timbre 1 (108 bytes), or the     960..1005 vocoder block
//            vocoder area of a Vocoder        1060..1061 tempo in tenths, low byte first
//            program                          1062..1067 arpeggiator
//   146..253 timbre 2 (108 bytes)
//
// The fields inside the timbres: Ms2kTimbreLayout.h and RadiasTimbreLayout.h; inside the vocoder
// area and block: Ms2kVocoderLayout.h and RadiasVocoderLayout.h.

#include <cstddef>

#include "convert/Ms2kTimbreLayout.h"
#include "convert/RadiasProgramImage.h"
#include "convert/RadiasTimbreLayout.h"
#include "convert/RadiasVocoderLayout.h"
#include "library/Ms2kProgramImage.h"

namespace patchferry {

inline constexpr std::size_t kMs2kTimbre1Offset = 38;
inline constexpr std::size_t kMs2kTimbre2Offset = kMs2kTimbre1Offset + kMs2kTimbreSize;

inline constexpr std::size_t kRadiasNameOffset = 0;
inline constexpr std::size_t kRadiasNameLength = 12;
inline constexpr std::size_t kRadiasTimbreCount = 4;
inline constexpr std::size_t kRadiasTimbre1Offset = 48;

constexpr std::size_t RadiasTimbreOffset(std::size_t timbre /* 1..4 */) {
    return kRadiasTimbre1Offset + kRadiasTimbreSize * (timbre - 1);
}

static_assert(kMs2kTimbre2Offset + kMs2kTimbreSize == kMs2kProgramSize);
static_assert(RadiasTimbreOffset(kRadiasTimbreCount + 1) == kRadiasVocoderOffset);
static_assert(RadiasTimbreOffset(2) == 276 && RadiasTimbreOffset(3) == 504);
static_assert(kRadiasNameLength == kMs2kNameLength);
static_assert(radias::kName.count == kMs2kNameLength);

}  // namespace patchferry
