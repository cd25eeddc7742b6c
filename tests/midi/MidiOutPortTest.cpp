#include "midi/MidiOutPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "midi/fake/FakeMidiOutputService.h"

namespace patchferry::midi {
namespace {

using ::testing::ElementsAre;
using Fake = FakeMidiOutputService;

const MidiOutPortInfo kUmOne{"UM-ONE: UM-ONE MIDI 1", true, "24:0"};

TEST(MidiOutPortTest, StartsClosedOpensAndCloses) {
    Fake service({{kUmOne.name, true, kUmOne.address}});
    MidiOutPort port(service);
    EXPECT_FALSE(port.IsOpen());

    EXPECT_EQ(port.Open(kUmOne), kMidiOk);
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
    service.QueueOpenResult(4);
    service.SetErrorText(4, "The specified device is already in use.");
    MidiOutPort port(service);

    const MidiResult result = port.Open(kUmOne);
    EXPECT_EQ(result, 4);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.ErrorText(result), "The specified device is already in use.");

    EXPECT_EQ(port.Open(kUmOne), kMidiOk);  // the next try opens
    EXPECT_TRUE(port.IsOpen());
}

TEST(MidiOutPortTest, AListThatCannotBeReadFailsTheOpenWithItsOwnResult) {
    Fake service({{kUmOne.name, true, kUmOne.address}});
    service.SetListResult(-13);
    MidiOutPort port(service);
    EXPECT_EQ(port.Open(kUmOne), -13);
    EXPECT_EQ(port.Open({}), -13);  // even with nothing chosen: the reason is worth more
    EXPECT_THAT(service.Calls(), ElementsAre("ListPorts", "ListPorts"));
}

TEST(MidiOutPortTest, NoChosenPortFailsWithTheBadPortCodeWithoutOpening) {
    Fake service({{kUmOne.name, true, kUmOne.address}});
    MidiOutPort port(service);
    EXPECT_EQ(port.Open({}), Fake::kBadDevice);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_THAT(service.Calls(), ElementsAre("ListPorts"));
}

// After an unplug another device may take the address over, and the same device may come back
// under a new one.
TEST(MidiOutPortTest, OpensThePortByItsNameWhenItsAddressNowNamesAnotherDevice) {
    Fake service({{"Other Interface: Other Interface MIDI 1", true, "24:0"}});
    MidiOutPort port(service);
    EXPECT_EQ(port.Open(kUmOne), Fake::kBadDevice);  // never the other device

    service.SetDevices({{"Other Interface: Other Interface MIDI 1", true, "24:0"},
                        {"Midi Through: UM-ONE: UM-ONE MIDI 1", false, "14:0"},
                        {kUmOne.name, false, "20:0"},
                        {kUmOne.name, true, "28:0"}});
    service.ClearRecord();
    EXPECT_EQ(port.Open(kUmOne), kMidiOk);
    EXPECT_THAT(service.Calls(), ElementsAre("ListPorts", "Open 28:0"));
}

TEST(MidiOutPortTest, ReopeningClosesTheFirstPortAndGoingAwayClosesTheLast) {
    Fake service({{"A", true}, {"B", true}});
    {
        MidiOutPort port(service);
        ASSERT_EQ(port.Open({"A", true, "0"}), kMidiOk);
        ASSERT_EQ(port.Open({"B", true, "1"}), kMidiOk);
        EXPECT_EQ(service.OpenCount(), 1U);
    }
    EXPECT_EQ(service.OpenCount(), 0U);
    EXPECT_THAT(service.Calls(),
                ElementsAre("ListPorts", "Open 0", "Close", "ListPorts", "Open 1", "Close"));
}

}  // namespace
}  // namespace patchferry::midi
