#include "convert/ValueMappings.h"

#include <gtest/gtest.h>

#include <array>

namespace patchferry {
namespace {

TEST(ValueMappings, SyncNoteTableAndItsTwoInexactNotes) {
    const std::array<int, 15> expected = {3, 4, 7, 5, 6, 7, 8, 9, 10, 11, 14, 12, 13, 14, 15};
    for (unsigned in = 0; in < expected.size(); ++in) {
        bool exact = in == 2 || in == 10;  // the opposite of what must come back
        EXPECT_EQ(MapSyncNote(static_cast<std::uint8_t>(in), exact), expected[in]) << in;
        EXPECT_EQ(exact, in != 2 && in != 10) << in;
    }
}

TEST(ValueMappings, SeqKnobTableAndItsOneInexactAssignment) {
    const std::array<int, 31> expected = {0,  1,  0,  2,  3,  4,  5,  6,  7,  8,  9,
                                          10, 11, 13, 14, 19, 20, 22, 23, 24, 25, 26,
                                          27, 28, 29, 34, 35, 36, 37, 38, 39};
    for (unsigned in = 0; in < expected.size(); ++in) {
        bool exact = in == 2;
        EXPECT_EQ(MapSeqKnob(static_cast<std::uint8_t>(in), exact), expected[in]) << in;
        EXPECT_EQ(exact, in != 2) << in;
    }
}

// The fields feeding the tables are wider than the tables: everything beyond takes the last
// entry, and the two tables with an exact flag call it inexact so that the timbre reports it.
TEST(ValueMappings, InputsBeyondATableTakeItsLastEntry) {
    for (unsigned in = 15; in < 256; ++in) {
        bool exact = true;
        ASSERT_EQ(MapSyncNote(static_cast<std::uint8_t>(in), exact), 15) << in;
        ASSERT_FALSE(exact) << in;
    }
    for (unsigned in = 31; in < 256; ++in) {
        bool exact = true;
        ASSERT_EQ(MapSeqKnob(static_cast<std::uint8_t>(in), exact), 39) << in;
        ASSERT_FALSE(exact) << in;
    }
    for (unsigned in = 8; in < 16; ++in) {
        EXPECT_EQ(MapPatchSource(static_cast<std::uint8_t>(in)), 7) << in;
        EXPECT_EQ(MapPatchDestination(static_cast<std::uint8_t>(in)), 14) << in;
    }
    EXPECT_EQ(MapDwgsWave(64), 62);
    EXPECT_EQ(MapDwgsWave(255), 62);
}

TEST(ValueMappings, PatchSourceAndDestination) {
    const std::array<int, 8> sources = {0, 1, 3, 4, 5, 8, 6, 7};
    const std::array<int, 8> destinations = {0, 1, 2, 5, 7, 11, 12, 14};
    for (unsigned in = 0; in < 8; ++in) {
        EXPECT_EQ(MapPatchSource(static_cast<std::uint8_t>(in)), sources[in]) << in;
        EXPECT_EQ(MapPatchDestination(static_cast<std::uint8_t>(in)), destinations[in]) << in;
    }
}

TEST(ValueMappings, DwgsWaveTable) {
    const std::array<int, 64> expected = {
        29, 30, 31, 32, 33, 34, 35, 16, 17, 18, 19, 16, 17, 18, 29, 30, 31, 32, 33, 34, 35, 29,
        30, 59, 60, 59, 44, 45, 46, 47, 48, 49, 50, 51, 63, 0,  1,  2,  0,  5,  6,  7,  8,  9,
        10, 11, 38, 38, 39, 40, 39, 16, 17, 18, 19, 17, 41, 42, 43, 41, 61, 62, 61, 62};
    for (unsigned in = 0; in < expected.size(); ++in) {
        EXPECT_EQ(MapDwgsWave(static_cast<std::uint8_t>(in)), expected[in]) << in;
    }
}

// The mappings are usable where the conversion needs constants.
constexpr bool MapsInConstantExpressions() {
    bool exact = true;
    return MapSyncNote(2, exact) == 7 && !exact && MapDwgsWave(35) == 0;
}
static_assert(MapsInConstantExpressions());

}  // namespace
}  // namespace patchferry
