// Properties that hold for every step of the timbre conversion table, whatever its rows say, and
// a few programs that must convert to the dumps they always converted to.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>

#include "convert/ProgramConverter.h"
#include "convert/RadiasInitTemplate.h"
#include "convert/TimbreConversion.h"
#include "support/SyxBuilder.h"

namespace patchferry {
namespace {

using testing::MakeImage;

constexpr std::size_t kMs2kTimbre[] = {38, 146};
constexpr std::size_t kRadiasBlock[] = {48, 276};

std::span<std::uint8_t> M(Ms2kProgramImage& image, std::size_t t) {
    return std::span<std::uint8_t>{image}.subspan(kMs2kTimbre[t - 1], kMs2kTimbreSize);
}

std::span<const std::uint8_t> R(const RadiasProgramImage& image, std::size_t t) {
    return std::span<const std::uint8_t>{image}.subspan(kRadiasBlock[t - 1], kRadiasTimbreSize);
}

// Per byte of a Radias timbre block, the bits that some step of the table may write.
std::array<std::uint8_t, kRadiasTimbreSize> DeclaredBits() {
    std::array<std::uint8_t, kRadiasTimbreSize> bits{};
    for (const TimbreStep& step : TimbreConversionSteps()) {
        for (const RadiasTimbreField& field : TargetsOf(step)) {
            for (std::size_t i = field.bits.offset; i < field.End(); ++i) {
                bits[i] = static_cast<std::uint8_t>(
                    bits[i] | (FieldMask(field.bits.low, field.bits.high) << field.bits.low));
            }
        }
    }
    return bits;
}

// The checker behind the table's static_assert finds a bit written twice.
constexpr bool OverlapIsFound() {
    constexpr std::array<TimbreStep, 2> twoMoves = {Copy(ms2k::kTune, radias::kTune),
                                                    Set(RadiasTimbreField{36, 3}, 1)};
    constexpr std::array<TimbreStep, 2> moveAndDecision = {
        Copy(ms2k::kOsc2Wave, radias::kOsc2Wave),
        Decide(nullptr, {radias::kTune, RadiasTimbreField{43, 1, 2}})};
    constexpr std::array<TimbreStep, 2> neighbours = {Copy(ms2k::kOsc2Wave, radias::kOsc2Wave),
                                                      Set(RadiasTimbreField{43, 2, 3}, 0)};
    return !EveryStepWritesItsOwnBits(twoMoves) && !EveryStepWritesItsOwnBits(moveAndDecision) &&
           EveryStepWritesItsOwnBits(neighbours);
}
static_assert(OverlapIsFound());

// A mapping whose values do not all fit its Radias field is found (and so does not compile as a
// row): DWGS waves reach 63, a sync note field holds 31.
static_assert(!MapsIntoItsField(FieldMapping{
    ms2k::kOsc1DwgsWave, radias::kLfo1SyncNote, &MapDwgsWave, nullptr, {}}));
static_assert(MapsIntoItsField(FieldMapping{
    ms2k::kOsc1DwgsWave, radias::kOsc1DwgsWave, &MapDwgsWave, nullptr, {}}));

// Whatever a program holds, a converted block differs from the init program only in bits that
// a step declares; blocks 3 and 4 never change.
TEST(TimbreTable, OnlyDeclaredBitsLeaveTheInitProgram) {
    const auto declared = DeclaredBits();
    const RadiasProgramImage& init = RadiasInitTemplateImage();
    std::mt19937 random(2026);
    std::array<std::uint8_t, kRadiasTimbreSize> seen{};
    for (int round = 0; round < 300; ++round) {
        // Single, Split and Dual in turn; all zeros and all ones first.
        Ms2kProgramImage source = MakeImage("Random", static_cast<VoiceMode>(round % 3));
        for (std::size_t i = 17; i < source.size(); ++i) {
            source[i] = round == 0 ? 0x00 : round == 1 ? 0xFF : static_cast<std::uint8_t>(random());
        }
        ProgramConverter converter(source);
        converter.Convert();
        for (const std::size_t t : {1U, 2U}) {
            const auto block = R(converter.Image(), t);
            const auto initBlock = R(init, t);
            for (std::size_t i = 0; i < kRadiasTimbreSize; ++i) {
                const auto changed = static_cast<std::uint8_t>(block[i] ^ initBlock[i]);
                ASSERT_EQ(changed & ~declared[i], 0)
                    << "timbre " << t << " byte " << i << " round " << round;
                seen[i] = static_cast<std::uint8_t>(seen[i] | changed);
            }
        }
        ASSERT_TRUE(
            std::equal(init.begin() + 504, init.begin() + 960, converter.Image().begin() + 504));
    }
    // And no step declares a field it never writes, but for the two constants the init program
    // already holds.
    for (const TimbreStep& step : TimbreConversionSteps()) {
        for (const RadiasTimbreField& field : TargetsOf(step)) {
            if (field.bits.offset == radias::kByte10.bits.offset ||
                field.bits.offset == radias::kByte67.bits.offset) {
                continue;
            }
            const auto bits = FieldMask(field.bits.low, field.bits.high) << field.bits.low;
            EXPECT_NE(seen[field.bits.offset] & bits, 0U) << "byte " << field.bits.offset;
        }
    }
}

// The value a move or a mapping must leave in byte `i` of its target field, or nothing for a
// decision.
std::optional<std::uint8_t> Expected(const TimbreStep& step, std::span<const std::uint8_t> m,
                                     std::size_t i) {
    if (const auto* move = std::get_if<FieldMove>(&step)) {
        return GetBits(m, move->from.bits.offset + i, move->from.bits.low, move->from.bits.high);
    }
    if (const auto* set = std::get_if<FieldSet>(&step)) {
        return set->value;  // the timbre table keeps nothing
    }
    if (const auto* mapping = std::get_if<FieldMapping>(&step)) {
        const std::uint8_t value = GetBits(m, mapping->from.bits);
        return mapping->map != nullptr ? mapping->map(value) : mapping->exactMap(value).value;
    }
    return std::nullopt;
}

// A copy carries its source field, a mapping its source's mapped value and a constant its value,
// over timbres of all zeros, all ones and a mixed pattern, so that a stray bit of a neighbour
// shows.
TEST(TimbreTable, EveryMoveAndMappingWritesItsSourceIntoItsTarget) {
    for (const std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x5A}}) {
        Ms2kProgramImage source = MakeImage("Fill", VoiceMode::Single);
        std::fill(M(source, 1).begin(), M(source, 1).end(), fill);
        ProgramConverter converter(source);
        converter.Convert();
        const auto m = M(source, 1);
        const auto r = R(converter.Image(), 1);
        for (const TimbreStep& step : TimbreConversionSteps()) {
            for (const RadiasTimbreField& to : TargetsOf(step)) {
                for (std::size_t i = 0; i < to.count; ++i) {
                    const auto expected = Expected(step, m, i);
                    if (!expected) {
                        continue;
                    }
                    const std::size_t at = to.bits.offset + i;
                    EXPECT_EQ(GetBits(r, at, to.bits.low, to.bits.high), *expected)
                        << "byte " << at << " fill " << int{fill};
                }
            }
        }
    }
}

// 64-bit FNV-1a of a whole Radias program.
std::uint64_t Fingerprint(const RadiasProgramImage& image) {
    std::uint64_t hash = 0xCBF29CE484222325U;
    for (const std::uint8_t byte : image) {
        hash = (hash ^ byte) * 0x100000001B3U;
    }
    return hash;
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += kDigits[bytes[i] >> 4U];
        text += kDigits[bytes[i] & 0xFU];
        text += i % 16 == 15 ? '\n' : ' ';
    }
    return text;
}

struct Known {
    const char* what;
    Ms2kProgramImage source;
    std::uint64_t fingerprint;
    const char* verdict;
};

// Every timbre byte its own value: each field lands somewhere recognisable.
Ms2kProgramImage PatternSingle() {
    Ms2kProgramImage image = MakeImage("Pattern", VoiceMode::Single);
    for (std::size_t n = 0; n < kMs2kTimbreSize; ++n) {
        M(image, 1)[n] = static_cast<std::uint8_t>(n * 37 + 11);
    }
    image[32] = 0x10;  // the arpeggiator drives timbre 1
    return image;
}

// Every byte after the name set: a split point of 255, waves and filter types beyond the tables.
Ms2kProgramImage OnesSplit() {
    Ms2kProgramImage image = MakeImage("AllOnes", VoiceMode::Split);
    std::fill(image.begin() + 17, image.end(), std::uint8_t{0xFF});
    return image;
}

// Two different timbres, the second with an approximation of every kind.
Ms2kProgramImage ApproximateDual() {
    Ms2kProgramImage image = MakeImage("Dual", VoiceMode::Dual);
    for (std::size_t n = 0; n < kMs2kTimbreSize; ++n) {
        M(image, 1)[n] = static_cast<std::uint8_t>(255 - n * 5);
        M(image, 2)[n] = static_cast<std::uint8_t>(n * 3 + 1);
    }
    const auto t1 = M(image, 1);
    const auto t2 = M(image, 2);
    t1[7] = 3;      // sine
    t1[14] = 64;    // OSC2 tune in the centre
    t1[19] = 3;     // high-pass filter
    t2[1] = 0x80;   // Unison
    t2[7] = 5;      // DWGS
    t2[27] = 0x41;  // gate and distortion
    t2[40] = 0x82;  // tempo sync, sync note 2
    t2[43] = 10;
    t2[54] = t2[72] = t2[90] = 2;
    image[32] = 0x20;  // the arpeggiator drives timbre 2
    return image;
}

TEST(TimbreTable, KnownProgramsConvertToKnownDumps) {
    const Known known[] = {
        {"pattern", PatternSingle(), 0xCC64A276DD749326U,
         "Approximate [OSC2 tune|EG2/Gate switch|LFO1 Sync Note|LFO2 Sync Note|SEQ1 Knob|"
         "SEQ2 Knob]"},
        {"ones", OnesSplit(), 0x8E055E616EA8AB69U,
         "Approximate [OSC2 tune|EG2/Gate switch|Distortion switch|LFO1 Sync Note|LFO2 Sync Note|"
         "SEQ1 Knob|SEQ2 Knob|SEQ3 Knob|OSC2 tune|EG2/Gate switch|Distortion switch|"
         "LFO1 Sync Note|LFO2 Sync Note|SEQ1 Knob|SEQ2 Knob|SEQ3 Knob]"},
        {"dual", ApproximateDual(), 0x1299EC424C4E0695U,
         "Approximate [EG2/Gate switch|LFO1 Sync Note|SEQ1 Knob|SEQ2 Knob|SEQ3 Knob|OSC1 DWGS|"
         "OSC2 tune|EG2/Gate switch|Distortion switch|LFO1 Sync Note|LFO2 Sync Note|SEQ1 Knob|"
         "SEQ2 Knob|SEQ3 Knob]"},
    };
    for (const Known& k : known) {
        ProgramConverter converter(k.source);
        converter.Convert();
        EXPECT_EQ(VerdictText(converter.Report()), k.verdict) << k.what;
        EXPECT_EQ(Fingerprint(converter.Image()), k.fingerprint)
            << k.what << ": the dump changed; timbre blocks now:\n"
            << Hex(R(converter.Image(), 1)) << "\n"
            << Hex(R(converter.Image(), 2));
    }
}

}  // namespace
}  // namespace patchferry
