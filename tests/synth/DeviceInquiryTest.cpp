#include "synth/DeviceInquiry.h"

#include <gtest/gtest.h>

#include <vector>

namespace patchferry::synth {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// An MS2000 on global channel 3: family 58 00, member 01 00, version 1.0.
const Bytes kMs2kReply{0xF0, 0x7E, 0x02, 0x06, 0x02, 0x42, 0x58, 0x00,
                       0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF7};

TEST(DeviceInquiry, ParsesRepliesWithOneAndThreeByteMakersAndRefusesOtherMessages) {
    const auto ms2k = ParseIdentityReply(kMs2kReply);
    ASSERT_TRUE(ms2k.has_value());
    EXPECT_EQ(ms2k->maker, (Bytes{0x42}));
    EXPECT_EQ(ms2k->family, 0x58);
    EXPECT_EQ(ms2k->member, 0x01);
    EXPECT_EQ(ReplyChannel(*ms2k), 3);
    EXPECT_EQ(
        DescribeIdentity(*ms2k),
        "Korg (42h), family 0058h (MS2000 or microKORG), member 0001h (MS2000), global channel 3, "
        "version 01.00.00.00");

    // An unknown maker with a three-byte ID, answering to "all": shown, never refused.
    const Bytes other{0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x00, 0x20, 0x33, 0x05,
                      0x01, 0x02, 0x00, 0x01, 0x02, 0x03, 0x04, 0xF7};
    const auto unknown = ParseIdentityReply(other);
    ASSERT_TRUE(unknown.has_value());
    EXPECT_EQ(unknown->family, 0x85);  // 05 01: low seven bits first
    EXPECT_EQ(DescribeIdentity(*unknown),
              "maker 00h 20h 33h, family 0085h, member 0002h, device ID 7Fh, version 01.02.03.04");

    EXPECT_FALSE(ParseIdentityReply(Bytes{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));  // a request
}

// Replies that are not the textbook's 15 or 17 bytes are answers too: what follows the version is
// shown, and a reply too short to hold it says so with what it held.
TEST(DeviceInquiry, ShowsLongerRepliesWithTheirExtraBytesAndShortOnesAsIncomplete) {
    Bytes longer = kMs2kReply;
    longer.insert(longer.end() - 1, {0x00, 0x7F, 0x01, 0x02});
    Bytes threeByteMakerCut{0xF0, 0x7E, 0x7F, 0x06, 0x02, 0x00, 0x20, 0x33, 0x05, 0xF7};
    Bytes overlong = kMs2kReply;
    overlong.insert(overlong.end() - 1, kLongestReply + 1 - overlong.size(), 0x00);

    DeviceFinder finder;
    DeviceFinder::Clock::time_point now{};
    finder.Start(now);
    for (const Bytes& reply :
         {longer, threeByteMakerCut, overlong, Bytes{0xF0, 0x7E, 0x02, 0x06, 0x02, 0xF7}}) {
        finder.Feed(reply);
    }
    finder.Tick(now + DeviceFinder::kCollectAll);
    ASSERT_EQ(finder.Answers().size(), 3U);
    EXPECT_TRUE(IsMs2kFamily(finder.Answers()[0]));
    EXPECT_EQ(
        DescribeIdentity(finder.Answers()[0]),
        "Korg (42h), family 0058h (MS2000 or microKORG), member 0001h (MS2000), global channel 3, "
        "version 01.00.00.00, and 4 more bytes: 00h 7Fh 01h 02h");
    EXPECT_FALSE(IsMs2kFamily(finder.Answers()[1]));
    EXPECT_EQ(DescribeIdentity(finder.Answers()[1]),
              "an incomplete answer from device ID 7Fh (4 bytes: 00h 20h 33h 05h)");
    EXPECT_EQ(DescribeIdentity(finder.Answers()[2]),
              "an incomplete answer from global channel 3 (0 bytes)");
}

TEST(DeviceFinder, CollectsEveryReplyToAllForASecond) {
    DeviceFinder finder;
    DeviceFinder::Clock::time_point now{};
    EXPECT_EQ(finder.Start(now), (IdentityRequest{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
    finder.Feed(kMs2kReply);
    Bytes second = kMs2kReply;
    second[2] = 0x09;
    finder.Feed(Bytes{0xFE});
    finder.Feed(second);
    EXPECT_FALSE(finder.Tick(now + 999ms));
    EXPECT_FALSE(finder.Finished());
    EXPECT_FALSE(finder.Tick(now + 1000ms));
    EXPECT_TRUE(finder.Finished());
    ASSERT_EQ(finder.Answers().size(), 2U);
    EXPECT_EQ(ReplyChannel(finder.Answers()[1]), 10);
}

TEST(DeviceFinder, WithoutRepliesAsksEachChannelInTurnAndStopsAtTheFirst) {
    DeviceFinder finder;
    DeviceFinder::Clock::time_point now{};
    finder.Start(now);
    now += 1000ms;
    std::vector<std::uint8_t> asked;
    while (auto request = finder.Tick(now)) {
        asked.push_back((*request)[2]);
        if (asked.size() == 3) {
            finder.Feed(kMs2kReply);  // the device on channel 3 answers its own ID
        }
        now += 400ms;
    }
    EXPECT_EQ(asked, (std::vector<std::uint8_t>{0, 1, 2}));
    EXPECT_TRUE(finder.Finished());
    ASSERT_EQ(finder.Answers().size(), 1U);

    // Nobody at all: sixteen requests, then finished with no answer.
    finder.Start(now);
    now += 1000ms;
    int requests = 0;
    for (int i = 0; i < 40 && !finder.Finished(); ++i, now += 400ms) {
        requests += finder.Tick(now).has_value() ? 1 : 0;
    }
    EXPECT_EQ(requests, 16);
    EXPECT_TRUE(finder.Finished());
    EXPECT_TRUE(finder.Answers().empty());
}

}  // namespace
}  // namespace patchferry::synth
