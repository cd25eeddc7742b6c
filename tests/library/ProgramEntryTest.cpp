#include "library/ProgramEntry.h"

#include <gtest/gtest.h>

#include "support/SyxBuilder.h"

namespace patchferry {
namespace {

ProgramEntry EntryWithName(std::initializer_list<std::uint8_t> nameBytes) {
    Ms2kProgramImage image{};
    std::size_t i = 0;
    for (const auto byte : nameBytes) {
        image[i++] = byte;
    }
    return ProgramEntry('A', 1, image, "f");
}

TEST(ProgramEntry, NameStopsAtZeroAndLosesTrailingWhiteSpaceOnly) {
    EXPECT_EQ(ProgramEntry('A', 1, testing::MakeImage("Bass Lead"), "f").Name(), "Bass Lead");
    EXPECT_EQ(ProgramEntry('A', 1, testing::MakeImage(""), "f").Name(), "");
    EXPECT_EQ(EntryWithName({'P', 'a', 'd', 0, 'X', 'Y'}).Name(), "Pad");
    EXPECT_EQ(
        EntryWithName({' ', ' ', 'I', 'n', '\t', '\r', '\n', '\v', '\f', ' ', ' ', ' '}).Name(),
        "  In");
    EXPECT_EQ(
        EntryWithName({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'}).Name(),
        "ABCDEFGHIJKL");
}

TEST(ProgramEntry, CategoryComesFromBitsFourAndFiveOfByte16) {
    const std::pair<std::uint8_t, std::string_view> cases[] = {
        {0x30, "Vocoder"}, {0xF0, "Vocoder"}, {0x10, "Split"}, {0x0F, "Single"}, {0xE0, "Dual"}};
    for (const auto& [byte, label] : cases) {
        Ms2kProgramImage image{};
        image[16] = byte;
        EXPECT_EQ(ProgramEntry('A', 1, image, "f").CategoryLabel(), label) << int(byte);
    }
}

TEST(ProgramEntry, Labels) {
    const ProgramEntry entry('H', 16, Ms2kProgramImage{}, "bank");
    EXPECT_EQ(entry.BankLabel(), "H");
    EXPECT_EQ(entry.NumberLabel(), "016");
    EXPECT_EQ(ProgramEntry('A', 1, Ms2kProgramImage{}, "").NumberLabel(), "001");
}

}  // namespace
}  // namespace patchferry
