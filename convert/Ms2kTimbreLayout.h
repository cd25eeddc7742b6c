#pragma once
// The fields of one MS2000 timbre (108 bytes; timbre 1 at program byte 38, timbre 2 at 146) that
// the conversion reads. Names follow the timbre parameter table of the MS2000 MIDI implementation
// chart and the names the conversion report uses. Offsets are from the timbre's start.
//
//   0..6     voice: MIDI channel, assign mode, unison detune, tune, bend, transpose, vibrato
//   7..14    oscillators 1 and 2
//   15       portamento time
//   16..29   mixer, filter, amplifier
//   30..37   EG1 (filter), EG2 (amplifier)
//   38..43   LFO1, LFO2
//   44..51   four virtual patches: a selector byte (source, destination) and an intensity each
//   52..107  motion sequencer: two settings bytes, then three lanes of 18 bytes
//
// Not read by the conversion: byte 11, byte 1 bits 2 and 4..5, byte 15 bit 7, byte 27 bits 1..5
// and 7, byte 52 bits 4..5.

#include <cstddef>
#include <cstdint>

#include "convert/BlockField.h"

namespace patchferry {

inline constexpr std::size_t kMs2kTimbreSize = 108;

using Ms2kTimbreField = FieldOf<kMs2kTimbreSize, struct Ms2kTimbreTag>;

namespace ms2k {

consteval Ms2kTimbreField Byte(std::size_t offset) {
    return {offset, 0, kHighestBit};
}
consteval Ms2kTimbreField Bytes(std::size_t offset, std::size_t count) {
    return {offset, 0, kHighestBit, count};
}

// Voice
inline constexpr Ms2kTimbreField kMidiChannel = Byte(0);
inline constexpr Ms2kTimbreField kAssignMode{1, 6, 7};  // 0 Mono, 1 Poly, 2 Unison
inline constexpr Ms2kTimbreField kTriggerMode{1, 3};    // single or multi trigger
inline constexpr Ms2kTimbreField kKeyPriority{1, 0, 1};
inline constexpr Ms2kTimbreField kUnisonDetune = Byte(2);
inline constexpr Ms2kTimbreField kTune = Byte(3);
inline constexpr Ms2kTimbreField kBendRange = Byte(4);
inline constexpr Ms2kTimbreField kTranspose = Byte(5);
inline constexpr Ms2kTimbreField kVibratoIntensity = Byte(6);
inline constexpr Ms2kTimbreField kPortamentoTime{15, 0, 6};
inline constexpr std::uint8_t kAssignModeMono = 0;
inline constexpr std::uint8_t kAssignModeUnison = 2;

// Oscillators
inline constexpr Ms2kTimbreField kOsc1Wave = Byte(7);  // 0..7: Saw .. Vox, DWGS, Noise, Audio In
inline constexpr Ms2kTimbreField kOsc1Control1 = Byte(8);
inline constexpr Ms2kTimbreField kOsc1Control2 = Byte(9);
inline constexpr Ms2kTimbreField kOsc1DwgsWave = Byte(10);
inline constexpr Ms2kTimbreField kOscModulation{12, 4, 5};  // off, ring, sync, ring sync
inline constexpr Ms2kTimbreField kOsc2Wave{12, 0, 1};
inline constexpr Ms2kTimbreField kOsc2Semitone = Byte(13);
inline constexpr Ms2kTimbreField kOsc2Tune = Byte(14);  // 64 is no detune

// Mixer, filter, amplifier
inline constexpr Ms2kTimbreField kOsc1Level = Byte(16);
inline constexpr Ms2kTimbreField kOsc2Level = Byte(17);
inline constexpr Ms2kTimbreField kNoiseLevel = Byte(18);
inline constexpr Ms2kTimbreField kFilterType = Byte(19);  // 0..3: -24 LPF, -12 LPF, BPF, HPF
inline constexpr Ms2kTimbreField kFilterCutoff = Byte(20);
inline constexpr Ms2kTimbreField kFilterResonance = Byte(21);
inline constexpr Ms2kTimbreField kFilterEg1Intensity = Byte(22);
inline constexpr Ms2kTimbreField kFilterVelocitySense = Byte(23);
inline constexpr Ms2kTimbreField kFilterKeyTrack = Byte(24);
inline constexpr Ms2kTimbreField kAmpLevel = Byte(25);
inline constexpr Ms2kTimbreField kAmpPanpot = Byte(26);
inline constexpr Ms2kTimbreField kEg2GateSwitch{27, 6};  // the amplifier follows a gate, not EG2
inline constexpr Ms2kTimbreField kDistortion{27, 0};
inline constexpr Ms2kTimbreField kAmpVelocitySense = Byte(28);
inline constexpr Ms2kTimbreField kAmpKeyTrack = Byte(29);

// Envelopes: attack, decay, sustain, release
inline constexpr Ms2kTimbreField kEg1 = Bytes(30, 4);
inline constexpr Ms2kTimbreField kEg2 = Bytes(34, 4);

// LFOs
inline constexpr Ms2kTimbreField kLfo1Wave{38, 0, 1};
inline constexpr Ms2kTimbreField kLfo1KeySync{38, 4, 5};
inline constexpr Ms2kTimbreField kLfo1Frequency = Byte(39);
inline constexpr Ms2kTimbreField kLfo1TempoSync{40, 7};
inline constexpr Ms2kTimbreField kLfo1SyncNote{40, 0, 4};
inline constexpr Ms2kTimbreField kLfo2Wave{41, 0, 1};
inline constexpr Ms2kTimbreField kLfo2KeySync{41, 4, 5};
inline constexpr Ms2kTimbreField kLfo2Frequency = Byte(42);
inline constexpr Ms2kTimbreField kLfo2TempoSync{43, 7};
inline constexpr Ms2kTimbreField kLfo2SyncNote{43, 0, 4};

// Virtual patches: slot k (0..3) at 44 + 2k, a selector byte and an intensity
inline constexpr std::size_t kPatchSlotCount = 4;
consteval Ms2kTimbreField PatchSource(std::size_t slot) {
    return {44 + 2 * slot, 0, 3};
}
consteval Ms2kTimbreField PatchDestination(std::size_t slot) {
    return {44 + 2 * slot, 4, 7};
}
consteval Ms2kTimbreField PatchIntensity(std::size_t slot) {
    return Byte(45 + 2 * slot);
}

// Motion sequencer settings
inline constexpr Ms2kTimbreField kSeqOn{52, 7};
inline constexpr Ms2kTimbreField kSeqRunMode{52, 6};  // one shot or loop
inline constexpr Ms2kTimbreField kSeqResolution{52, 0, 3};
inline constexpr Ms2kTimbreField kSeqLastStep{53, 4, 7};
inline constexpr Ms2kTimbreField kSeqType{53, 2, 3};
inline constexpr Ms2kTimbreField kSeqKeySync{53, 0, 1};

// Motion sequencer lanes: lane j (0..2) at 54 + 18j
inline constexpr std::size_t kSeqLaneCount = 3;
inline constexpr std::size_t kSeqLaneSize = 18;
inline constexpr std::size_t kSeqStepCount = 16;
consteval Ms2kTimbreField SeqKnob(std::size_t lane) {
    return Byte(54 + kSeqLaneSize * lane);
}
consteval Ms2kTimbreField SeqMotionType(std::size_t lane) {
    return {55 + kSeqLaneSize * lane, 0};
}
consteval Ms2kTimbreField SeqSteps(std::size_t lane) {
    return Bytes(56 + kSeqLaneSize * lane, kSeqStepCount);
}

}  // namespace ms2k

static_assert(ms2k::SeqSteps(ms2k::kSeqLaneCount - 1).End() == kMs2kTimbreSize);
static_assert(ms2k::PatchIntensity(ms2k::kPatchSlotCount - 1).End() == ms2k::kSeqOn.bits.offset);

}  // namespace patchferry
