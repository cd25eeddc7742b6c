#pragma once
// Translation tables for MS2000 parameters that are a choice from a list which the Radias orders
// differently or fills with other members. Each table is indexed by the MS2000 value and holds
// the Radias value.
//
// The MS2000 fields are wider than the tables (the sync note is 5 bits but only 0..14 are
// notes). An input beyond a table takes the table's last entry; the two mappings that say whether
// a translation is exact call such an input inexact, so the caller reports it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace patchferry {

struct MappedValue {
    std::uint8_t value;
    bool exact;

    friend constexpr bool operator==(const MappedValue&, const MappedValue&) = default;
};

namespace mapping {

// The entry for `input`, the last entry for anything beyond the table.
template <typename Entry, std::size_t N>
constexpr const Entry& Lookup(const std::array<Entry, N>& table, std::uint8_t input) {
    return table[input < N ? input : N - 1];
}

// The same for a table that says whether each entry is exact; beyond the table is never exact.
template <std::size_t N>
constexpr MappedValue LookupExact(const std::array<MappedValue, N>& table, std::uint8_t input) {
    const MappedValue& entry = Lookup(table, input);
    return {entry.value, entry.exact && input < N};
}

// LFO sync note. 2 and 10 have no own Radias note and share the result of 5 and 13.
inline constexpr std::array<MappedValue, 15> kSyncNote = {{
    {3, true},
    {4, true},
    {7, false},
    {5, true},
    {6, true},
    {7, true},
    {8, true},
    {9, true},
    {10, true},
    {11, true},
    {14, false},
    {12, true},
    {13, true},
    {14, true},
    {15, true},
}};

// Virtual patch source.
inline constexpr std::array<std::uint8_t, 8> kPatchSource = {0, 1, 3, 4, 5, 8, 6, 7};

// Virtual patch destination.
inline constexpr std::array<std::uint8_t, 8> kPatchDestination = {0, 1, 2, 5, 7, 11, 12, 14};

// Sequence lane knob assignment. 2 has no Radias counterpart and falls back to 0.
inline constexpr std::array<MappedValue, 31> kSeqKnob = {{
    {0, true},  {1, true},  {0, false}, {2, true},  {3, true},  {4, true},  {5, true},  {6, true},
    {7, true},  {8, true},  {9, true},  {10, true}, {11, true}, {13, true}, {14, true}, {19, true},
    {20, true}, {22, true}, {23, true}, {24, true}, {25, true}, {26, true}, {27, true}, {28, true},
    {29, true}, {34, true}, {35, true}, {36, true}, {37, true}, {38, true}, {39, true},
}};

// Oscillator 1 DWGS wave; many MS2000 waves share a Radias wave.
inline constexpr std::array<std::uint8_t, 64> kDwgsWave = {
    29, 30, 31, 32, 33, 34, 35, 16,  //  0..7
    17, 18, 19, 16, 17, 18, 29, 30,  //  8..15
    31, 32, 33, 34, 35, 29, 30, 59,  // 16..23
    60, 59, 44, 45, 46, 47, 48, 49,  // 24..31
    50, 51, 63, 0,  1,  2,  0,  5,   // 32..39
    6,  7,  8,  9,  10, 11, 38, 38,  // 40..47
    39, 40, 39, 16, 17, 18, 19, 17,  // 48..55
    41, 42, 43, 41, 61, 62, 61, 62,  // 56..63
};

// Vocoder formant shift; the MS2000 counts 0, +1, +2, -1, -2. The Radias codes of 0, +1 and +2
// are taken to be 0, 1 and 2; those of -1 and -2 are not known and carry over as they are.
inline constexpr std::array<MappedValue, 5> kFormantShift = {{
    {0, true},
    {1, true},
    {2, true},
    {3, false},
    {4, false},
}};

static_assert(kSyncNote.size() == 15 && kPatchSource.size() == 8);
static_assert(kPatchDestination.size() == 8 && kSeqKnob.size() == 31 && kDwgsWave.size() == 64);

// The vocoder's filter modulation source, MS2000 to Radias: EG1, EG2, LFO1, LFO2, velocity and
// keyboard track, which the Radias lists as 0, 1, 3, 4, 5 and 8 (its EG3 and pitch bend between
// them). The MS2000's MIDI 1 and MIDI 2 (6 and 7) have no counterpart. Not confirmed by the
// Radias's own documents: the order comes from a public decoding of its programs.
inline constexpr std::array<std::uint8_t, 6> kFcModSource = {0, 1, 3, 4, 5, 8};

}  // namespace mapping

// A value with an exact flag: the Radias value means the same as the MS2000 value.
constexpr MappedValue MapSyncNote(std::uint8_t value) {
    return mapping::LookupExact(mapping::kSyncNote, value);
}

constexpr MappedValue MapSeqKnob(std::uint8_t value) {
    return mapping::LookupExact(mapping::kSeqKnob, value);
}

constexpr MappedValue MapFormantShift(std::uint8_t value) {
    return mapping::LookupExact(mapping::kFormantShift, value);
}

constexpr std::uint8_t MapPatchSource(std::uint8_t value) {
    return mapping::Lookup(mapping::kPatchSource, value);
}

constexpr std::uint8_t MapPatchDestination(std::uint8_t value) {
    return mapping::Lookup(mapping::kPatchDestination, value);
}

constexpr std::uint8_t MapDwgsWave(std::uint8_t value) {
    return mapping::Lookup(mapping::kDwgsWave, value);
}

}  // namespace patchferry
