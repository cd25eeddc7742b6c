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

TEST(TimbreConversion, EveryApproximationIsNamedInStepOrderAndStillWritten) {
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
    M(source, 1, 1) = 0xC0;  // b6..7 = 3: only step 9 sees it
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
    // Run over an R[38] that already holds wave 3 (b4..5 = 1), so that a kept cell shows.
    for (const Case c : {Case{0, 0, 0}, Case{1, 1, 0}, Case{2, 2, 0}, Case{3, 3, 1}, Case{4, 5, -1},
                         Case{5, 6, -1}, Case{6, 4, -1}, Case{7, 8, -1}, Case{8, -1, -1},
                         Case{9, -1, -1}, Case{255, -1, -1}}) {
        Ms2kProgramImage source = Plain(VoiceMode::Single);
        M(source, 1, 7) = 3;
        ProgramConverter converter(source);
        converter.Convert();
        const std::uint8_t before = R(converter.Image(), 1, 38);
        ASSERT_EQ(before & 0x3F, 0x13);
        M(source, 1, 7) = c.wave;
        converter.ConvertTimbre(1);
        const std::uint8_t after = R(converter.Image(), 1, 38);
        const int wave = c.wave;
        EXPECT_EQ(after & 0x0F, c.low < 0 ? before & 0x0F : c.low) << wave;
        EXPECT_EQ((after >> 4) & 3, c.high < 0 ? (before >> 4) & 3 : c.high) << wave;
        EXPECT_EQ(after & 0xC0, before & 0xC0) << wave;
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

// Each MS2000 byte gets its own value, and each Radias target is checked against where it must
// come from, crosswise bytes, cut fields and whole-byte writes included.
TEST(TimbreConversion, FieldsLandWhereTheyBelong) {
    Ms2kProgramImage source = Plain(VoiceMode::Single);
    for (std::size_t n = 0; n < 108; ++n) {
        M(source, 1, n) = static_cast<std::uint8_t>(0x80 + n);
    }
    M(source, 1, 1) = 0x4B;  // b6..7 = 1, b3 = 1, b0..1 = 3
    M(source, 1, 7) = 9;     // wave kept
    M(source, 1, 14) = 64;
    M(source, 1, 15) = 0xFF;
    M(source, 1, 19) = 2;
    M(source, 1, 27) = 0xBE;  // switches off, the unread bits set
    M(source, 1, 38) = 0xFF;
    M(source, 1, 40) = 0x8E;  // b7 and sync note 14
    M(source, 1, 41) = 0xF6;
    M(source, 1, 43) = 0x0B;  // sync note 11
    M(source, 1, 44) = 0x75;  // destination 7, source 5
    M(source, 1, 50) = 0xFF;  // slot 4: nibbles beyond the tables
    M(source, 1, 52) = 0x1F;
    M(source, 1, 53) = 0xE4;
    M(source, 1, 54) = 30;
    M(source, 1, 55) = 0x01;
    M(source, 1, 72) = 15;
    M(source, 1, 90) = 31;  // beyond the knob table
    ProgramConverter converter(source);
    converter.Convert();
    const auto& r = converter.Image();
    auto at = [&](std::size_t n) { return int{R(r, 1, n)}; };

    EXPECT_EQ(at(4), 0x80);
    EXPECT_EQ(at(11), 0x84);
    EXPECT_EQ(at(12), 0x7F);
    EXPECT_EQ(at(32), (Init(32) & 0x3C) | 0x80 | 0x40 | 0x03);
    EXPECT_EQ(at(34), 0);
    EXPECT_EQ(at(35), 0x85);
    EXPECT_EQ(at(36), 0x83);
    EXPECT_EQ(at(37), 0x86);
    EXPECT_EQ(at(38), Init(38));
    EXPECT_EQ(at(39), 0x88);
    EXPECT_EQ(at(40), 0x89);
    EXPECT_EQ(at(41), 62);                               // DWGS wave 0x8A is beyond the table
    EXPECT_EQ(at(43), (Init(43) & 0xCC) | 0x00 | 0x00);  // 0x8C: b4..5 = 0, b0..1 = 0
    EXPECT_EQ(at(44), 0x8D);
    EXPECT_EQ(at(46), 0x90);
    EXPECT_EQ(at(48), 0x92);
    EXPECT_EQ(at(50), 95);
    EXPECT_EQ(at(51), 0x94);
    EXPECT_EQ(at(53), 0x96);
    EXPECT_EQ(at(54), 0x98);  // crosswise: M[24]
    EXPECT_EQ(at(55), 0x97);  //            M[23]
    EXPECT_EQ(at(61), 0x99);
    EXPECT_EQ(at(62), Init(62));
    EXPECT_EQ(at(64), Init(64));
    EXPECT_EQ(at(65), 0x9A);
    EXPECT_EQ(at(66), 0x9D);
    EXPECT_EQ(at(67), 0);
    EXPECT_EQ(at(68), 0x9E);
    EXPECT_EQ(at(71), 0xA1);
    EXPECT_EQ(at(76), 0xA2);
    EXPECT_EQ(at(79), 0xA5);
    EXPECT_EQ(at(81), 0x9C);
    EXPECT_EQ(at(92), 3);  // whole byte
    EXPECT_EQ(at(94), 0xA7);
    EXPECT_EQ(at(95), (Init(95) & 0x1F) | 0x80 | 0x60);
    EXPECT_EQ(at(96), (Init(96) & 0xE0) | 15);
    EXPECT_EQ(at(97), (Init(97) & 0xF0) | 2);  // bit field: the upper nibble stays
    EXPECT_EQ(at(99), 0xAA);
    EXPECT_EQ(at(100), (Init(100) & 0x1F) | 0x00 | 0x60);
    EXPECT_EQ(at(101), (Init(101) & 0xE0) | 12);
    EXPECT_EQ(at(102), 8);
    EXPECT_EQ(at(103), 14);
    EXPECT_EQ(at(104), 0xAD);
    EXPECT_EQ(at(105), 7);  // 0xAE: source 14 and destination 10 are beyond the tables
    EXPECT_EQ(at(106), 14);
    EXPECT_EQ(at(111), 7);
    EXPECT_EQ(at(112), 14);
    EXPECT_EQ(at(113), 0xB3);
    EXPECT_EQ(at(172), (Init(172) & 0x40) | 0x00 | 0x10 | 0x0E);
    EXPECT_EQ(at(173), (Init(173) & 0x40) | 0x00 | 0x00 | 0x0F);
    EXPECT_EQ(at(174), 39);
    EXPECT_EQ(at(175), (Init(175) & 0x7F) | 0x80);
    EXPECT_EQ(at(176), 0xB8);
    EXPECT_EQ(at(191), 0xC7);
    EXPECT_EQ(at(192), 19);
    EXPECT_EQ(at(210), 39);
    EXPECT_EQ(at(227), 0xEB);
    EXPECT_EQ(converter.Report().Text(), "SEQ3 Knob");
}

TEST(TimbreConversion, BytesNoStepNamesKeepTheInitValues) {
    Ms2kProgramImage source = MakeImage("Busy", VoiceMode::Split);
    for (std::size_t i = 17; i < source.size(); ++i) {
        source[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 29));
    }
    ProgramConverter converter(source);
    converter.Convert();
    const auto kept = {1,  2,  3,  5,  13, 14,  15,  28,  29,  30,  31,  33,  42,  49,  56, 57,
                       58, 59, 60, 63, 72, 73,  74,  75,  80,  82,  83,  84,  85,  86,  87, 88,
                       89, 90, 91, 93, 98, 114, 115, 116, 117, 118, 119, 120, 140, 160, 171};
    for (const int t : {1, 2}) {
        for (const int n : kept) {
            EXPECT_EQ(R(converter.Image(), t, static_cast<std::size_t>(n)),
                      R(RadiasInitTemplateImage(), t, static_cast<std::size_t>(n)))
                << "timbre " << t << " byte " << n;
        }
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
