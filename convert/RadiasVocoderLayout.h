#pragma once
// The Radias program's vocoder block (46 bytes at program byte 960, after the four timbre
// blocks), with the fields the conversion writes or keeps. Offsets are from the block's start
// (program byte 960 + offset).
//
//   0        b7 vocoder on, b6 modulator source, b5 HPF gate, b4 unknown, b0..3 input selections
//   1..4     gate sense, threshold, HPF level, direct level
//   5, 6     input levels (which input each one sets is not known)
//   7        vocoder level
//   8..39    bands 1..16: a pan byte, then a level byte (init program: pans 00 and 7F in turn,
//            levels 7F)
//   40       b4..6 formant shift, b0..3 fc mod source
//   41..44   cutoff offset (64 none), resonance, fc mod intensity (64 none), E.F. sense
//   45       b0..1 the carrier's timbre (init program: 1, timbre 1)
//
// Where these facts come from, and what stays unverified. The offsets were taken from a public
// Radias parameter library and the published implementation of a synth with the Radias's engine,
// and they agree with the init program (the band pattern above; bytes 41..45 hold 40 14 40 1E
// 01). The Radias's own MIDI implementation (revision 1.0, 2005) could not be read where it lists
// the program's bytes. Not confirmed by any source:
//   - the formant shift codes for -1 and -2 (0, +1 and +2 are taken to be 0, 1 and 2);
//   - the fc mod source list (taken from a public decoding of Radias programs: EG1..EG3,
//     LFO1, LFO2, velocity, pitch bend, -, keyboard track), and whose EG or LFO the vocoder's
//     cutoff follows;
//   - which input levels bytes 5 and 6 set, and the codes of the input selections and of the
//     modulator source (the conversion keeps the init program's);
//   - which switch turns the vocoder on: bit 7 here, or bit 4 of program byte 18 beside the
//     timbre switches; the conversion sets both (bit 4 here, set in the init program, is kept);
//   - that E.F. sense 127 means Hold, as it does on the MS2000 and its relatives.
// The verdict names each of these wherever it matters for the program.

#include <cstddef>
#include <cstdint>

#include "convert/BlockField.h"

namespace patchferry {

inline constexpr std::size_t kRadiasVocoderOffset = 960;
inline constexpr std::size_t kRadiasVocoderSize = 46;

using RadiasVocoderField = FieldOf<kRadiasVocoderSize, struct RadiasVocoderTag>;

namespace radias::vocoder {

consteval RadiasVocoderField Byte(std::size_t offset) {
    return {offset, 0, kHighestBit};
}

inline constexpr RadiasVocoderField kOn{0, 7};
inline constexpr RadiasVocoderField kModulatorSource{0, 6};
inline constexpr RadiasVocoderField kHpfGate{0, 5};
inline constexpr RadiasVocoderField kByte0Bit4{0, 4};
inline constexpr RadiasVocoderField kInputSelections{0, 0, 3};
inline constexpr RadiasVocoderField kGateSense = Byte(1);
inline constexpr RadiasVocoderField kThreshold = Byte(2);
inline constexpr RadiasVocoderField kHpfLevel = Byte(3);
inline constexpr RadiasVocoderField kDirectLevel = Byte(4);
inline constexpr RadiasVocoderField kInputLevel1 = Byte(5);
inline constexpr RadiasVocoderField kInputLevel2 = Byte(6);
inline constexpr RadiasVocoderField kLevel = Byte(7);

inline constexpr std::size_t kBandCount = 16;
consteval RadiasVocoderField BandPan(std::size_t band /* 0..15 */) {
    return Byte(8 + 2 * band);
}
consteval RadiasVocoderField BandLevel(std::size_t band /* 0..15 */) {
    return Byte(9 + 2 * band);
}

inline constexpr RadiasVocoderField kFormantShift{40, 4, 6};
inline constexpr RadiasVocoderField kFcModSource{40, 0, 3};
inline constexpr RadiasVocoderField kCutoffOffset = Byte(41);
inline constexpr RadiasVocoderField kResonance = Byte(42);
inline constexpr RadiasVocoderField kFcModIntensity = Byte(43);
inline constexpr RadiasVocoderField kEfSense = Byte(44);
inline constexpr RadiasVocoderField kCarrierTimbre{45, 0, 1};
inline constexpr std::uint8_t kCarrierTimbre1 = 1;

}  // namespace radias::vocoder

static_assert(radias::vocoder::BandLevel(radias::vocoder::kBandCount - 1).End() ==
              radias::vocoder::kFormantShift.bits.offset);
static_assert(radias::vocoder::kCarrierTimbre.End() == kRadiasVocoderSize);

}  // namespace patchferry
