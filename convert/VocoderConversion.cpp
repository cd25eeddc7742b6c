// An MS2000 Vocoder program's vocoder area (Ms2kVocoderLayout.h, m below) into the Radias's
// vocoder block (RadiasVocoderLayout.h) and its carrier, timbre block 1.
//
// Two tables of the timbre table's form. The vocoder table fills the vocoder block. The carrier
// table takes every field the timbre table writes, each from its source in the vocoder area by
// the timbre table's own rule, or keeps it ("Keep") where a Vocoder program has no such
// parameter: the second oscillator, the filter (the vocoder's filter bank takes its place), the
// amplifier's level and pan, the virtual patches and the motion sequencer. Both are checked
// while compiling: no two steps take the same bit, and the carrier table takes exactly the bits
// of the timbre table.

#include "convert/VocoderConversion.h"

#include <array>
#include <cstdint>
#include <span>

#include "convert/ProgramConverter.h"
#include "convert/ProgramLayout.h"
#include "convert/RadiasInitTemplate.h"
#include "convert/TimbreTable.h"
#include "convert/ValueMappings.h"

namespace patchferry {
namespace {

using namespace timbre;  // the decisions the carrier shares with a synth timbre
namespace voc = ms2k::vocoder;
namespace rv = radias::vocoder;

using VocoderStep = StepOf<Ms2kVocoderField, RadiasVocoderField>;
using CarrierStep = StepOf<Ms2kVocoderField, RadiasTimbreField>;

// --- vocoder block

// Which of two switches turns the Radias vocoder on is not known (RadiasVocoderLayout.h): this one
// and the program's (ProgramConverter.cpp) are both set.
inline void ReportVocoderSwitch(const TimbreScope& s) {
    s.report.AddApproximation("Vocoder switch");
}

// The MS2000's modulator is always its audio input 2, its carrier the synth with audio input 1
// mixed in. The Radias's codes for its inputs are not known: they keep the init program's.
inline void ReportInputs(const TimbreScope& s) {
    s.report.AddApproximation("Vocoder inputs");
    if (Read(s.m, voc::kInstLevel) != 0) {
        s.report.AddApproximation("Inst level");
    }
}

// The fc mod source list is not confirmed (ValueMappings.h), and MIDI 1 and 2 have no counterpart
// (the init program's source stays): named wherever the intensity is not zero (64).
constexpr std::uint8_t kNoFcModulation = 64;

inline void ConvertFcModSource(const TimbreScope& s) {
    const std::uint8_t source = Read(s.m, voc::kFcModSource);
    if (source < mapping::kFcModSource.size()) {
        Write(s.r, rv::kFcModSource, mapping::kFcModSource[source]);
    }
    if (Read(s.m, voc::kFcModIntensity) != kNoFcModulation) {
        s.report.AddApproximation("Fc mod source");
    }
}

// clang-format off
constexpr auto kVocoderSteps = std::to_array<VocoderStep>({
    Set(rv::kOn, 1),
    Decide(&ReportVocoderSwitch),
    Copy(voc::kHpfGate, rv::kHpfGate),
    Keep(rv::kByte0Bit4),
    Keep(rv::kModulatorSource),
    Keep(rv::kInputSelections),
    Keep(rv::kInputLevel1),
    Keep(rv::kInputLevel2),
    Decide(&ReportInputs),
    Copy(voc::kGateSense, rv::kGateSense),
    Copy(voc::kThreshold, rv::kThreshold),
    Copy(voc::kHpfLevel, rv::kHpfLevel),
    Copy(voc::kDirectLevel, rv::kDirectLevel),
    Copy(voc::kVocoderLevel, rv::kLevel),
    // Bands: a microKORG's eight channels stand twice each and carry over so
    Copy(voc::ChannelPan(0), rv::BandPan(0)),     Copy(voc::ChannelLevel(0), rv::BandLevel(0)),
    Copy(voc::ChannelPan(1), rv::BandPan(1)),     Copy(voc::ChannelLevel(1), rv::BandLevel(1)),
    Copy(voc::ChannelPan(2), rv::BandPan(2)),     Copy(voc::ChannelLevel(2), rv::BandLevel(2)),
    Copy(voc::ChannelPan(3), rv::BandPan(3)),     Copy(voc::ChannelLevel(3), rv::BandLevel(3)),
    Copy(voc::ChannelPan(4), rv::BandPan(4)),     Copy(voc::ChannelLevel(4), rv::BandLevel(4)),
    Copy(voc::ChannelPan(5), rv::BandPan(5)),     Copy(voc::ChannelLevel(5), rv::BandLevel(5)),
    Copy(voc::ChannelPan(6), rv::BandPan(6)),     Copy(voc::ChannelLevel(6), rv::BandLevel(6)),
    Copy(voc::ChannelPan(7), rv::BandPan(7)),     Copy(voc::ChannelLevel(7), rv::BandLevel(7)),
    Copy(voc::ChannelPan(8), rv::BandPan(8)),     Copy(voc::ChannelLevel(8), rv::BandLevel(8)),
    Copy(voc::ChannelPan(9), rv::BandPan(9)),     Copy(voc::ChannelLevel(9), rv::BandLevel(9)),
    Copy(voc::ChannelPan(10), rv::BandPan(10)),   Copy(voc::ChannelLevel(10), rv::BandLevel(10)),
    Copy(voc::ChannelPan(11), rv::BandPan(11)),   Copy(voc::ChannelLevel(11), rv::BandLevel(11)),
    Copy(voc::ChannelPan(12), rv::BandPan(12)),   Copy(voc::ChannelLevel(12), rv::BandLevel(12)),
    Copy(voc::ChannelPan(13), rv::BandPan(13)),   Copy(voc::ChannelLevel(13), rv::BandLevel(13)),
    Copy(voc::ChannelPan(14), rv::BandPan(14)),   Copy(voc::ChannelLevel(14), rv::BandLevel(14)),
    Copy(voc::ChannelPan(15), rv::BandPan(15)),   Copy(voc::ChannelLevel(15), rv::BandLevel(15)),
    // Filter bank
    Map(voc::kFormantShift, rv::kFormantShift, &MapFormantShift, "Formant shift"),
    Decide(&ConvertFcModSource, {rv::kFcModSource}),
    Copy(voc::kCutoffOffset, rv::kCutoffOffset),
    Copy(voc::kResonance, rv::kResonance),
    Copy(voc::kFcModIntensity, rv::kFcModIntensity),
    Copy(voc::kEfSense, rv::kEfSense),  // 127, Hold, as it comes
    Set(rv::kCarrierTimbre, rv::kCarrierTimbre1),
});

// The carrier: timbre block 1, in the timbre table's order.
constexpr auto kCarrierSteps = std::to_array<CarrierStep>({
    // Timbre header: no key range, as in a Single program
    Decide(&WriteName, {radias::kName}),
    Set(radias::kByte0Bit7, 1),
    Decide(&MarkArpeggiatorTimbre, {radias::kByte0Bits2To3}),
    Copy(voc::kMidiChannel, radias::kMidiChannel),
    Decide(&WriteUnison, {radias::kByte8Bit7, radias::kByte8Bits0To3, radias::kUnisonDetune,
                          radias::kByte10}),
    Keep(radias::kLowestKey),
    Keep(radias::kHighestKey),
    Copy(voc::kBendRange, radias::kBendRange),
    Copy(voc::kPortamentoTime, radias::kPortamentoTime),
    // Voice and pitch
    Map(voc::kAssignMode, radias::kByte32Bit7, &MapPolyphonic),
    Copy(voc::kTriggerMode, radias::kTriggerMode),
    Copy(voc::kKeyPriority, radias::kKeyPriority),
    Set(radias::kByte34, 0),
    Copy(voc::kTranspose, radias::kTranspose),
    Copy(voc::kTune, radias::kTune),
    Copy(voc::kVibratoIntensity, radias::kVibratoIntensity),
    // Oscillator 1 only
    Decide(&ConvertOsc1Wave, {radias::kOsc1Wave, radias::kByte38Bits4To5}),
    Copy(voc::kOsc1Control1, radias::kOsc1Control1),
    Copy(voc::kOsc1Control2, radias::kOsc1Control2),
    Map(voc::kOsc1DwgsWave, radias::kOsc1DwgsWave, &MapDwgsWave),
    Keep(radias::kOscModulation),
    Keep(radias::kOsc2Wave),
    Keep(radias::kOsc2Semitone),
    Keep(radias::kOsc2Tune),
    // Mixer; the filter bank of the vocoder block stands for the filter
    Copy(voc::kOsc1Level, radias::kOsc1Level),
    Keep(radias::kOsc2Level),
    Copy(voc::kNoiseLevel, radias::kNoiseLevel),
    Keep(radias::kFilterType),
    Keep(radias::kFilterCutoff),
    Keep(radias::kFilterResonance),
    Keep(radias::kFilterEg1Intensity),
    Keep(radias::kFilterKeyTrack),
    Keep(radias::kFilterVelocitySense),
    // Amplifier: the vocoder block's level stands for the amplifier's level
    Keep(radias::kAmpLevel),
    Decide(&ConvertDistortion<voc::kDistortion>, {radias::kByte62Bits0To1, radias::kByte64}),
    Keep(radias::kAmpPanpot),
    Copy(voc::kAmpKeyTrack, radias::kAmpKeyTrack),
    Set(radias::kByte67, 0),
    Copy(voc::kEg1, radias::kEg1),
    Copy(voc::kEg2, radias::kEg2),
    Copy(voc::kAmpVelocitySense, radias::kAmpVelocitySense),
    // LFOs
    Copy(voc::kLfo1Wave, radias::kLfo1Wave),
    Copy(voc::kLfo1Frequency, radias::kLfo1Frequency),
    Copy(voc::kLfo1TempoSync, radias::kLfo1TempoSync),
    Copy(voc::kLfo1KeySync, radias::kLfo1KeySync),
    Map(voc::kLfo1SyncNote, radias::kLfo1SyncNote, &MapSyncNote, "LFO1 Sync Note"),
    Copy(voc::kLfo2Wave, radias::kLfo2Wave),
    Copy(voc::kLfo2Frequency, radias::kLfo2Frequency),
    Copy(voc::kLfo2TempoSync, radias::kLfo2TempoSync),
    Copy(voc::kLfo2KeySync, radias::kLfo2KeySync),
    Map(voc::kLfo2SyncNote, radias::kLfo2SyncNote, &MapSyncNote, "LFO2 Sync Note"),
    // No virtual patches and no motion sequencer in a Vocoder program
    Keep(radias::PatchSource(0)), Keep(radias::PatchDestination(0)), Keep(radias::PatchIntensity(0)),
    Keep(radias::PatchSource(1)), Keep(radias::PatchDestination(1)), Keep(radias::PatchIntensity(1)),
    Keep(radias::PatchSource(2)), Keep(radias::PatchDestination(2)), Keep(radias::PatchIntensity(2)),
    Keep(radias::PatchSource(3)), Keep(radias::PatchDestination(3)), Keep(radias::PatchIntensity(3)),
    Keep(radias::kSeqOn), Keep(radias::kSeqType), Keep(radias::kSeqLastStep),
    Keep(radias::kSeqRunMode), Keep(radias::kSeqKeySync), Keep(radias::kSeqResolution),
    Keep(radias::SeqKnob(0)), Keep(radias::SeqMotionType(0)), Keep(radias::SeqSteps(0)),
    Keep(radias::SeqKnob(1)), Keep(radias::SeqMotionType(1)), Keep(radias::SeqSteps(1)),
    Keep(radias::SeqKnob(2)), Keep(radias::SeqMotionType(2)), Keep(radias::SeqSteps(2)),
});
// clang-format on

static_assert(EveryStepWritesItsOwnBits(kVocoderSteps));
static_assert(EveryStepWritesItsOwnBits(kCarrierSteps));
// The decisions that build a byte from the init program's (FreshByte) are its only writers.
static_assert(StepsWritingByte(kCarrierSteps, radias::kOsc1Wave.bits.offset) == 1 &&
              StepsWritingByte(kCarrierSteps, radias::kByte8Bit7.bits.offset) == 1 &&
              StepsWritingByte(kCarrierSteps, radias::kByte62Bits0To1.bits.offset) == 1);
// Every field of the timbre table has its vocoder source or is kept, and nothing else is written.
static_assert(BitsTaken(kCarrierSteps) == BitsTaken(kTimbreSteps));

}  // namespace

std::span<const StepOf<Ms2kVocoderField, RadiasVocoderField>> VocoderConversionSteps() {
    return kVocoderSteps;
}

std::span<const StepOf<Ms2kVocoderField, RadiasTimbreField>> CarrierConversionSteps() {
    return kCarrierSteps;
}

void ProgramConverter::ConvertVocoder() {
    holdsInitProgram_ = false;
    const std::span<const std::uint8_t> program{source_};
    const std::span<std::uint8_t> image{image_};
    const std::span<const std::uint8_t> init{RadiasInitTemplateImage()};
    const std::span<const std::uint8_t> area = program.subspan(kMs2kTimbre1Offset, kMs2kTimbreSize);
    const TimbreScope vocoder{
        .program = program,
        .m = area,
        .r = image.subspan(kRadiasVocoderOffset, kRadiasVocoderSize),
        .init = init.subspan(kRadiasVocoderOffset, kRadiasVocoderSize),
        .timbre = 1,
        .mode = VoiceMode::Vocoder,
        .report = report_,
    };
    Run<kVocoderSteps>(vocoder);
    const TimbreScope carrier{
        .program = program,
        .m = area,
        .r = image.subspan(RadiasTimbreOffset(1), kRadiasTimbreSize),
        .init = init.subspan(RadiasTimbreOffset(1), kRadiasTimbreSize),
        .timbre = 1,
        .mode = VoiceMode::Vocoder,
        .report = report_,
    };
    Run<kCarrierSteps>(carrier);
}

}  // namespace patchferry
