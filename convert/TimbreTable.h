#pragma once
// One MS2000 timbre (108 bytes) into one Radias timbre block (228 bytes), as a table run from top
// to bottom over a block that holds the init program's values. Plain moves and value mappings
// are rows of the table; every step that decides something else is a small function in
// TimbreDecisions.h. Steps report in table order. No two steps write the same bit, and whatever
// no step names keeps the init program's value.
//
// In a header, so that the vocoder's carrier table can be held against it while compiling.

#include <array>

#include "convert/TimbreDecisions.h"
#include "convert/TimbreStep.h"
#include "convert/ValueMappings.h"

namespace patchferry::timbre {

// clang-format off
inline constexpr auto kTimbreSteps = std::to_array<TimbreStep>({
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
    Map(ms2k::kAssignMode, radias::kByte32Bit7, &MapPolyphonic),
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
    Decide(&ConvertDistortion<ms2k::kDistortion>, {radias::kByte62Bits0To1, radias::kByte64}),
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

static_assert(EveryStepWritesItsOwnBits(kTimbreSteps));
// The decisions that build a byte from the init program's (FreshByte) are its only writers.
static_assert(StepsWritingByte(kTimbreSteps, radias::kOsc1Wave.bits.offset) == 1 &&
              StepsWritingByte(kTimbreSteps, radias::kByte8Bit7.bits.offset) == 1 &&
              StepsWritingByte(kTimbreSteps, radias::kByte62Bits0To1.bits.offset) == 1);

}  // namespace patchferry::timbre
