#include "midi/SysExAssembler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace patchferry::midi {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Collected {
    std::vector<Bytes> whole;
    std::vector<Bytes> cut;
};

SysExAssembler MakeAssembler(Collected& out, std::size_t max = 64) {
    return SysExAssembler(max, [&out](std::span<const std::uint8_t> message, bool whole) {
        (whole ? out.whole : out.cut).emplace_back(message.begin(), message.end());
    });
}

TEST(SysExAssembler, JoinsAMessageCutAnywhereAndDropsOtherTraffic) {
    // Notes with running status, clock, active sensing and a tune request around the message,
    // real-time bytes inside it.
    const Bytes stream{0x90, 0x3C, 0x64, 0x3E, 0x64, 0xFE, 0xF6, 0xF0, 0x42, 0xF8, 0x30,
                       0x58, 0xFE, 0x40, 0x01, 0x02, 0xF7, 0xF8, 0x80, 0x3C, 0x00};
    const Bytes message{0xF0, 0x42, 0x30, 0x58, 0x40, 0x01, 0x02, 0xF7};
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        Collected out;
        SysExAssembler assembler = MakeAssembler(out);
        assembler.Feed(std::span(stream).first(cut));
        assembler.Feed(std::span(stream).subspan(cut));
        ASSERT_EQ(out.whole, std::vector<Bytes>{message}) << "cut at " << cut;
        EXPECT_TRUE(out.cut.empty());
        EXPECT_TRUE(assembler.Partial().empty());
    }
}

TEST(SysExAssembler, AStatusByteOrANewStartBreaksAMessageOff) {
    Collected out;
    SysExAssembler assembler = MakeAssembler(out);
    assembler.Feed(Bytes{0xF0, 0x42, 0x30, 0x90, 0x3C, 0x40});  // note on inside
    assembler.Feed(Bytes{0xF0, 0x7E, 0xF0, 0x7E, 0x7F, 0xF7});  // second F0 before an F7
    ASSERT_EQ(out.cut.size(), 2U);
    EXPECT_EQ(out.cut[0], (Bytes{0xF0, 0x42, 0x30}));
    EXPECT_EQ(out.cut[1], (Bytes{0xF0, 0x7E}));
    EXPECT_EQ(out.whole, std::vector<Bytes>{(Bytes{0xF0, 0x7E, 0x7F, 0xF7})});
}

TEST(SysExAssembler, KeepsNoMoreThanItsLimitAndDiscardsOnRequest) {
    Collected out;
    SysExAssembler assembler = MakeAssembler(out, 4);
    assembler.Feed(Bytes{0xF0, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(assembler.Partial().size(), 4U);
    EXPECT_EQ(assembler.PartialLength(), 7U);
    assembler.Feed(Bytes{0xF7});
    ASSERT_EQ(out.cut.size(), 1U);  // too long to be kept: handed on as cut
    EXPECT_TRUE(out.whole.empty());

    // A discarded message is skipped to its end, even though its rest looks like data.
    assembler.Feed(Bytes{0xF0, 1});
    assembler.DiscardPartial();
    assembler.Feed(Bytes{2, 0xF7, 0xF0, 9, 0xF7});
    EXPECT_EQ(out.whole, std::vector<Bytes>{(Bytes{0xF0, 9, 0xF7})});
    EXPECT_EQ(out.cut.size(), 1U);
}

}  // namespace
}  // namespace patchferry::midi
