#include "convert/ValueMappings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace patchferry {
namespace {

// Every input of a whole byte maps in a constant expression, where a read outside a table would
// not compile.
constexpr bool EveryByteMaps() {
    unsigned sum = 0;
    for (unsigned in = 0; in < 256; ++in) {
        const auto value = static_cast<std::uint8_t>(in);
        sum += unsigned{MapSyncNote(value).value} + MapSeqKnob(value).value +
               MapPatchSource(value) + MapPatchDestination(value) + MapDwgsWave(value);
    }
    return sum > 0;
}
static_assert(EveryByteMaps());

// The inputs an MS2000 field can hold, and the widest Radias value its field takes.
struct ExactMapping {
    const char* name;
    MappedValue (*map)(std::uint8_t);
    unsigned inputs;
    unsigned widest;
};
constexpr std::array<ExactMapping, 2> kExactMappings = {{
    {"sync note", MapSyncNote, 32, 31},  // five bits on both sides
    {"knob", MapSeqKnob, 256, 255},
}};

// An exact value means one MS2000 value only; an inexact one borrows the value of an exact
// neighbour, so that the Radias still gets a meaningful setting.
TEST(ValueMappings, ExactValuesAreOneToOneAndInexactOnesBorrowAnExactValue) {
    for (const ExactMapping& mapping : kExactMappings) {
        std::array<int, 256> exactInput{};
        exactInput.fill(-1);
        for (unsigned in = 0; in < mapping.inputs; ++in) {
            const MappedValue out = mapping.map(static_cast<std::uint8_t>(in));
            ASSERT_LE(out.value, mapping.widest) << mapping.name << " " << in;
            if (out.exact) {
                EXPECT_EQ(exactInput[out.value], -1)
                    << mapping.name << ": " << in << " and " << exactInput[out.value];
                exactInput[out.value] = static_cast<int>(in);
            }
        }
        for (unsigned in = 0; in < mapping.inputs; ++in) {
            const MappedValue out = mapping.map(static_cast<std::uint8_t>(in));
            EXPECT_TRUE(out.exact || exactInput[out.value] >= 0) << mapping.name << " " << in;
        }
    }
}

TEST(ValueMappings, TheDocumentedExamples) {
    EXPECT_EQ(MapSyncNote(2), (MappedValue{7, false}));
    EXPECT_EQ(MapSyncNote(5), (MappedValue{7, true}));
    EXPECT_EQ(MapSyncNote(10), (MappedValue{14, false}));
    EXPECT_EQ(MapSyncNote(14), (MappedValue{15, true}));
    EXPECT_EQ(MapSeqKnob(2), (MappedValue{0, false}));
    EXPECT_EQ(MapSeqKnob(30), (MappedValue{39, true}));
    EXPECT_EQ(MapPatchSource(5), 8);
    EXPECT_EQ(MapPatchDestination(7), 14);
    EXPECT_EQ(MapDwgsWave(35), 0);
    EXPECT_EQ(MapDwgsWave(34), 63);
}

// Beyond a table every input takes its last entry; the two mappings with an exact flag call
// that inexact, so that the timbre reports it.
TEST(ValueMappings, InputsBeyondATableTakeItsLastEntryAndAreInexact) {
    for (unsigned in = 15; in < 256; ++in) {
        ASSERT_EQ(MapSyncNote(static_cast<std::uint8_t>(in)), (MappedValue{15, false})) << in;
    }
    for (unsigned in = 31; in < 256; ++in) {
        ASSERT_EQ(MapSeqKnob(static_cast<std::uint8_t>(in)), (MappedValue{39, false})) << in;
    }
    for (unsigned in = 8; in < 16; ++in) {
        EXPECT_EQ(MapPatchSource(static_cast<std::uint8_t>(in)), MapPatchSource(7)) << in;
        EXPECT_EQ(MapPatchDestination(static_cast<std::uint8_t>(in)), MapPatchDestination(7)) << in;
    }
    EXPECT_EQ(MapDwgsWave(64), MapDwgsWave(63));
    EXPECT_EQ(MapDwgsWave(255), MapDwgsWave(63));
}

// Sources and destinations are choices from a list: two MS2000 choices never become one.
TEST(ValueMappings, PatchSourcesAndDestinationsStayDistinct) {
    for (unsigned a = 0; a < 8; ++a) {
        for (unsigned b = a + 1; b < 8; ++b) {
            const auto x = static_cast<std::uint8_t>(a);
            const auto y = static_cast<std::uint8_t>(b);
            EXPECT_NE(MapPatchSource(x), MapPatchSource(y)) << a << " " << b;
            EXPECT_NE(MapPatchDestination(x), MapPatchDestination(y)) << a << " " << b;
        }
    }
}

}  // namespace
}  // namespace patchferry
