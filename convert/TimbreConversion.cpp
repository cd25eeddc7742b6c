// One MS2000 timbre (108 bytes, m below) into one Radias timbre block (228 bytes, r below).
//
// The conversion is the table at the end of this file, run from top to bottom over a block that
// holds the init program's values. Plain moves and value mappings are rows of the table; every
// step that decides something else (a condition, a report entry, arithmetic) is a small function
// above it. Steps report in table order. No two steps write the same bit, and whatever no step
// names keeps the init program's value.

#include "convert/TimbreConversion.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "convert/ProgramConverter.h"
#include "convert/ProgramLayout.h"
#include "convert/ValueMappings.h"

namespace patchferry {
namespace {

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
constexpr BitField kArpeggiatorTimbres{32, 4, 5};

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
    Write(s.r, radias::kByte8Bit7, 1);
    Write(s.r, radias::kByte8Bits0To3, s.mode == VoiceMode::Single ? 2 : 0);
    Write(s.r, radias::kUnisonDetune, Read(s.m, ms2k::kUnisonDetune));
    Write(s.r, radias::kByte10, 64);
}

// A Split program plays timbre 1 below the split point and timbre 2 from it up. The top key of
// timbre 1 is 8-bit arithmetic: a split point of 0 gives 255.
constexpr std::size_t kSplitPoint = 18;  // in the MS2000 program
constexpr std::uint8_t kTopKey = 127;

inline void WriteSplitKeyRange(const TimbreScope& s) {
    if (s.mode != VoiceMode::Split) {
        return;
    }
    const std::uint8_t split = s.program[kSplitPoint];
    const bool first = s.timbre == 1;
    Write(s.r, radias::kLowestKey, first ? 0 : split);
    Write(s.r, radias::kHighestKey, first ? static_cast<std::uint8_t>(split - 1U) : kTopKey);
}

inline void MarkPolyphonic(const TimbreScope& s) {
    Write(s.r, radias::kByte32Bit7, Read(s.m, ms2k::kAssignMode) != ms2k::kAssignModeMono ? 1 : 0);
}

// --- oscillators

// OSC1 wave -> Radias wave and bits 4..5 of its byte; an empty cell keeps the bits.
struct Osc1WaveCell {
    std::optional<std::uint8_t> wave;
    std::optional<std::uint8_t> high;
    std::string_view approximation;
};
constexpr std::optional<std::uint8_t> kKeep;
// clang-format off
constexpr std::array<Osc1WaveCell, 8> kOsc1Wave = {{
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
    if (cell.wave) {
        Write(s.r, radias::kOsc1Wave, *cell.wave);
    }
    if (cell.high) {
        Write(s.r, radias::kByte38Bits4To5, *cell.high);
    }
    if (!cell.approximation.empty()) {
        s.report.AddApproximation(cell.approximation);
    }
}

// OSC2 tune is copied unchanged; off centre the Radias detunes differently.
constexpr std::uint8_t kOsc2TuneCentre = 64;

inline void ReportOsc2Tune(const TimbreScope& s) {
    if (Read(s.m, ms2k::kOsc2Tune) != kOsc2TuneCentre) {
        s.report.AddApproximation("OSC2 tune");
    }
}

// --- mixer, filter, amplifier

// MS2000 filter type -> Radias filter type; not in rising order. Types beyond keep the byte.
constexpr std::array<std::uint8_t, 4> kFilterType = {0, 31, 95, 63};

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

inline void ConvertDistortion(const TimbreScope& s) {
    if (Read(s.m, ms2k::kDistortion) == 1) {
        Write(s.r, radias::kByte62Bits0To1, 1);
        Write(s.r, radias::kByte64, 32);
        s.report.AddApproximation("Distortion switch");
    }
}

// clang-format off
constexpr auto kSteps = std::to_array<TimbreStep>({
    // Timbre header
    Decide(&WriteName, {radias::kName}),
    Set(radias::kByte0Bit7, 1),
    Decide(&MarkArpeggiatorTimbre, {radias::kByte0Bits2To3}),
    Copy(ms2k::kMidiChannel, radias::kMidiChannel),
    Decide(&WriteUnison, {radias::kByte8Bit7, radias::kByte8Bits0To3, radias::kUnisonDetune,
                          radias::kByte10}),
    Decide(&WriteSplitKeyRange, {radias::kLowestKey, radias::kHighestKey}),
    Copy(ms2k::kBendRange, radias::kBendRange),
    Copy(ms2k::kPortamentoTime, radias::kPortamentoTime),
    // Voice and pitch
    Decide(&MarkPolyphonic, {radias::kByte32Bit7}),
    Copy(ms2k::kTriggerMode, radias::kTriggerMode),
    Copy(ms2k::kKeyPriority, radias::kKeyPriority),
    Set(radias::kByte34, 0),
    Copy(ms2k::kTranspose, radias::kTranspose),
    Copy(ms2k::kTune, radias::kTune),
    Copy(ms2k::kVibratoIntensity, radias::kVibratoIntensity),
    // Oscillators
    Decide(&ConvertOsc1Wave, {radias::kOsc1Wave, radias::kByte38Bits4To5}),
    Copy(ms2k::kOsc1Control1, radias::kOsc1Control1),
    Copy(ms2k::kOsc1Control2, radias::kOsc1Control2),
    Map(ms2k::kOsc1DwgsWave, radias::kOsc1DwgsWave, &MapDwgsWave),
    Copy(ms2k::kOscModulation, radias::kOscModulation),
    Copy(ms2k::kOsc2Wave, radias::kOsc2Wave),
    Copy(ms2k::kOsc2Semitone, radias::kOsc2Semitone),
    Copy(ms2k::kOsc2Tune, radias::kOsc2Tune),
    Decide(&ReportOsc2Tune),
    // Mixer, filter, amplifier
    Copy(ms2k::kOsc1Level, radias::kOsc1Level),
    Copy(ms2k::kOsc2Level, radias::kOsc2Level),
    Copy(ms2k::kNoiseLevel, radias::kNoiseLevel),
    Decide(&ConvertFilterType, {radias::kFilterType}),
    Copy(ms2k::kFilterCutoff, radias::kFilterCutoff),
    Copy(ms2k::kFilterResonance, radias::kFilterResonance),
    Copy(ms2k::kFilterEg1Intensity, radias::kFilterEg1Intensity),
    Copy(ms2k::kFilterKeyTrack, radias::kFilterKeyTrack),
    Copy(ms2k::kFilterVelocitySense, radias::kFilterVelocitySense),
    Decide(&ReportEg2Gate),
    Copy(ms2k::kAmpLevel, radias::kAmpLevel),
    Decide(&ConvertDistortion, {radias::kByte62Bits0To1, radias::kByte64}),
    Copy(ms2k::kAmpPanpot, radias::kAmpPanpot),
    Copy(ms2k::kAmpKeyTrack, radias::kAmpKeyTrack),
    Set(radias::kByte67, 0),
    Copy(ms2k::kEg1, radias::kEg1),
    Copy(ms2k::kEg2, radias::kEg2),
    Copy(ms2k::kAmpVelocitySense, radias::kAmpVelocitySense),
    // LFOs
    Copy(ms2k::kLfo1Wave, radias::kLfo1Wave),
    Copy(ms2k::kLfo1Frequency, radias::kLfo1Frequency),
    Copy(ms2k::kLfo1TempoSync, radias::kLfo1TempoSync),
    Copy(ms2k::kLfo1KeySync, radias::kLfo1KeySync),
    Map(ms2k::kLfo1SyncNote, radias::kLfo1SyncNote, &MapSyncNote, "LFO1 Sync Note"),
    Copy(ms2k::kLfo2Wave, radias::kLfo2Wave),
    Copy(ms2k::kLfo2Frequency, radias::kLfo2Frequency),
    Copy(ms2k::kLfo2TempoSync, radias::kLfo2TempoSync),
    Copy(ms2k::kLfo2KeySync, radias::kLfo2KeySync),
    Map(ms2k::kLfo2SyncNote, radias::kLfo2SyncNote, &MapSyncNote, "LFO2 Sync Note"),
    // Virtual patches
    Map(ms2k::PatchSource(0), radias::PatchSource(0), &MapPatchSource),
    Map(ms2k::PatchDestination(0), radias::PatchDestination(0), &MapPatchDestination),
    Copy(ms2k::PatchIntensity(0), radias::PatchIntensity(0)),
    Map(ms2k::PatchSource(1), radias::PatchSource(1), &MapPatchSource),
    Map(ms2k::PatchDestination(1), radias::PatchDestination(1), &MapPatchDestination),
    Copy(ms2k::PatchIntensity(1), radias::PatchIntensity(1)),
    Map(ms2k::PatchSource(2), radias::PatchSource(2), &MapPatchSource),
    Map(ms2k::PatchDestination(2), radias::PatchDestination(2), &MapPatchDestination),
    Copy(ms2k::PatchIntensity(2), radias::PatchIntensity(2)),
    Map(ms2k::PatchSource(3), radias::PatchSource(3), &MapPatchSource),
    Map(ms2k::PatchDestination(3), radias::PatchDestination(3), &MapPatchDestination),
    Copy(ms2k::PatchIntensity(3), radias::PatchIntensity(3)),
    // Motion sequencer: settings, then each lane's knob assignment, motion type and steps
    Copy(ms2k::kSeqOn, radias::kSeqOn),
    Copy(ms2k::kSeqType, radias::kSeqType),
    Copy(ms2k::kSeqLastStep, radias::kSeqLastStep),
    Copy(ms2k::kSeqRunMode, radias::kSeqRunMode),
    Copy(ms2k::kSeqKeySync, radias::kSeqKeySync),
    Copy(ms2k::kSeqResolution, radias::kSeqResolution),
    Map(ms2k::SeqKnob(0), radias::SeqKnob(0), &MapSeqKnob, "SEQ1 Knob"),
    Copy(ms2k::SeqMotionType(0), radias::SeqMotionType(0)),
    Copy(ms2k::SeqSteps(0), radias::SeqSteps(0)),
    Map(ms2k::SeqKnob(1), radias::SeqKnob(1), &MapSeqKnob, "SEQ2 Knob"),
    Copy(ms2k::SeqMotionType(1), radias::SeqMotionType(1)),
    Copy(ms2k::SeqSteps(1), radias::SeqSteps(1)),
    Map(ms2k::SeqKnob(2), radias::SeqKnob(2), &MapSeqKnob, "SEQ3 Knob"),
    Copy(ms2k::SeqMotionType(2), radias::SeqMotionType(2)),
    Copy(ms2k::SeqSteps(2), radias::SeqSteps(2)),
});
// clang-format on

static_assert(EveryStepWritesItsOwnBits(kSteps));

}  // namespace

std::span<const TimbreStep> TimbreConversionSteps() {
    return kSteps;
}

void ProgramConverter::ConvertTimbre(int timbre) {
    holdsInitProgram_ = false;
    const bool first = timbre == 1;
    const std::span<const std::uint8_t> program{source_};
    const TimbreScope scope{
        .program = program,
        .m = program.subspan(first ? kMs2kTimbre1Offset : kMs2kTimbre2Offset, kMs2kTimbreSize),
        .r = std::span<std::uint8_t>{image_}.subspan(RadiasTimbreOffset(first ? 1 : 2),
                                                     kRadiasTimbreSize),
        .timbre = timbre,
        .mode = VoiceModeOf(source_),
        .report = report_,
    };
    Run<kSteps>(scope);
}

}  // namespace patchferry
