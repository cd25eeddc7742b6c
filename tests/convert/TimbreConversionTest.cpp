#include <gtest/gtest.h>

#include <string>

#include "convert/ProgramConverter.h"
#include "convert/RadiasInitTemplate.h"
#include "support/SyxBuilder.h"

namespace patchferry {
namespace {

using testing::MakeImage;

// Byte n of MS2000 timbre t.
std::uint8_t& M(Ms2kProgramImage& image, int t, std::size_t n) {
    return image[(t == 1 ? 38U : 146U) + n];
}

// Byte n of Radias timbre block t.
std::uint8_t R(const RadiasProgramImage& image, int t, std::size_t n) {
    return image[48U + 228U * static_cast<std::size_t>(t - 1) + n];
}

std::uint8_t Init(std::size_t n) {
    return R(RadiasInitTemplateImage(), 1, n);
}

std::string Timbre1Name(const RadiasProgramImage& image) {
    return {image.begin() + 64, image.begin() + 76};
}

// A timbre that needs nothing approximated: OSC2 tune in the centre, everything else 0.
Ms2kProgramImage Plain(VoiceMode mode) {
    Ms2kProgramImage image = MakeImage("Plain", mode);
    M(image, 1, 14) = 64;
    M(image, 2, 14) = 64;
    return image;
}

void SetEveryApproximation(Ms2kProgramImage& image, int t) {
    M(image, t, 7) = 4;      // OSC1 Vox
    M(image, t, 14) = 65;    // OSC2 tune off centre
    M(image, t, 27) = 0x41;  // EG2/Gate switch and distortion
    M(image, t, 40) = 2;     // LFO1 sync note without its own Radias note
    M(image, t, 43) = 10;    // LFO2 likewise
    M(image, t, 54) = 2;     // the three knob assignments without a counterpart
    M(image, t, 72) = 2;
    M(image, t, 90) = 2;
}

TEST(TimbreConversion, EveryApproximationIsNamedInTableOrderAndStillWritten) {
    Ms2kProgramImage source = Plain(VoiceMode::Single);
    SetEveryApproximation(source, 1);
    ProgramConverter converter(source);
    converter.Convert();
    EXPECT_EQ(VerdictText(converter.Report()),
              "Approximate [OSC1 Vox|OSC2 tune|EG2/Gate switch|Distortion switch|"
              "LFO1 Sync Note|LFO2 Sync Note|SEQ1 Knob|SEQ2 Knob|SEQ3 Knob]");
    const auto& r = converter.Image();
    EXPECT_EQ(R(r, 1, 38) & 0x0F, 5);
    EXPECT_EQ(R(r, 1, 45), 65);
    EXPECT_EQ(R(r, 1, 62), (Init(62) & 0xFC) | 1);
    EXPECT_EQ(R(r, 1, 64), 32);
    EXPECT_EQ(R(r, 1, 96) & 0x1F, 7);
    EXPECT_EQ(R(r, 1, 101) & 0x1F, 14);
    EXPECT_EQ(R(r, 1, 174), 0);
    EXPECT_EQ(R(r, 1, 192), 0);
    EXPECT_EQ(R(r, 1, 210), 0);

    M(source, 1, 7) = 5;
    converter.Convert();
    EXPECT_EQ(converter.Report().Text().substr(0, 19), "OSC1 DWGS|OSC2 tune");
    EXPECT_EQ(R(r, 1, 38) & 0x0F, 6);
}

TEST(TimbreConversion, DualConvertsBothTimbresFromTheirOwnBytes) {
    Ms2kProgramImage source = Plain(VoiceMode::Dual);
    for (const int t : {1, 2}) {
        M(source, t, 7) = 4;
        M(source, t, 14) = 63;
        M(source, t, 0) = static_cast<std::uint8_t>(0x10 * t);
        M(source, t, 107) = static_cast<std::uint8_t>(0x20 * t);
    }
    M(source, 2, 54) = 2;  // only in timbre 2
    ProgramConverter converter(source);
    converter.Convert();
    EXPECT_EQ(VerdictText(converter.Report()),
              "Approximate [OSC1 Vox|OSC2 tune|OSC1 Vox|OSC2 tune|SEQ1 Knob]");
    const auto& r = converter.Image();
    EXPECT_EQ(R(r, 1, 4), 0x10);
    EXPECT_EQ(R(r, 2, 4), 0x20);
    EXPECT_EQ(R(r, 1, 227), 0x20);
    EXPECT_EQ(R(r, 2, 227), 0x40);
    EXPECT_EQ(R(r, 2, 27), '2');
    EXPECT_EQ(R(r, 1, 6), Init(6));  // Dual keeps the init key ranges
    EXPECT_EQ(R(r, 2, 7), Init(7));
}

TEST(TimbreConversion, SplitPointDividesTheKeyRanges) {
    struct Case {
        std::uint8_t split, top1;
    };
    for (const Case c : {Case{60, 59}, Case{1, 0}, Case{127, 126}, Case{0, 255}}) {
        Ms2kProgramImage source = Plain(VoiceMode::Split);
        source[18] = c.split;
        ProgramConverter converter(source);
        converter.Convert();
        const auto& r = converter.Image();
        EXPECT_EQ(R(r, 1, 6), 0) << int{c.split};
        EXPECT_EQ(R(r, 1, 7), c.top1) << int{c.split};
        EXPECT_EQ(R(r, 2, 6), c.split);
        EXPECT_EQ(R(r, 2, 7), 127);
    }
    Ms2kProgramImage single = Plain(VoiceMode::Single);
    single[18] = 60;
    ProgramConverter converter(single);
    converter.Convert();
    EXPECT_EQ(R(converter.Image(), 1, 6), 0x00);
    EXPECT_EQ(R(converter.Image(), 1, 7), 0x7F);
}

TEST(TimbreConversion, NameIsTheProgramNameWithTheTimbreDigitLast) {
    Ms2kProgramImage source = Plain(VoiceMode::Split);
    ProgramConverter converter(source);
    converter.Convert();
    EXPECT_EQ(Timbre1Name(converter.Image()), "Plain      1");

    source = MakeImage("TwelveLetter", VoiceMode::Single);
    converter.Convert();
    EXPECT_EQ(Timbre1Name(converter.Image()), "TwelveLette1");
}

TEST(TimbreConversion, ArpeggiatorAssignmentMarksTheTimbresItDrives) {
    struct Case {
        VoiceMode mode;
        std::uint8_t assignment;
        bool timbre1, timbre2;
    };
    for (const Case c :
         {Case{VoiceMode::Single, 0, true, false}, Case{VoiceMode::Single, 2, false, false},
          Case{VoiceMode::Split, 0, true, true}, Case{VoiceMode::Split, 1, true, false},
          Case{VoiceMode::Dual, 2, false, true}, Case{VoiceMode::Dual, 3, false, false}}) {
        Ms2kProgramImage source = Plain(c.mode);
        source[32] = static_cast<std::uint8_t>(c.assignment << 4U);
        ProgramConverter converter(source);
        converter.Convert();
        const int assignment = c.assignment;
        EXPECT_EQ(R(converter.Image(), 1, 0), c.timbre1 ? 0x84 : 0x80) << assignment;
        if (c.mode != VoiceMode::Single) {
            // Block 2's init header byte is 00; bit 7 is always set.
            EXPECT_EQ(R(converter.Image(), 2, 0), c.timbre2 ? 0x84 : 0x80) << assignment;
        }
    }
}

TEST(TimbreConversion, VoiceAssignTwoWritesTheHeaderByVoiceMode) {
    for (const VoiceMode mode : {VoiceMode::Single, VoiceMode::Dual}) {
        Ms2kProgramImage source = Plain(mode);
        M(source, 1, 1) = 0x80;  // b6..7 = 2
        M(source, 1, 2) = 0x33;
        ProgramConverter converter(source);
        converter.Convert();
        const auto& r = converter.Image();
        EXPECT_EQ(R(r, 1, 8), (Init(8) & 0x70) | 0x80 | (mode == VoiceMode::Single ? 2 : 0));
        EXPECT_EQ(R(r, 1, 9), 0x33);
        EXPECT_EQ(R(r, 1, 10), 64);
        EXPECT_EQ(R(r, 1, 32) & 0x80, 0x80);
    }
    Ms2kProgramImage source = Plain(VoiceMode::Single);
    M(source, 1, 1) = 0xC0;  // b6..7 = 3: not Unison, but not Mono either
    M(source, 1, 2) = 0x33;
    ProgramConverter converter(source);
    converter.Convert();
    EXPECT_EQ(R(converter.Image(), 1, 8), Init(8));
    EXPECT_EQ(R(converter.Image(), 1, 9), Init(9));
    EXPECT_EQ(R(converter.Image(), 1, 10), Init(10));
    EXPECT_EQ(R(converter.Image(), 1, 32), (Init(32) & 0x3C) | 0x80);
}

TEST(TimbreConversion, Osc1WaveTableKeepsItsUnchangedCells) {
    struct Case {
        std::uint8_t wave;
        int low;   // R[38] b0..3, -1 when kept
        int high;  // R[38] b4..5, -1 when kept
    };
    // A kept cell leaves the init program's bits; the byte's other bits are never touched.
    const int init = Init(38);
    for (const Case c : {Case{0, 0, 0}, Case{3, 3, 1}, Case{4, 5, -1}, Case{5, 6, -1},
                         Case{8, -1, -1}, Case{255, -1, -1}}) {
        Ms2kProgramImage source = Plain(VoiceMode::Single);
        M(source, 1, 7) = c.wave;
        ProgramConverter converter(source);
        converter.Convert();
        const std::uint8_t after = R(converter.Image(), 1, 38);
        const int wave = c.wave;
        EXPECT_EQ(after & 0x0F, c.low < 0 ? init & 0x0F : c.low) << wave;
        EXPECT_EQ((after >> 4) & 3, c.high < 0 ? (init >> 4) & 3 : c.high) << wave;
        EXPECT_EQ(after & 0xC0, init & 0xC0) << wave;
    }
}

TEST(TimbreConversion, FilterTypeTableAndTypesBeyondIt) {
    const int expected[] = {0, 31, 95, 63, Init(50), Init(50)};
    for (std::uint8_t type = 0; type < 6; ++type) {
        Ms2kProgramImage source = Plain(VoiceMode::Single);
        M(source, 1, 19) = type;
        ProgramConverter converter(source);
        converter.Convert();
        EXPECT_EQ(R(converter.Image(), 1, 50), expected[type]) << int{type};
    }
}

TEST(TimbreConversion, OscillatorTwoTuneIsReportedOnlyOffCentre) {
    for (const int tune : {0, 63, 64, 65, 127}) {
        Ms2kProgramImage source = Plain(VoiceMode::Single);
        M(source, 1, 14) = static_cast<std::uint8_t>(tune);
        ProgramConverter converter(source);
        converter.Convert();
        EXPECT_EQ(R(converter.Image(), 1, 45), tune);
        EXPECT_EQ(converter.Report().Text(), tune == 64 ? "" : "OSC2 tune");
    }
}

TEST(TimbreConversion, OneKnobOutsideTheRadiasListNamesOnlyItsLane) {
    Ms2kProgramImage source = Plain(VoiceMode::Single);
    M(source, 1, 72) = 2;
    M(source, 1, 73) = 0xFE;  // b0 = 0
    M(source, 1, 74) = 0x11;
    ProgramConverter converter(source);
    converter.Convert();
    EXPECT_EQ(VerdictText(converter.Report()), "Approximate [SEQ2 Knob]");
    EXPECT_EQ(R(converter.Image(), 1, 192), 0);
    EXPECT_EQ(R(converter.Image(), 1, 193), Init(193) & 0x7F);
    EXPECT_EQ(R(converter.Image(), 1, 194), 0x11);
}

}  // namespace
}  // namespace patchferry
