#pragma once
// The fields of an MS2000 Vocoder program that the conversion reads. They lie in the area that
// holds timbre 1 in the other voice modes (program bytes 38..145), and offsets are from its start
// as they are for a timbre, but from byte 11 on the layout is the vocoder's own:
//
//   0..10    voice and OSC1, as a synth timbre's: MIDI channel, assign mode, unison detune,
//            tune, bend range, transpose, vibrato, OSC1 wave and controls, DWGS wave
//   12       bit 0: HPF gate
//   14       portamento time
//   15..18   carrier mixer: OSC1 level, Inst level (audio in 1), noise level; HPF level
//   19..28   vocoder: gate sense, threshold, formant shift, cutoff offset, resonance, fc mod
//            source and intensity, E.F. sense, vocoder level, direct level
//   29..31   amplifier: distortion (bit 0), velocity sense, key track
//   32..39   EG1, EG2 (attack, decay, sustain, release)
//   40..45   LFO1, LFO2, as a synth timbre's LFO bytes
//   46..61   level of channel (band) 1..16
//   62..77   pan of channel 1..16, 64 the centre
//   78..107  not used
//
// A microKORG writes the same layout with an 8-channel vocoder: its 16 level and 16 pan bytes
// hold each channel's value twice, side by side, and its fc mod source counts the microKORG's own
// list. Nothing in a file says which synth made it; such programs read as the MS2000's.

#include <cstddef>
#include <cstdint>

#include "convert/BlockField.h"
#include "convert/Ms2kTimbreLayout.h"

namespace patchferry {

using Ms2kVocoderField = FieldOf<kMs2kTimbreSize, struct Ms2kVocoderTag>;

namespace ms2k::vocoder {

consteval Ms2kVocoderField Byte(std::size_t offset) {
    return {offset, 0, kHighestBit};
}
consteval Ms2kVocoderField Bytes(std::size_t offset, std::size_t count) {
    return {offset, 0, kHighestBit, count};
}

// Voice and OSC1, where a synth timbre has them
inline constexpr Ms2kVocoderField kMidiChannel = Byte(0);
inline constexpr Ms2kVocoderField kAssignMode{1, 6, 7};
inline constexpr Ms2kVocoderField kTriggerMode{1, 3};
inline constexpr Ms2kVocoderField kKeyPriority{1, 0, 1};
inline constexpr Ms2kVocoderField kUnisonDetune = Byte(2);
inline constexpr Ms2kVocoderField kTune = Byte(3);
inline constexpr Ms2kVocoderField kBendRange = Byte(4);
inline constexpr Ms2kVocoderField kTranspose = Byte(5);
inline constexpr Ms2kVocoderField kVibratoIntensity = Byte(6);
inline constexpr Ms2kVocoderField kOsc1Wave = Byte(7);
inline constexpr Ms2kVocoderField kOsc1Control1 = Byte(8);
inline constexpr Ms2kVocoderField kOsc1Control2 = Byte(9);
inline constexpr Ms2kVocoderField kOsc1DwgsWave = Byte(10);

// Carrier and modulator
inline constexpr Ms2kVocoderField kHpfGate{12, 0};
inline constexpr Ms2kVocoderField kPortamentoTime{14, 0, 6};
inline constexpr Ms2kVocoderField kOsc1Level = Byte(15);
inline constexpr Ms2kVocoderField kInstLevel = Byte(16);  // audio in 1 into the carrier
inline constexpr Ms2kVocoderField kNoiseLevel = Byte(17);
inline constexpr Ms2kVocoderField kHpfLevel = Byte(18);
inline constexpr Ms2kVocoderField kGateSense = Byte(19);
inline constexpr Ms2kVocoderField kThreshold = Byte(20);
inline constexpr Ms2kVocoderField kFormantShift = Byte(21);  // 0..4: 0, +1, +2, -1, -2
inline constexpr Ms2kVocoderField kCutoffOffset = Byte(22);  // 64 is no offset
inline constexpr Ms2kVocoderField kResonance = Byte(23);
inline constexpr Ms2kVocoderField kFcModSource = Byte(24);     // 0..7, see the vocoder table
inline constexpr Ms2kVocoderField kFcModIntensity = Byte(25);  // 64 is none
inline constexpr Ms2kVocoderField kEfSense = Byte(26);         // 127 is Hold
inline constexpr Ms2kVocoderField kVocoderLevel = Byte(27);
inline constexpr Ms2kVocoderField kDirectLevel = Byte(28);

// Amplifier and envelopes
inline constexpr Ms2kVocoderField kDistortion{29, 0};
inline constexpr Ms2kVocoderField kAmpVelocitySense = Byte(30);
inline constexpr Ms2kVocoderField kAmpKeyTrack = Byte(31);
inline constexpr Ms2kVocoderField kEg1 = Bytes(32, 4);
inline constexpr Ms2kVocoderField kEg2 = Bytes(36, 4);

// LFOs
inline constexpr Ms2kVocoderField kLfo1Wave{40, 0, 1};
inline constexpr Ms2kVocoderField kLfo1KeySync{40, 4, 5};
inline constexpr Ms2kVocoderField kLfo1Frequency = Byte(41);
inline constexpr Ms2kVocoderField kLfo1TempoSync{42, 7};
inline constexpr Ms2kVocoderField kLfo1SyncNote{42, 0, 4};
inline constexpr Ms2kVocoderField kLfo2Wave{43, 0, 1};
inline constexpr Ms2kVocoderField kLfo2KeySync{43, 4, 5};
inline constexpr Ms2kVocoderField kLfo2Frequency = Byte(44);
inline constexpr Ms2kVocoderField kLfo2TempoSync{45, 7};
inline constexpr Ms2kVocoderField kLfo2SyncNote{45, 0, 4};

// Channels (bands) 1..16
inline constexpr std::size_t kChannelCount = 16;
consteval Ms2kVocoderField ChannelLevel(std::size_t channel /* 0..15 */) {
    return Byte(46 + channel);
}
consteval Ms2kVocoderField ChannelPan(std::size_t channel /* 0..15 */) {
    return Byte(62 + channel);
}

}  // namespace ms2k::vocoder

// The decisions that the vocoder's carrier shares with the timbre conversion read the synth
// timbre's fields: these must lie on the same bits in the vocoder area.
constexpr bool SameBits(const BlockField& a, const BlockField& b) {
    return a.bits.offset == b.bits.offset && a.bits.low == b.bits.low &&
           a.bits.high == b.bits.high && a.count == b.count;
}
static_assert(SameBits(ms2k::vocoder::kAssignMode, ms2k::kAssignMode));
static_assert(SameBits(ms2k::vocoder::kUnisonDetune, ms2k::kUnisonDetune));
static_assert(SameBits(ms2k::vocoder::kOsc1Wave, ms2k::kOsc1Wave));
static_assert(ms2k::vocoder::ChannelPan(ms2k::vocoder::kChannelCount - 1).End() == 78);

}  // namespace patchferry
