#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "convert/ProgramConverter.h"
#include "convert/RadiasInitTemplate.h"
#include "support/SyxBuilder.h"

namespace patchferry {
namespace {

using testing::MakeImage;

constexpr std::size_t kBlockSize = 228;
constexpr std::size_t kTempoLow = 1060;

std::span<const std::uint8_t> Block(const RadiasProgramImage& image, std::size_t k) {
    return std::span<const std::uint8_t>{image}.subspan(48 + kBlockSize * (k - 1), kBlockSize);
}

bool SameBlock(const RadiasProgramImage& image, std::size_t k) {
    const auto block = Block(image, k);
    const auto init = Block(RadiasInitTemplateImage(), k);
    return std::equal(block.begin(), block.end(), init.begin());
}

// A program with every byte set, so that a stray write would show.
Ms2kProgramImage BusyImage(VoiceMode mode) {
    Ms2kProgramImage image = MakeImage("Busy", mode);
    for (std::size_t i = 17; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(0x5A + i * 13);
    }
    return image;
}

TEST(ProgramConversion, NameAndTempoAtBothEnds) {
    Ms2kProgramImage source = MakeImage("Init Program");
    source[38 + 14] = 64;  // OSC2 tune in the centre: nothing approximate
    source[0] = 0xFF;
    source[5] = 0x00;
    ProgramConverter converter(source);

    struct Tempo {
        std::uint8_t high, low, radiasLow, radiasHigh;
    };
    for (const Tempo tempo : {Tempo{0x00, 0x78, 0xB0, 0x04}, Tempo{0x01, 0x2C, 0xB8, 0x0B},
                              Tempo{0x00, 0x14, 0xC8, 0x00}}) {
        source[30] = tempo.high;
        source[31] = tempo.low;
        converter.Convert();
        EXPECT_EQ(converter.Image()[kTempoLow], tempo.radiasLow);
        EXPECT_EQ(converter.Image()[kTempoLow + 1], tempo.radiasHigh);
    }
    EXPECT_TRUE(std::equal(source.begin(), source.begin() + 12, converter.Image().begin()));
    EXPECT_EQ(converter.Quality(), ConversionQuality::Good);
    EXPECT_EQ(VerdictText(converter.Report()), "Good");
}

TEST(ProgramConversion, ArpeggiatorFieldsAreCutAndKeepTheInitBitsAround) {
    Ms2kProgramImage source = MakeImage("Arp");
    source[38 + 14] = 64;
    source[32] = 0xC1;  // all three switches
    source[33] = 0x2D;  // 13 and 2
    source[34] = 0x99;
    source[35] = 4;
    source[36] = 0xE7;
    ProgramConverter converter(source);
    converter.Convert();
    const auto& r = converter.Image();
    EXPECT_EQ(r[1062], 0xC0);
    EXPECT_EQ(r[1063], 0x3F);
    EXPECT_EQ(r[1064], 0x55);  // 4 + 1 above, 13 cut to 3 bits below, bit 3 the init's 0
    EXPECT_EQ(r[1065], 0xCF);  // switch, 2, then the init's 0F
    EXPECT_EQ(r[1066], 0x99);
    EXPECT_EQ(r[1067], 0xE7);
    EXPECT_EQ(converter.Quality(), ConversionQuality::Good);  // cutting is never reported

    source[32] = 0x3E;  // switches off, the other bits set
    source[33] = 0xF0;
    source[35] = 15;  // 16 does not fit four bits
    converter.Convert();
    EXPECT_EQ(r[1062], 0x00);
    EXPECT_EQ(r[1064], 0x00);
    EXPECT_EQ(r[1065], 0x6F);
}

TEST(ProgramConversion, VoiceModeSelectsTheTimbresInUse) {
    for (const VoiceMode mode : {VoiceMode::Single, VoiceMode::Split, VoiceMode::Dual}) {
        const Ms2kProgramImage source = BusyImage(mode);
        ProgramConverter converter(source);
        converter.Convert();
        const auto& r = converter.Image();
        EXPECT_EQ(r[18], mode == VoiceMode::Single ? 0x81 : 0x83);
        EXPECT_FALSE(SameBlock(r, 1));
        EXPECT_EQ(SameBlock(r, 2), mode == VoiceMode::Single);
        EXPECT_TRUE(SameBlock(r, 3));
        EXPECT_TRUE(SameBlock(r, 4));
        // Only the name, byte 18 and the tempo and arpeggiator bytes change outside the blocks.
        for (std::size_t i = 12; i < 48; ++i) {
            if (i != 18) {
                EXPECT_EQ(r[i], RadiasInitTemplateImage()[i]) << i;
            }
        }
        for (std::size_t i = 960; i < kRadiasProgramSize; ++i) {
            if (i < 1060 || i > 1067) {
                ASSERT_EQ(r[i], RadiasInitTemplateImage()[i]) << i;
            }
        }
    }
}

TEST(ProgramConversion, EveryConvertStartsAfresh) {
    Ms2kProgramImage source = MakeImage("Again", VoiceMode::Dual);
    source[38 + 14] = 65;
    source[146 + 14] = 63;
    source[146 + 0] = 0x77;
    source[146 + 100] = 0x66;
    ProgramConverter converter(source);
    converter.Convert();
    const RadiasProgramImage once = converter.Image();
    const std::string text = converter.Report().Text();
    converter.Convert();
    EXPECT_EQ(converter.Image(), once);
    EXPECT_EQ(converter.Report().Text(), text);
    EXPECT_EQ(VerdictText(converter.Report()), "Approximate [OSC2 tune|OSC2 tune]");

    // The same converter over a program that has become a Single one: nothing of timbre 2
    // survives from the previous conversion.
    source[16] = 0;
    source[146 + 14] = 64;
    converter.Convert();
    EXPECT_TRUE(SameBlock(converter.Image(), 2));
    EXPECT_EQ(converter.Report().Text(), "OSC2 tune");
}

// A new converter holds the init program and its first Convert() need not load it again; but
// a stage run on its own before that has written the image, and Convert() must start afresh.
TEST(ProgramConversion, FirstConvertStartsAfreshAfterAStageWroteTheImage) {
    const Ms2kProgramImage source = BusyImage(VoiceMode::Single);
    ProgramConverter fresh(source);
    EXPECT_EQ(fresh.Image(), RadiasInitTemplateImage());
    fresh.Convert();

    ProgramConverter staged(source);
    staged.ConvertTimbre(2);
    EXPECT_FALSE(SameBlock(staged.Image(), 2));
    staged.Convert();
    EXPECT_EQ(staged.Image(), fresh.Image());
}

}  // namespace
}  // namespace patchferry
