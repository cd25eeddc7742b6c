// Vocoder programs: the fields that carry over exactly, the edges of the few that do not, and
// the bits that may change at all.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <string>

#include "convert/ProgramConverter.h"
#include "convert/RadiasInitTemplate.h"
#include "convert/VocoderConversion.h"
#include "support/SyxBuilder.h"

namespace patchferry {
namespace {

using testing::MakeImage;

constexpr std::size_t kArea = 38;      // the vocoder area in the MS2000 program
constexpr std::size_t kVocoder = 960;  // the vocoder block in the Radias program
constexpr std::size_t kCarrier = 48;   // timbre block 1
constexpr std::size_t kTimbre2 = 276;  // timbre blocks 2..4 up to the vocoder block

std::span<std::uint8_t> Area(Ms2kProgramImage& image) {
    return std::span<std::uint8_t>{image}.subspan(kArea, 108);
}

Ms2kProgramImage Filled(std::uint8_t fill) {
    Ms2kProgramImage image = MakeImage("Talk Box", VoiceMode::Vocoder);
    std::fill(Area(image).begin(), Area(image).end(), fill);
    return image;
}

struct Converted {
    RadiasProgramImage image;
    std::string verdict;
};

Converted Convert(const Ms2kProgramImage& source) {
    ProgramConverter converter(source);
    converter.Convert();
    return {converter.Image(), VerdictText(converter.Report())};
}

bool Contains(const std::string& verdict, const std::string& name) {
    return verdict.find(name) != std::string::npos;
}

void ExpectUntouchedBeyondTimbre1(const RadiasProgramImage& image) {
    const RadiasProgramImage& init = RadiasInitTemplateImage();
    EXPECT_TRUE(
        std::equal(init.begin() + kTimbre2, init.begin() + kVocoder, image.begin() + kTimbre2));
}

// Every byte of the area its own value, so that each field shows where it went.
TEST(VocoderConversion, ExactFieldsOfAProgramWhoseValuesAreAllDistinct) {
    Ms2kProgramImage source = MakeImage("Robot Choir", VoiceMode::Vocoder);
    for (std::size_t n = 0; n < 108; ++n) {
        Area(source)[n] = static_cast<std::uint8_t>(20 + n);
    }
    source[30] = 0;
    source[31] = 120;  // tempo
    const auto m = Area(source);
    const auto [r, verdict] = Convert(source);

    EXPECT_EQ(verdict,
              "Approximate [Vocoder switch|Vocoder inputs|Inst level|Formant shift|"
              "Fc mod source|Distortion switch|LFO1 Sync Note]");
    EXPECT_EQ(std::string(r.begin(), r.begin() + 12), "Robot Choir ");
    EXPECT_EQ(r[1060], 0xB0);
    EXPECT_EQ(r[18], 0x91);                                    // timbre 1 and the vocoder
    EXPECT_EQ(r[kVocoder] & 0xE0, 0x80 | ((m[12] & 1) << 5));  // on, HPF gate, modulator kept
    const std::array<std::pair<std::size_t, std::size_t>, 9> exact = {{
        {1, 19},   // gate sense
        {2, 20},   // threshold
        {3, 18},   // HPF level
        {4, 28},   // direct level
        {7, 27},   // vocoder level
        {41, 22},  // cutoff offset
        {42, 23},  // resonance
        {43, 25},  // fc mod intensity
        {44, 26},  // E.F. sense
    }};
    for (const auto& [to, from] : exact) {
        EXPECT_EQ(r[kVocoder + to], m[from]) << "vocoder byte " << to;
    }
    for (std::size_t band = 0; band < 16; ++band) {
        EXPECT_EQ(r[kVocoder + 8 + 2 * band], m[62 + band]) << "pan of band " << band;
        EXPECT_EQ(r[kVocoder + 9 + 2 * band], m[46 + band]) << "level of band " << band;
    }
    EXPECT_EQ(r[kVocoder + 45] & 0x03, 1);  // timbre 1 carries

    // The carrier: a few of the timbre table's fields, from their vocoder-area places.
    EXPECT_EQ(std::string(r.begin() + kCarrier + 16, r.begin() + kCarrier + 28), "Robot Choir1");
    EXPECT_EQ(r[kCarrier + 4], m[0]);           // MIDI channel
    EXPECT_EQ(r[kCarrier + 12], m[14] & 0x7F);  // portamento
    EXPECT_EQ(r[kCarrier + 46], m[15]);         // OSC1 level
    EXPECT_EQ(r[kCarrier + 48], m[17]);         // noise level
    EXPECT_TRUE(std::equal(m.begin() + 32, m.begin() + 36, r.begin() + kCarrier + 68));  // EG1
    EXPECT_TRUE(std::equal(m.begin() + 36, m.begin() + 40, r.begin() + kCarrier + 76));  // EG2
    EXPECT_EQ(r[kCarrier + 81], m[30]);  // amp velocity sense
    ExpectUntouchedBeyondTimbre1(r);
}

// All zeros, all 7F (E.F. sense Hold) and all FF: copies stay whole, the bits of the vocoder
// block's first byte that are not known keep the init program's values, and the input levels too.
TEST(VocoderConversion, FilledAreasKeepWhatIsNotKnown) {
    const RadiasProgramImage& init = RadiasInitTemplateImage();
    for (const std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
        const auto [r, verdict] = Convert(Filled(fill));
        EXPECT_EQ(r[kVocoder] & 0x5F, init[kVocoder] & 0x5F) << int{fill};
        EXPECT_EQ(r[kVocoder + 5], init[kVocoder + 5]);
        EXPECT_EQ(r[kVocoder + 6], init[kVocoder + 6]);
        EXPECT_EQ(r[kVocoder + 44], fill);  // E.F. sense, 7F is Hold
        EXPECT_EQ(r[kVocoder + 9], fill);   // band 1 level
        EXPECT_EQ(r[kVocoder + 1], fill);   // gate sense
        EXPECT_EQ(r[kVocoder + 45] & 0x03, 1);
        ExpectUntouchedBeyondTimbre1(r);
        EXPECT_TRUE(verdict.starts_with("Approximate [Vocoder switch|Vocoder inputs"));
        EXPECT_EQ(Contains(verdict, "Inst level"), fill != 0) << verdict;
    }
    EXPECT_EQ(Convert(Filled(0)).verdict,
              "Approximate [Vocoder switch|Vocoder inputs|Fc mod source]");
}

// Formant shift 0, +1, +2 carry over as 0..2; -1, -2 and anything beyond are reported. The fc mod
// source is reported only where the intensity is not zero (64).
TEST(VocoderConversion, FormantShiftAndFcModSourceAtTheirEdges) {
    for (std::uint8_t shift = 0; shift <= 6; ++shift) {
        Ms2kProgramImage source = Filled(0);
        Area(source)[21] = shift;
        Area(source)[25] = 64;
        const auto [r, verdict] = Convert(source);
        EXPECT_EQ((r[kVocoder + 40] >> 4U) & 0x07, std::min<int>(shift, 4)) << int{shift};
        EXPECT_EQ(Contains(verdict, "Formant shift"), shift > 2) << verdict;
        EXPECT_FALSE(Contains(verdict, "Fc mod source")) << verdict;
    }
    // EG1, EG2, LFO1, LFO2, velocity, keyboard track in the Radias's order; MIDI 1 and 2, which
    // it lacks, and anything beyond keep the init program's source.
    const int kept = patchferry::RadiasInitTemplateImage()[kVocoder + 40] & 0x0F;
    const std::array<int, 9> radiasSource = {0, 1, 3, 4, 5, 8, kept, kept, kept};
    for (std::uint8_t source = 0; source < radiasSource.size(); ++source) {
        for (const int intensity : {63, 64, 65}) {
            Ms2kProgramImage image = Filled(0);
            Area(image)[24] = source;
            Area(image)[25] = static_cast<std::uint8_t>(intensity);
            const auto [r, verdict] = Convert(image);
            EXPECT_EQ(r[kVocoder + 40] & 0x0F, radiasSource[source]) << int{source};
            EXPECT_EQ(Contains(verdict, "Fc mod source"), intensity != 64) << verdict;
        }
    }
}

// Per byte of a block, the bits that the steps write (kept fields excluded).
template <typename Step, std::size_t N>
std::array<std::uint8_t, N> WrittenBits(std::span<const Step> steps) {
    std::array<std::uint8_t, N> bits{};
    for (const Step& step : steps) {
        const auto* set = std::get_if<kSetStep>(&step);
        if (set != nullptr && set->kind == std::remove_cvref_t<decltype(*set)>::Kind::Keep) {
            continue;
        }
        for (const auto& field : TargetsOf(step)) {
            for (std::size_t i = field.bits.offset; i < field.End(); ++i) {
                bits[i] = static_cast<std::uint8_t>(bits[i] | field.Mask());
            }
        }
    }
    return bits;
}

// Whatever a Vocoder program holds, the Radias program differs from the init program only in the
// program-wide fields and in bits that a step of the two tables writes.
TEST(VocoderConversion, OnlyWrittenBitsLeaveTheInitProgram) {
    std::array<std::uint8_t, kRadiasProgramSize> allowed{};
    std::fill(allowed.begin(), allowed.begin() + 12, std::uint8_t{0xFF});  // name
    allowed[18] = 0x13;
    std::fill(allowed.begin() + 1060, allowed.begin() + 1068, std::uint8_t{0xFF});  // tempo, arp
    const auto carrier =
        WrittenBits<StepOf<Ms2kVocoderField, RadiasTimbreField>, 228>(CarrierConversionSteps());
    const auto vocoder =
        WrittenBits<StepOf<Ms2kVocoderField, RadiasVocoderField>, 46>(VocoderConversionSteps());
    std::copy(carrier.begin(), carrier.end(), allowed.begin() + kCarrier);
    std::copy(vocoder.begin(), vocoder.end(), allowed.begin() + kVocoder);

    const RadiasProgramImage& init = RadiasInitTemplateImage();
    std::mt19937 random(31);
    for (int round = 0; round < 200; ++round) {
        Ms2kProgramImage source = MakeImage("Random", VoiceMode::Vocoder);
        for (std::size_t i = 17; i < source.size(); ++i) {
            source[i] = round == 0 ? 0x00 : round == 1 ? 0xFF : static_cast<std::uint8_t>(random());
        }
        const auto [r, verdict] = Convert(source);
        for (std::size_t i = 0; i < kRadiasProgramSize; ++i) {
            ASSERT_EQ((r[i] ^ init[i]) & ~allowed[i], 0) << "byte " << i << " round " << round;
        }
    }
}

}  // namespace
}  // namespace patchferry
