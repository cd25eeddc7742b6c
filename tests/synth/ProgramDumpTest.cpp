#include "synth/ProgramDump.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace patchferry {
namespace {

RadiasProgramImage VariedImage() {
    RadiasProgramImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 37U + 11U);
    }
    return image;
}

TEST(ProgramDumpTest, FramesThePackedProgramWithTheRadiasHeader) {
    const ProgramDump dump = BuildProgramDump(VariedImage(), 0);
    ASSERT_EQ(dump.size(), 2052U);
    EXPECT_EQ(dump[0], 0xF0);
    EXPECT_EQ(dump[1], 0x42);
    EXPECT_EQ(dump[2], 0x30);
    EXPECT_EQ(dump[3], 0x72);
    EXPECT_EQ(dump[4], 0x40);
    EXPECT_EQ(dump[2051], 0xF7);
    for (std::size_t i = 1; i < 2051; ++i) {
        EXPECT_EQ(dump[i] & 0x80, 0) << "offset " << i;
    }
}

TEST(ProgramDumpTest, UnpacksBackToTheImage) {
    const RadiasProgramImage image = VariedImage();
    const ProgramDump dump = BuildProgramDump(image, 3);
    RadiasProgramImage back{};
    const std::size_t written = KorgUnpack(std::span<const std::uint8_t>(dump).subspan(5, 2046),
                                           std::span<std::uint8_t>(back));
    EXPECT_EQ(written, image.size());
    EXPECT_EQ(back, image);
}

TEST(ProgramDumpTest, FirstAndLastGroupsStandWhereTheDumpSays) {
    RadiasProgramImage image{};
    image[0] = 0x80;
    // The last group holds image bytes 1785..1789; set bit 7 on its first and last byte.
    image[1785] = 0x81;
    image[1789] = 0xFF;
    const ProgramDump dump = BuildProgramDump(image, 0);
    EXPECT_EQ(dump[5], 0x01);  // flag of the first group: bit 7 of image byte 0
    EXPECT_EQ(dump[6], 0x00);
    EXPECT_EQ(dump[2045], 0x11);  // flag of the last group: bits 0 and 4
    EXPECT_EQ(dump[2046], 0x01);
    EXPECT_EQ(dump[2047], 0x00);
    EXPECT_EQ(dump[2050], 0x7F);
    EXPECT_EQ(dump[2051], 0xF7);
}

TEST(ProgramDumpTest, ChannelGoesIntoTheFormatByteAndOnlyZeroToFifteenAreAccepted) {
    const RadiasProgramImage image{};
    EXPECT_EQ(BuildProgramDump(image, 0)[2], 0x30);
    EXPECT_EQ(BuildProgramDump(image, 9)[2], 0x39);
    EXPECT_EQ(BuildProgramDump(image, 15)[2], 0x3F);
    EXPECT_THROW(BuildProgramDump(image, -1), std::invalid_argument);
    EXPECT_THROW(BuildProgramDump(image, 16), std::invalid_argument);
}

}  // namespace
}  // namespace patchferry
