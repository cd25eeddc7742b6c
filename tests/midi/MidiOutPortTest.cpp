#include "midi/MidiOutPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "midi/fake/FakeMidiOutputService.h"

namespace patchferry::midi {
namespace {

using ::testing::ElementsAre;
using Fake = FakeMidiOutputService;

TEST(MidiOutPortTest, StartsClosedOpensAndCloses) {
    Fake service({{"UM-ONE: UM-ONE MIDI 1", true}});
    MidiOutPort port(service);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Handle(), MidiOutHandle::Null);

    EXPECT_EQ(port.Open(0), kMidiOk);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_NE(port.Handle(), MidiOutHandle::Null);
    EXPECT_EQ(service.OpenCount(), 1U);

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Handle(), MidiOutHandle::Null);
    EXPECT_EQ(service.OpenCount(), 0U);
    port.Close();  // closing a closed port asks the service nothing
    EXPECT_THAT(service.Calls(), ElementsAre("Open 0", "Close"));
}

TEST(MidiOutPortTest, FailedOpenLeavesThePortClosedWithTheServicesText) {
    Fake service({{"Busy port", true}});
    service.QueueOpenResult(4);
    service.SetErrorText(4, "The specified device is already in use.");
    MidiOutPort port(service);

    const MidiResult result = port.Open(0);
    EXPECT_EQ(result, 4);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.ErrorText(result), "The specified device is already in use.");

    EXPECT_EQ(port.Open(0), kMidiOk);  // the next try opens
    EXPECT_TRUE(port.IsOpen());
}

TEST(MidiOutPortTest, NoSelectedPortFailsWithoutReachingTheService) {
    Fake service({{"Port", true}});
    MidiOutPort port(service);
    EXPECT_EQ(port.Open(-1), Fake::kBadDevice);
    EXPECT_EQ(port.Open(-7), Fake::kBadDevice);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(service.Calls().empty());
}

TEST(MidiOutPortTest, DeviceBeyondTheListFailsWithTheBadDeviceCode) {
    Fake service({{"Port", true}});
    MidiOutPort port(service);
    EXPECT_EQ(port.Open(1), Fake::kBadDevice);
    EXPECT_FALSE(port.IsOpen());
}

TEST(MidiOutPortTest, ReopeningClosesTheFirstDeviceAndGoingAwayClosesTheLast) {
    Fake service({{"A", true}, {"B", true}});
    {
        MidiOutPort port(service);
        ASSERT_EQ(port.Open(0), kMidiOk);
        ASSERT_EQ(port.Open(1), kMidiOk);
        EXPECT_EQ(service.OpenCount(), 1U);
    }
    EXPECT_EQ(service.OpenCount(), 0U);
    EXPECT_THAT(service.Calls(), ElementsAre("Open 0", "Close", "Open 1", "Close"));
}

}  // namespace
}  // namespace patchferry::midi
