#pragma once
// The fields of one Radias timbre block (228 bytes; block k at program byte 48 + 228 (k - 1)) that
// the conversion writes. Offsets are from the block's start.
//
//   0..15     timbre header: MIDI channel, key range, bend range, portamento time, and fields
//             known only by their position
//   16..27    timbre name, 12 characters
//   28..171   sound parameters: voice, pitch, oscillators, mixer, filter, amplifier, envelopes,
//             LFOs, virtual patches (six slots of three bytes from 102; four are written)
//   172..227  motion sequencer: two settings bytes, then three lanes of 18 bytes
//
// A field that receives an MS2000 parameter is named after that parameter: the Radias has the
// same parameter there. Fields whose meaning we do not know are named by their position
// (kByte34, kByte8Bit7 ...); the comment says what the conversion writes into them. Everything
// not named here keeps the init program's value.

#include <cstddef>

#include "convert/BlockField.h"

namespace patchferry {

inline constexpr std::size_t kRadiasTimbreSize = 228;

using RadiasTimbreField = FieldOf<kRadiasTimbreSize, struct RadiasTimbreTag>;

namespace radias {

consteval RadiasTimbreField Byte(std::size_t offset) {
    return {offset, 0, kHighestBit};
}
consteval RadiasTimbreField Bytes(std::size_t offset, std::size_t count) {
    return {offset, 0, kHighestBit, count};
}

// Timbre header
inline constexpr RadiasTimbreField kByte0Bit7{0, 7};  // set in every converted block; the init
                                                      // program sets it only in block 1
inline constexpr RadiasTimbreField kByte0Bits2To3{0, 2, 3};  // 1 where the arpeggiator plays
inline constexpr RadiasTimbreField kMidiChannel = Byte(4);
inline constexpr RadiasTimbreField kLowestKey = Byte(6);
inline constexpr RadiasTimbreField kHighestKey = Byte(7);
inline constexpr RadiasTimbreField kByte8Bit7{8, 7};         // 1 for an MS2000 Unison timbre
inline constexpr RadiasTimbreField kByte8Bits0To3{8, 0, 3};  // Unison: 2 in Single, 0 otherwise
inline constexpr RadiasTimbreField kUnisonDetune = Byte(9);
inline constexpr RadiasTimbreField kByte10 = Byte(10);  // Unison: 64
inline constexpr RadiasTimbreField kBendRange = Byte(11);
inline constexpr RadiasTimbreField kPortamentoTime = Byte(12);
inline constexpr RadiasTimbreField kName = Bytes(16, 12);

// Voice and pitch
inline constexpr RadiasTimbreField kByte32Bit7{32, 7};  // 1 unless the MS2000 timbre is Mono
inline constexpr RadiasTimbreField kTriggerMode{32, 6};
inline constexpr RadiasTimbreField kKeyPriority{32, 0, 1};
inline constexpr RadiasTimbreField kByte34 = Byte(34);  // always 0
inline constexpr RadiasTimbreField kTranspose = Byte(35);
inline constexpr RadiasTimbreField kTune = Byte(36);
inline constexpr RadiasTimbreField kVibratoIntensity = Byte(37);

// Oscillators
inline constexpr RadiasTimbreField kOsc1Wave{38, 0, 3};
inline constexpr RadiasTimbreField kByte38Bits4To5{38, 4, 5};  // 0 for the MS2000 waves 0..2,
                                                               // 1 for 3 (sine)
inline constexpr RadiasTimbreField kOsc1Control1 = Byte(39);
inline constexpr RadiasTimbreField kOsc1Control2 = Byte(40);
inline constexpr RadiasTimbreField kOsc1DwgsWave = Byte(41);
inline constexpr RadiasTimbreField kOscModulation{43, 4, 5};
inline constexpr RadiasTimbreField kOsc2Wave{43, 0, 1};
inline constexpr RadiasTimbreField kOsc2Semitone = Byte(44);
inline constexpr RadiasTimbreField kOsc2Tune = Byte(45);

// Mixer, filter, amplifier
inline constexpr RadiasTimbreField kOsc1Level = Byte(46);
inline constexpr RadiasTimbreField kOsc2Level = Byte(47);
inline constexpr RadiasTimbreField kNoiseLevel = Byte(48);
inline constexpr RadiasTimbreField kFilterType = Byte(50);
inline constexpr RadiasTimbreField kFilterCutoff = Byte(51);
inline constexpr RadiasTimbreField kFilterResonance = Byte(52);
inline constexpr RadiasTimbreField kFilterEg1Intensity = Byte(53);
inline constexpr RadiasTimbreField kFilterKeyTrack = Byte(54);
inline constexpr RadiasTimbreField kFilterVelocitySense = Byte(55);
inline constexpr RadiasTimbreField kAmpLevel = Byte(61);
inline constexpr RadiasTimbreField kByte62Bits0To1{62, 0, 1};  // distortion on: 1
inline constexpr RadiasTimbreField kByte64 = Byte(64);         // distortion on: 32
inline constexpr RadiasTimbreField kAmpPanpot = Byte(65);
inline constexpr RadiasTimbreField kAmpKeyTrack = Byte(66);
inline constexpr RadiasTimbreField kByte67 = Byte(67);  // always 0

// Envelopes: attack, decay, sustain, release. 72..75 and 80 keep the init program's values.
inline constexpr RadiasTimbreField kEg1 = Bytes(68, 4);
inline constexpr RadiasTimbreField kEg2 = Bytes(76, 4);
inline constexpr RadiasTimbreField kAmpVelocitySense = Byte(81);

// LFOs. The LFO1 wave is a whole byte, the LFO2 wave a four-bit field.
inline constexpr RadiasTimbreField kLfo1Wave = Byte(92);
inline constexpr RadiasTimbreField kLfo1Frequency = Byte(94);
inline constexpr RadiasTimbreField kLfo1TempoSync{95, 7};
inline constexpr RadiasTimbreField kLfo1KeySync{95, 5, 6};
inline constexpr RadiasTimbreField kLfo1SyncNote{96, 0, 4};
inline constexpr RadiasTimbreField kLfo2Wave{97, 0, 3};
inline constexpr RadiasTimbreField kLfo2Frequency = Byte(99);
inline constexpr RadiasTimbreField kLfo2TempoSync{100, 7};
inline constexpr RadiasTimbreField kLfo2KeySync{100, 5, 6};
inline constexpr RadiasTimbreField kLfo2SyncNote{101, 0, 4};

// Virtual patches: slot k at 102 + 3k
consteval RadiasTimbreField PatchSource(std::size_t slot) {
    return Byte(102 + 3 * slot);
}
consteval RadiasTimbreField PatchDestination(std::size_t slot) {
    return Byte(103 + 3 * slot);
}
consteval RadiasTimbreField PatchIntensity(std::size_t slot) {
    return Byte(104 + 3 * slot);
}

// Motion sequencer settings
inline constexpr RadiasTimbreField kSeqOn{172, 7};
inline constexpr RadiasTimbreField kSeqType{172, 4, 5};
inline constexpr RadiasTimbreField kSeqLastStep{172, 0, 3};
inline constexpr RadiasTimbreField kSeqRunMode{173, 7};
inline constexpr RadiasTimbreField kSeqKeySync{173, 4, 5};
inline constexpr RadiasTimbreField kSeqResolution{173, 0, 3};

// Motion sequencer lanes: lane j (0..2) at 174 + 18j, laid out as the MS2000's
inline constexpr std::size_t kSeqLaneSize = 18;
inline constexpr std::size_t kSeqStepCount = 16;
consteval RadiasTimbreField SeqKnob(std::size_t lane) {
    return Byte(174 + kSeqLaneSize * lane);
}
consteval RadiasTimbreField SeqMotionType(std::size_t lane) {
    return {175 + kSeqLaneSize * lane, 7};
}
consteval RadiasTimbreField SeqSteps(std::size_t lane) {
    return Bytes(176 + kSeqLaneSize * lane, kSeqStepCount);
}

}  // namespace radias

static_assert(radias::SeqSteps(2).End() == kRadiasTimbreSize);
static_assert(radias::kName.End() == 28);

}  // namespace patchferry
