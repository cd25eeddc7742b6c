#include "midi/MidiOutPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "midi/fake/FakeMidiService.h"

namespace patchferry::midi {
namespace {

using ::testing::ElementsAre;
using Fake = FakeMidiService;

const MidiPortInfo kUmOne{"UM-ONE: UM-ONE MIDI 1", true, "24:0"};

TEST(MidiOutPortTest, StartsClosedOpensAndCloses) {
    Fake service({{kUmOne.name, true, kUmOne.address}});
    MidiOutPort port(service);
    EXPECT_FALSE(port.IsOpen());

    EXPECT_TRUE(port.Open(kUmOne).Ok());
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(service.OpenCount(), 1U);

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(service.OpenCount(), 0U);
    port.Close();  // closing a closed port asks the service nothing
    EXPECT_THAT(service.Calls(), ElementsAre("ListPorts", "Open 24:0", "Close"));
}

TEST(MidiOutPortTest, FailedOpenLeavesThePortClosedWithTheServicesText) {
    Fake service({{kUmOne.name, true, kUmOne.address}});
    const MidiError inUse(MidiErrorCause::OtherProgram, 4,
                          "The specified device is already in use.");
    service.QueueOpenResult(inUse);
    MidiOutPort port(service);

    const MidiError result = port.Open(kUmOne);
    EXPECT_EQ(result, inUse);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(result.Text(), "The specified device is already in use.");

    EXPECT_TRUE(port.Open(kUmOne).Ok());  // the next try opens
    EXPECT_TRUE(port.IsOpen());
}

TEST(MidiOutPortTest, AListThatCannotBeReadFailsTheOpenWithItsOwnResult) {
    Fake service({{kUmOne.name, true, kUmOne.address}});
    const MidiError denied(MidiErrorCause::NoAccess, -13, "Permission denied");
    service.SetListResult(denied);
    MidiOutPort port(service);
    EXPECT_EQ(port.Open(kUmOne), denied);
    EXPECT_EQ(port.Open({}), denied);  // even with nothing chosen: the reason is worth more
    EXPECT_THAT(service.Calls(), ElementsAre("ListPorts", "ListPorts"));
}

TEST(MidiOutPortTest, NoChosenPortFailsWithTheServicesNoSuchPortErrorWithoutOpening) {
    Fake service({{kUmOne.name, true, kUmOne.address}});
    service.SetErrorText(MidiErrorCause::NoSuchPort,
                         "The specified device identifier is out of range.");
    MidiOutPort port(service);
    const MidiError result = port.Open({});
    EXPECT_EQ(result.Cause(), MidiErrorCause::NoSuchPort);
    EXPECT_EQ(result.Code(), Fake::kBadDevice);
    EXPECT_EQ(result.Text(), "The specified device identifier is out of range.");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_THAT(service.Calls(), ElementsAre("ListPorts"));
}

// After an unplug another device may take the address over, and the same device may come back
// under a new one.
TEST(MidiOutPortTest, OpensThePortByItsNameWhenItsAddressNowNamesAnotherDevice) {
    Fake service({{"Other Interface: Other Interface MIDI 1", true, "24:0"}});
    MidiOutPort port(service);
    EXPECT_EQ(port.Open(kUmOne).Cause(), MidiErrorCause::NoSuchPort);  // never the other device

    service.SetDevices({{"Other Interface: Other Interface MIDI 1", true, "24:0"},
                        {"Midi Through: UM-ONE: UM-ONE MIDI 1", false, "14:0"},
                        {kUmOne.name, false, "20:0"},
                        {kUmOne.name, true, "28:0"}});
    service.ClearRecord();
    EXPECT_TRUE(port.Open(kUmOne).Ok());
    EXPECT_THAT(service.Calls(), ElementsAre("ListPorts", "Open 28:0"));
}

TEST(MidiOutPortTest, ReopeningClosesTheFirstPortAndGoingAwayClosesTheLast) {
    Fake service({{"A", true}, {"B", true}});
    {
        MidiOutPort port(service);
        ASSERT_TRUE(port.Open({"A", true, "0"}).Ok());
        ASSERT_TRUE(port.Open({"B", true, "1"}).Ok());
        EXPECT_EQ(service.OpenCount(), 1U);
    }
    EXPECT_EQ(service.OpenCount(), 0U);
    EXPECT_THAT(service.Calls(),
                ElementsAre("ListPorts", "Open 0", "Close", "ListPorts", "Open 1", "Close"));
}

}  // namespace
}  // namespace patchferry::midi
