#pragma once
// The decisions of the timbre conversion table (TimbreConversion.cpp): every step that decides
// something other than a plain move or mapping (a condition, a report entry, arithmetic). The
// vocoder's carrier table (VocoderConversion.cpp) runs several of them over the vocoder area,
// whose fields they read lie where a synth timbre has them (see Ms2kVocoderLayout.h).

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "convert/ProgramLayout.h"
#include "convert/TimbreStep.h"

namespace patchferry::timbre {

// The byte of `field` as the init program has it, for a decision that is the only step of its
// table to write that byte (the tables check this while compiling): the image's byte has only
// just been copied from the init program, and reading it back can wait for the copy to land.
inline std::uint8_t FreshByte(const TimbreScope& s, const RadiasTimbreField& field) {
    return s.init[field.bits.offset];
}

// The decisions are declared inline: each has one call, in the runner, but the table also holds
// its address, and without the hint GCC keeps most of them as calls.

// --- timbre header

// The program name with its 12th character replaced by the timbre digit. (memcpy, which becomes
// two moves; std::copy_n of these 12 bytes would call memmove.)
inline void WriteName(const TimbreScope& s) {
    const auto name = s.r.subspan(radias::kName.bits.offset, radias::kName.count);
    std::memcpy(name.data(), s.program.data() + kMs2kNameOffset, radias::kName.count);
    name.back() = s.timbre == 1 ? '1' : '2';
}

// The MS2000 arpeggiator drives both timbres (0) or one of them (1 or 2).
inline constexpr BitField kArpeggiatorTimbres{32, 4, 5};

inline void MarkArpeggiatorTimbre(const TimbreScope& s) {
    const std::uint8_t timbres = GetBits(s.program, kArpeggiatorTimbres);
    if (timbres == 0 || timbres == s.timbre) {
        Write(s.r, radias::kByte0Bits2To3, 1);
    }
}

inline void WriteUnison(const TimbreScope& s) {
    if (Read(s.m, ms2k::kAssignMode) != ms2k::kAssignModeUnison) {
        return;
    }
    // 2 where the program plays one timbre: Single, and a Vocoder program's carrier.
    const bool twoTimbres = s.mode == VoiceMode::Split || s.mode == VoiceMode::Dual;
    const std::uint8_t byte =
        WithBits(FreshByte(s, radias::kByte8Bit7), radias::kByte8Bit7.bits, 1);
    s.r[radias::kByte8Bit7.bits.offset] =
        WithBits(byte, radias::kByte8Bits0To3.bits, twoTimbres ? 0 : 2);
    Write(s.r, radias::kUnisonDetune, Read(s.m, ms2k::kUnisonDetune));
    Write(s.r, radias::kByte10, 64);
}

// A Split program plays timbre 1 below the split point and timbre 2 from it up. The top key of
// timbre 1 is 8-bit arithmetic: a split point of 0 gives 255.
inline constexpr std::size_t kSplitPoint = 18;  // in the MS2000 program
inline constexpr std::uint8_t kTopKey = 127;

inline void WriteSplitKeyRange(const TimbreScope& s) {
    if (s.mode != VoiceMode::Split) {
        return;
    }
    const std::uint8_t split = s.program[kSplitPoint];
    const bool first = s.timbre == 1;
    Write(s.r, radias::kLowestKey, first ? 0 : split);
    Write(s.r, radias::kHighestKey, first ? static_cast<std::uint8_t>(split - 1U) : kTopKey);
}

// 1 unless the timbre is Mono (0); Poly and Unison (and the unused 3) play several voices. A
// mapping rather than a decision: the table then takes the byte's other bits from the init
// program instead of reading back what the copy of it has only just written.
constexpr std::uint8_t MapPolyphonic(std::uint8_t assignMode) {
    return assignMode != ms2k::kAssignModeMono ? 1 : 0;
}

// --- oscillators

// OSC1 wave -> Radias wave and bits 4..5 of its byte; an empty cell keeps the bits.
struct Osc1WaveCell {
    std::optional<std::uint8_t> wave;
    std::optional<std::uint8_t> high;
    std::string_view approximation;
};
inline constexpr std::optional<std::uint8_t> kKeep;
// clang-format off
inline constexpr std::array<Osc1WaveCell, 8> kOsc1Wave = {{
    // wave  b4..5  report           MS2000 wave
    {0,      0,     {}},          // saw
    {1,      0,     {}},          // pulse
    {2,      0,     {}},          // triangle
    {3,      1,     {}},          // sine
    {5,      kKeep, "OSC1 Vox"},  // vox
    {6,      kKeep, "OSC1 DWGS"}, // DWGS
    {4,      kKeep, {}},          // noise
    {8,      kKeep, {}},          // audio in; waves beyond keep the byte as it is
}};
// clang-format on

inline void ConvertOsc1Wave(const TimbreScope& s) {
    const std::uint8_t wave = Read(s.m, ms2k::kOsc1Wave);
    if (wave >= kOsc1Wave.size()) {
        return;
    }
    const Osc1WaveCell& cell = kOsc1Wave[wave];
    std::uint8_t byte = FreshByte(s, radias::kOsc1Wave);
    if (cell.wave) {
        byte = WithBits(byte, radias::kOsc1Wave.bits, *cell.wave);
    }
    if (cell.high) {
        byte = WithBits(byte, radias::kByte38Bits4To5.bits, *cell.high);
    }
    s.r[radias::kOsc1Wave.bits.offset] = byte;
    if (!cell.approximation.empty()) {
        s.report.AddApproximation(cell.approximation);
    }
}

// OSC2 tune is copied unchanged; off centre the Radias detunes differently.
inline constexpr std::uint8_t kOsc2TuneCentre = 64;

inline void ReportOsc2Tune(const TimbreScope& s) {
    if (Read(s.m, ms2k::kOsc2Tune) != kOsc2TuneCentre) {
        s.report.AddApproximation("OSC2 tune");
    }
}

// --- mixer, filter, amplifier

// MS2000 filter type -> Radias filter type; not in rising order. Types beyond keep the byte.
inline constexpr std::array<std::uint8_t, 4> kFilterType = {0, 31, 95, 63};

inline void ConvertFilterType(const TimbreScope& s) {
    const std::uint8_t type = Read(s.m, ms2k::kFilterType);
    if (type < kFilterType.size()) {
        Write(s.r, radias::kFilterType, kFilterType[type]);
    }
}

// The Radias amplifier has no gate switch: nothing is written.
inline void ReportEg2Gate(const TimbreScope& s) {
    if (Read(s.m, ms2k::kEg2GateSwitch) == 1) {
        s.report.AddApproximation("EG2/Gate switch");
    }
}

// The distortion switch lies elsewhere in a synth timbre and in the vocoder area.
template <const auto& DistortionSwitch>
inline void ConvertDistortion(const TimbreScope& s) {
    if (Read(s.m, DistortionSwitch) == 1) {
        s.r[radias::kByte62Bits0To1.bits.offset] =
            WithBits(FreshByte(s, radias::kByte62Bits0To1), radias::kByte62Bits0To1.bits, 1);
        Write(s.r, radias::kByte64, 32);
        s.report.AddApproximation("Distortion switch");
    }
}

}  // namespace patchferry::timbre
