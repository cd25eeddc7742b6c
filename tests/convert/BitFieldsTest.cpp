#include "convert/BitFields.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <vector>

namespace patchferry {
namespace {

struct Range {
    unsigned low;
    unsigned high;
};

std::vector<Range> AllRanges() {
    std::vector<Range> ranges;
    for (unsigned low = 0; low <= 7; ++low) {
        for (unsigned high = low; high <= 7; ++high) {
            ranges.push_back({low, high});
        }
    }
    return ranges;
}

class BitFieldRange : public ::testing::TestWithParam<Range> {};

// Bits of `byte` inside low..high, counted one by one rather than with a mask.
unsigned FieldOf(unsigned byte, Range range) {
    unsigned value = 0;
    for (unsigned bit = range.high + 1; bit-- > range.low;) {
        value = (value << 1U) | ((byte >> bit) & 1U);
    }
    return value;
}

TEST_P(BitFieldRange, SetCutsTheValueAndLeavesTheNeighboursAlone) {
    const Range range = GetParam();
    const unsigned width = range.high - range.low + 1;
    const unsigned widest = (1U << width) - 1U;
    for (const unsigned background : {0x00U, 0xFFU, 0xA5U, 0x5AU}) {
        for (const unsigned value : {0U, 1U, widest, widest + 1U, 0xFFU}) {
            std::array<std::uint8_t, 3> bytes = {0x3C, static_cast<std::uint8_t>(background), 0xC3};
            SetBits(bytes, 1, static_cast<std::uint8_t>(value), range.low, range.high);
            const std::uint8_t written = bytes[1];
            EXPECT_EQ(FieldOf(written, range), value % (widest + 1U))
                << "value " << value << " bits " << range.low << ".." << range.high;
            for (unsigned bit = 0; bit < 8; ++bit) {
                if (bit < range.low || bit > range.high) {
                    EXPECT_EQ((written >> bit) & 1U, (background >> bit) & 1U)
                        << "neighbour bit " << bit << " of " << range.low << ".." << range.high;
                }
            }
            EXPECT_EQ(bytes[0], 0x3C);
            EXPECT_EQ(bytes[2], 0xC3);
            EXPECT_EQ(GetBits(bytes, 1, range.low, range.high), value % (widest + 1U));
        }
    }
}

TEST_P(BitFieldRange, GetReadsOnlyItsOwnBits) {
    const Range range = GetParam();
    for (unsigned byte = 0; byte < 256; ++byte) {
        const std::array<std::uint8_t, 1> bytes = {static_cast<std::uint8_t>(byte)};
        ASSERT_EQ(GetBits(bytes, 0, range.low, range.high), FieldOf(byte, range)) << byte;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRange, BitFieldRange, ::testing::ValuesIn(AllRanges()),
                         [](const auto& range) {
                             std::ostringstream name;
                             name << 'b' << range.param.low << "to" << range.param.high;
                             return name.str();
                         });

TEST(BitFields, TheExamplesOfTheFormat) {
    std::array<std::uint8_t, 1> byte = {0xFF};
    SetBits(byte, 0, 5, 2, 3);  // 5 does not fit two bits: 1 is stored
    EXPECT_EQ(byte[0], 0xF7);
    SetBits(byte, 0, 0, 4, 7);
    EXPECT_EQ(byte[0], 0x07);
    SetBits(byte, BitField{0, 7}, 1);
    EXPECT_EQ(GetBits(byte, BitField{0, 6, 7}), 2);
    EXPECT_EQ(GetBits(byte, 0, 0, 7), 0x87);
}

// Both work in constant expressions, which the field declarations rely on.
constexpr std::uint8_t SetInConstantExpression() {
    std::array<std::uint8_t, 1> byte = {0x81};
    SetBits(byte, BitField{0, 1, 6}, 0x7F);
    return byte[0];
}
static_assert(SetInConstantExpression() == 0xFF);

}  // namespace
}  // namespace patchferry
