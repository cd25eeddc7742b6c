#include "library/KorgPacking.h"

#include <gtest/gtest.h>

#include <numeric>

namespace patchferry {
namespace {

TEST(KorgPacking, PackedSizesOfTheFormats) {
    EXPECT_EQ(KorgPackedSize(254), 291U);
    EXPECT_EQ(KorgPackedSize(128 * 254), 37157U);
    EXPECT_EQ(KorgPackedSize(1790), 2046U);
    EXPECT_EQ(KorgPackedSize(7), 8U);
    EXPECT_EQ(KorgPackedSize(8), 10U);
    EXPECT_EQ(KorgPackedSize(0), 0U);
}

TEST(KorgPacking, FlagBitsCarryBitSevenOfEachByteOfTheGroup) {
    const std::vector<std::uint8_t> in = {0x80, 0x01, 0xFF, 0x7F, 0x00, 0x00, 0x81, 0x90};
    const auto packed = KorgPack(in);
    const std::vector<std::uint8_t> expected = {0x45, 0x00, 0x01, 0x7F, 0x7F,
                                                0x00, 0x00, 0x01, 0x01, 0x10};
    EXPECT_EQ(packed, expected);
}

TEST(KorgPacking, NoPackedByteHasBitSevenAndTheStreamRoundTrips) {
    for (const std::size_t length : {1U, 5U, 7U, 13U, 254U, 1790U, 32512U}) {
        std::vector<std::uint8_t> in(length);
        for (std::size_t i = 0; i < length; ++i) {
            in[i] = static_cast<std::uint8_t>((i * 151 + 7) & 0xFF);
        }
        const auto packed = KorgPack(in);
        ASSERT_EQ(packed.size(), KorgPackedSize(length));
        for (const auto byte : packed) {
            ASSERT_EQ(byte & 0x80, 0) << "length " << length;
        }
        std::vector<std::uint8_t> out(length);
        EXPECT_EQ(KorgUnpack(packed, out), length);
        EXPECT_EQ(out, in) << "length " << length;
    }
}

TEST(KorgPacking, UnpackAddsTheTopBitToDataBytesThatAlreadyHaveIt) {
    // A data byte with bit 7 set is not valid in a dump, but it is taken as it comes: the flag
    // bit adds 0x80 modulo 256.
    const std::vector<std::uint8_t> in = {0x01, 0x90, 0x90};
    std::vector<std::uint8_t> out(2);
    ASSERT_EQ(KorgUnpack(in, out), 2U);
    EXPECT_EQ(out[0], 0x10);
    EXPECT_EQ(out[1], 0x90);
}

// The rule as a position counter over the packed bytes, one byte at a time.
std::vector<std::uint8_t> UnpackByteByByte(const std::vector<std::uint8_t>& in) {
    std::vector<std::uint8_t> out;
    unsigned position = 0;
    std::uint8_t flags = 0;
    for (const auto byte : in) {
        if (position == 0) {
            flags = byte;
        } else {
            out.push_back(static_cast<std::uint8_t>((flags & 1U) != 0 ? byte + 0x80 : byte));
            flags = static_cast<std::uint8_t>(flags >> 1U);
        }
        position = (position + 1) % 8;
    }
    return out;
}

TEST(KorgPacking, UnpackOfArbitraryBytesFollowsTheByteByByteRule) {
    for (const std::size_t length : {0U, 1U, 8U, 9U, 15U, 16U, 17U, 291U, 2046U}) {
        std::vector<std::uint8_t> in(length);
        for (std::size_t i = 0; i < length; ++i) {
            in[i] = static_cast<std::uint8_t>((i * 197 + 13) & 0xFF);  // flags and data with bit 7
        }
        const auto expected = UnpackByteByByte(in);
        std::vector<std::uint8_t> out(expected.size() + 3, 0xAA);
        ASSERT_EQ(KorgUnpack(in, out), expected.size()) << "length " << length;
        out.resize(expected.size());
        EXPECT_EQ(out, expected) << "length " << length;
    }
}

TEST(KorgPacking, UnpackStopsWhereInputOrOutputEnds) {
    // Two groups: eight bytes 0x80 after flag 0x7F; the ninth packed byte is a flag again.
    const std::vector<std::uint8_t> in = {0x7F, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x05, 0x06};
    std::vector<std::uint8_t> out(20, 0xAA);
    ASSERT_EQ(KorgUnpack(in, out), 9U);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + 9),
              (std::vector<std::uint8_t>{0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05, 0x06}));
    EXPECT_EQ(out[9], 0xAA);
    std::vector<std::uint8_t> small(3);
    EXPECT_EQ(KorgUnpack(in, small), 3U);
}

TEST(KorgPacking, WorksAtCompileTime) {
    constexpr auto packed = [] {
        std::array<std::uint8_t, 3> in = {0x80, 0x7F, 0xC0};
        std::array<std::uint8_t, 4> out{};
        KorgPack(in, out);
        return out;
    }();
    static_assert(packed[0] == 0x05 && packed[1] == 0x00 && packed[2] == 0x7F && packed[3] == 0x40);
    SUCCEED();
}

}  // namespace
}  // namespace patchferry
