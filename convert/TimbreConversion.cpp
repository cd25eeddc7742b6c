// One MS2000 timbre (108 bytes, M below) into one Radias timbre block (228 bytes, R below).
//
// The steps run in a fixed order, which is the order of the report entries; no step depends on
// another's result. R[n] := M[k] copies a whole byte; fields packed into a byte go through
// GetBits/SetBits, which cut a value to the width of the receiving field. Bytes no step names
// keep the init program's values.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "convert/BitFields.h"
#include "convert/ProgramConverter.h"
#include "convert/ProgramLayout.h"
#include "convert/ValueMappings.h"

namespace patchferry {
namespace {

// Oscillator 1 wave M[7] -> R[38] b0..3 (wave) and b4..5; an empty cell keeps the bits.
struct Osc1WaveCell {
    std::optional<std::uint8_t> wave;
    std::optional<std::uint8_t> high;
    std::string_view approximation;
};
constexpr std::optional<std::uint8_t> kKeep;
// clang-format off
constexpr std::array<Osc1WaveCell, 8> kOsc1Wave = {{
    // b0..3  b4..5   report           M[7]
    {0,       0,      {}},          // 0
    {1,       0,      {}},          // 1
    {2,       0,      {}},          // 2
    {3,       1,      {}},          // 3
    {5,       kKeep,  "OSC1 Vox"},  // 4
    {6,       kKeep,  "OSC1 DWGS"}, // 5
    {4,       kKeep,  {}},          // 6
    {8,       kKeep,  {}},          // 7; 8 and above keep R[38] as it is
}};
// clang-format on

// Filter type M[19] -> R[50]; not in rising order.
constexpr std::array<std::uint8_t, 4> kFilterType = {0, 31, 95, 63};

constexpr std::uint8_t kOsc2TuneCentre = 64;
constexpr std::size_t kPatchSlots = 4;
constexpr std::array<std::string_view, kSequenceLaneCount> kSeqKnobNames = {
    "SEQ1 Knob", "SEQ2 Knob", "SEQ3 Knob"};
constexpr std::uint8_t kHighestKey = 127;

static_assert(kOsc1Wave.size() == 8 && kFilterType.size() == 4);
// Where the three sequence lanes begin: after the two settings bytes of each side.
constexpr std::size_t kMs2kLanes = 54;
constexpr std::size_t kRadiasLanes = 174;
static_assert(kRadiasLanes == kRadiasSequenceOffset + kSequenceSettingsSize);
static_assert(kRadiasLanes + kSequenceLaneCount * kSequenceLaneSize == kRadiasTimbreSize);
static_assert(kMs2kLanes + kSequenceLaneCount * kSequenceLaneSize == kMs2kTimbreSize);
static_assert(102 + 3 * kPatchSlots <= 114 && 44 + 2 * kPatchSlots <= 52);

// R[to .. to + count - 1] := M[from .. from + count - 1]
void CopyBytes(std::span<std::uint8_t> r, std::size_t to, std::span<const std::uint8_t> m,
               std::size_t from, std::size_t count) {
    std::copy_n(m.begin() + static_cast<std::ptrdiff_t>(from), count,
                r.begin() + static_cast<std::ptrdiff_t>(to));
}

}  // namespace

void ProgramConverter::ConvertTimbre(int timbre) {
    const bool first = timbre == 1;
    const std::span<const std::uint8_t> p{source_};
    const auto m = p.subspan(first ? kMs2kTimbre1Offset : kMs2kTimbre2Offset, kMs2kTimbreSize);
    const auto r = std::span<std::uint8_t>{image_}.subspan(RadiasTimbreOffset(first ? 1 : 2),
                                                           kRadiasTimbreSize);
    const VoiceMode mode = VoiceModeOf(source_);

    // --- name and timbre header

    // 1: timbre name: the program name with its 12th character replaced by the timbre digit
    CopyBytes(r, kRadiasTimbreNameOffset, p, kMs2kNameOffset, kRadiasTimbreNameLength);
    r[kRadiasTimbreNameOffset + kRadiasTimbreNameLength - 1] = first ? '1' : '2';
    // 2
    SetBits(r, {0, 7}, 1);
    // 3: arpeggiator on this timbre when it drives both (0) or just this one (1 or 2)
    const std::uint8_t arpTimbres = GetBits(p, {32, 4, 5});
    if (arpTimbres == 0 || arpTimbres == timbre) {
        SetBits(r, {0, 2, 3}, 1);
    }
    // 4
    r[4] = m[0];
    // 5: M[1] b6..7 = 2
    if (GetBits(m, {1, 6, 7}) == 2) {
        SetBits(r, {8, 7}, 1);
        SetBits(r, {8, 0, 3}, mode == VoiceMode::Single ? 2 : 0);
        r[9] = m[2];
        r[10] = 64;
    }
    // 6: key ranges of a Split program: timbre 1 below the split point, timbre 2 from it up.
    // The top key of timbre 1 is 8-bit arithmetic: a split point of 0 gives 255.
    if (mode == VoiceMode::Split) {
        const std::uint8_t splitPoint = p[18];
        r[6] = first ? 0 : splitPoint;
        r[7] = first ? static_cast<std::uint8_t>(splitPoint - 1U) : kHighestKey;
    }
    // 7, 8
    r[11] = m[4];
    r[12] = GetBits(m, {15, 0, 6});
    // 9, 10, 11
    SetBits(r, {32, 7}, GetBits(m, {1, 6, 7}) != 0 ? 1 : 0);
    SetBits(r, {32, 6}, GetBits(m, {1, 3}));
    SetBits(r, {32, 0, 1}, GetBits(m, {1, 0, 1}));
    // 12, 13
    r[34] = 0;
    r[35] = m[5];
    r[36] = m[3];
    r[37] = m[6];

    // --- oscillators

    // 14: oscillator 1 wave; waves above 7 leave R[38] as it is
    if (m[7] < kOsc1Wave.size()) {
        const Osc1WaveCell& cell = kOsc1Wave[m[7]];
        if (cell.wave) {
            SetBits(r, {38, 0, 3}, *cell.wave);
        }
        if (cell.high) {
            SetBits(r, {38, 4, 5}, *cell.high);
        }
        if (!cell.approximation.empty()) {
            AddApproximation(cell.approximation);
        }
    }
    // 15, 16
    r[39] = m[8];
    r[40] = m[9];
    r[41] = MapDwgsWave(m[10]);
    // 17
    SetBits(r, {43, 4, 5}, GetBits(m, {12, 4, 5}));
    SetBits(r, {43, 0, 1}, GetBits(m, {12, 0, 1}));
    // 18: oscillator 2 tune, copied unchanged; off centre it is only approximate
    r[44] = m[13];
    r[45] = m[14];
    if (m[14] != kOsc2TuneCentre) {
        AddApproximation("OSC2 tune");
    }

    // --- mixer, filter, amplifier

    // 19
    CopyBytes(r, 46, m, 16, 3);
    // 20: filter type; types above 3 leave R[50] as it is
    if (m[19] < kFilterType.size()) {
        r[50] = kFilterType[m[19]];
    }
    // 21: R[51..53] := M[20..22]; then the two following bytes land crosswise
    CopyBytes(r, 51, m, 20, 3);
    r[54] = m[24];
    r[55] = m[23];
    // 22: EG2/Gate switch has no counterpart: nothing written
    if (GetBits(m, {27, 6}) == 1) {
        AddApproximation("EG2/Gate switch");
    }
    // 23
    r[61] = m[25];
    // 24: distortion on
    if (GetBits(m, {27, 0}) == 1) {
        SetBits(r, {62, 0, 1}, 1);
        r[64] = 32;
        AddApproximation("Distortion switch");
    }
    // 25: amplifier and the two envelopes; R[72..75] and R[80] keep theirs
    r[65] = m[26];
    r[66] = m[29];
    r[67] = 0;
    CopyBytes(r, 68, m, 30, 4);  // envelope 1
    CopyBytes(r, 76, m, 34, 4);  // envelope 2
    r[81] = m[28];

    // --- LFOs: LFO1 from M[38..40], LFO2 from M[41..43]

    // 26: LFO1 wave as a whole byte: R[92] b2..7 become 0
    r[92] = GetBits(m, {38, 0, 1});
    // 27, 28
    r[94] = m[39];
    SetBits(r, {95, 7}, GetBits(m, {40, 7}));
    SetBits(r, {95, 5, 6}, GetBits(m, {38, 4, 5}));
    // 29: LFO1 sync note
    bool exact = true;
    SetBits(r, {96, 0, 4}, MapSyncNote(GetBits(m, {40, 0, 4}), exact));
    if (!exact) {
        AddApproximation("LFO1 Sync Note");
    }
    // 30: LFO2 wave as a bit field, unlike step 26: R[97] b4..7 stay
    SetBits(r, {97, 0, 3}, GetBits(m, {41, 0, 1}));
    // 31, 32
    r[99] = m[42];
    SetBits(r, {100, 7}, GetBits(m, {43, 7}));
    SetBits(r, {100, 5, 6}, GetBits(m, {41, 4, 5}));
    // 33: LFO2 sync note
    SetBits(r, {101, 0, 4}, MapSyncNote(GetBits(m, {43, 0, 4}), exact));
    if (!exact) {
        AddApproximation("LFO2 Sync Note");
    }

    // --- 34: four virtual patches: selector M[44+2k] (b0..3 source, b4..7 destination) and
    // intensity M[45+2k] into three bytes R[102+3k..104+3k]; R[114..119] keep theirs
    for (std::size_t k = 0; k < kPatchSlots; ++k) {
        const auto selector = m.subspan(44 + 2 * k);
        r[102 + 3 * k] = MapPatchSource(GetBits(selector, {0, 0, 3}));
        r[103 + 3 * k] = MapPatchDestination(GetBits(selector, {0, 4, 7}));
        r[104 + 3 * k] = m[45 + 2 * k];
    }

    // --- 35: sequence settings, M[52..53] into R[172..173]; M[52] b4 is not carried over
    SetBits(r, {172, 7}, GetBits(m, {52, 7}));
    SetBits(r, {172, 4, 5}, GetBits(m, {53, 2, 3}));
    SetBits(r, {172, 0, 3}, GetBits(m, {53, 4, 7}));
    SetBits(r, {173, 7}, GetBits(m, {52, 6}));
    SetBits(r, {173, 4, 5}, GetBits(m, {53, 0, 1}));
    SetBits(r, {173, 0, 3}, GetBits(m, {52, 0, 3}));

    // --- 36: three sequence lanes, M[54+18j..71+18j] into R[174+18j..191+18j], each finished,
    // report included, before the next
    for (std::size_t j = 0; j < kSequenceLaneCount; ++j) {
        const auto from = m.subspan(kMs2kLanes + kSequenceLaneSize * j, kSequenceLaneSize);
        const auto to = r.subspan(kRadiasLanes + kSequenceLaneSize * j, kSequenceLaneSize);
        to[0] = MapSeqKnob(from[0], exact);          // knob assignment
        SetBits(to, {1, 7}, GetBits(from, {1, 0}));  // b0..6 of the lane settings stay
        CopyBytes(to, 2, from, 2, kSequenceSteps);   // the 16 step values
        if (!exact) {
            AddApproximation(kSeqKnobNames[j]);
        }
    }
}

}  // namespace patchferry
