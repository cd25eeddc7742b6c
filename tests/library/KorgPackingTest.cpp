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

TEST(KorgPacking, UnpackerAddsTheTopBitToDataBytesThatAlreadyHaveIt) {
    // A data byte with bit 7 set is not valid in a dump, but it is taken as it comes: the flag
    // bit adds 0x80 modulo 256.
    KorgUnpacker unpacker;
    std::uint8_t out = 0;
    EXPECT_FALSE(unpacker.Feed(0x01, out));
    ASSERT_TRUE(unpacker.Feed(0x90, out));
    EXPECT_EQ(out, 0x10);
    ASSERT_TRUE(unpacker.Feed(0x90, out));
    EXPECT_EQ(out, 0x90);
}

TEST(KorgPacking, UnpackerCarriesPositionAndFlagsAcrossCalls) {
    // Eight data bytes with flag 0x7F, then a new group: the ninth byte is a flag again.
    KorgUnpacker unpacker;
    std::uint8_t out = 0;
    EXPECT_FALSE(unpacker.Feed(0x7F, out));
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(unpacker.Feed(0x00, out));
        EXPECT_EQ(out, 0x80);
    }
    EXPECT_FALSE(unpacker.Feed(0x00, out));
    ASSERT_TRUE(unpacker.Feed(0x05, out));
    EXPECT_EQ(out, 0x05);
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
