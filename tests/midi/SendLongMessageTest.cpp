#include "midi/SendLongMessage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "midi/fake/FakeMidiService.h"

namespace patchferry::midi {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using Fake = FakeMidiService;

const std::vector<std::uint8_t> kMessage = {0xF0, 0x42, 0x30, 0x72, 0x40, 0x01, 0x7F, 0xF7};

class SendLongMessageTest : public ::testing::Test {
  protected:
    SendLongMessageTest() : service_({{"Radias", true}}), port_(service_) {}
    void SetUp() override {
        ASSERT_TRUE(port_.Open({"Radias", true, "0"}).Ok());
        service_.ClearRecord();
    }

    Fake service_;
    MidiOutPort port_;
};

TEST_F(SendLongMessageTest, SuccessfulSendDeliversEveryByteAndShowsNothing) {
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 5s);
    EXPECT_TRUE(outcome.Succeeded());
    EXPECT_TRUE(outcome.errorText.empty());
    EXPECT_THAT(service_.SentMessages(), ElementsAre(kMessage));
    EXPECT_THAT(service_.Calls(), ElementsAre("Send", "Complete", "Finish"));
    EXPECT_TRUE(port_.IsOpen());  // the port stays open after a send
}

TEST_F(SendLongMessageTest, FinishesOnlyAfterALateCompletion) {
    service_.SetCompletion(FakeCompletion::Delayed, 50ms);
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 5s);
    EXPECT_TRUE(outcome.Succeeded());
    EXPECT_THAT(service_.Calls(), ElementsAre("Send", "Complete", "Finish"));
    EXPECT_EQ(service_.FinishWhileQueuedCount(), 0);
}

TEST_F(SendLongMessageTest, MissingCompletionResetsThePortAndIsAFailureWithItsOwnText) {
    service_.SetCompletion(FakeCompletion::Never);
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 20ms);
    EXPECT_FALSE(outcome.Succeeded());
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_EQ(outcome.error.Cause(), MidiErrorCause::TimedOut);
    EXPECT_EQ(outcome.errorText,
              "The MIDI device did not finish within 30 seconds; its output was reset.");
    EXPECT_THAT(service_.Calls(), ElementsAre("Send", "Reset", "Finish"));
    EXPECT_EQ(service_.FinishWhileQueuedCount(), 0);

    // A completion later than the time-out is dropped with the reset, not waited for.
    service_.ClearRecord();
    service_.SetCompletion(FakeCompletion::Delayed, 10s);
    EXPECT_TRUE(SendLongMessage(port_, kMessage, 20ms).timedOut);
    EXPECT_THAT(service_.Calls(), ElementsAre("Send", "Reset", "Finish"));
    port_.Close();
}

TEST_F(SendLongMessageTest, RefusedSendReportsTheServicesTextAtOnce) {
    const MidiError refused(MidiErrorCause::Other, 67, "The driver cannot send this message.");
    service_.QueueSendResult(refused);
    const auto started = std::chrono::steady_clock::now();
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 30s);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);  // not the 30 s of a time-out
    EXPECT_EQ(outcome.error, refused);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.errorText, "The driver cannot send this message.");
    EXPECT_TRUE(service_.SentMessages().empty());
    EXPECT_THAT(service_.Calls(), ElementsAre("Send"));
}

TEST_F(SendLongMessageTest, AFailureTheServiceFindsAfterTheCompletionIsTheOutcome) {
    const MidiError gone(MidiErrorCause::PortGone, -19, "No such device");
    service_.QueueFinishResult(gone);
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 5s);
    EXPECT_EQ(outcome.error, gone);
    EXPECT_EQ(outcome.errorText, "No such device");
}

TEST_F(SendLongMessageTest, ACompletionLeftFromBeforeDoesNotEndTheWait) {
    service_.SignalOpenPorts();
    service_.SetCompletion(FakeCompletion::Never);
    EXPECT_TRUE(SendLongMessage(port_, kMessage, 20ms).timedOut);
}

TEST(SendLongMessageClosedTest, ClosedPortSendsNothing) {
    Fake service({{"Radias", true}});
    MidiOutPort port(service);
    const SendOutcome outcome = SendLongMessage(port, kMessage, 20ms);
    EXPECT_EQ(outcome.error.Cause(), MidiErrorCause::NotOpen);
    EXPECT_EQ(outcome.error.Code(), Fake::kInvalidHandle);
    EXPECT_FALSE(outcome.errorText.empty());
    EXPECT_TRUE(service.Calls().empty());
}

}  // namespace
}  // namespace patchferry::midi
