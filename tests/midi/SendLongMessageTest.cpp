#include "midi/SendLongMessage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "midi/fake/FakeMidiOutputService.h"

namespace patchferry::midi {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using Fake = FakeMidiOutputService;

const std::vector<std::uint8_t> kMessage = {0xF0, 0x42, 0x30, 0x72, 0x40, 0x01, 0x7F, 0xF7};

class SendLongMessageTest : public ::testing::Test {
  protected:
    SendLongMessageTest() : service_({{"Radias", true}}), port_(service_) {}
    void SetUp() override { ASSERT_EQ(port_.Open(0), kMidiOk); }
    // The calls made by the send, without the open.
    std::vector<std::string> SendCalls() const {
        std::vector<std::string> calls = service_.Calls();
        calls.erase(calls.begin());
        return calls;
    }

    Fake service_;
    MidiOutPort port_;
};

TEST_F(SendLongMessageTest, SuccessfulSendDeliversEveryByteAndShowsNothing) {
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 5s);
    EXPECT_EQ(outcome.result, kMidiOk);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_TRUE(outcome.errorText.empty());
    EXPECT_THAT(service_.SentMessages(), ElementsAre(kMessage));
    EXPECT_THAT(SendCalls(), ElementsAre("Prepare", "LongMsg", "Complete", "Unprepare"));
    EXPECT_TRUE(port_.IsOpen());  // the port stays open after a send
}

TEST_F(SendLongMessageTest, UnpreparesOnlyAfterALateCompletion) {
    service_.SetCompletion(FakeCompletion::Delayed, 50ms);
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 5s);
    EXPECT_EQ(outcome.result, kMidiOk);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_THAT(SendCalls(), ElementsAre("Prepare", "LongMsg", "Complete", "Unprepare"));
    EXPECT_EQ(service_.UnprepareWhileQueuedCount(), 0);
}

TEST_F(SendLongMessageTest, ResetsThePortWhenTheCompletionNeverComes) {
    service_.SetCompletion(FakeCompletion::Never);
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 20ms);
    EXPECT_EQ(outcome.result, kMidiOk);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_TRUE(outcome.errorText.empty());  // the time-out itself is not an error text
    EXPECT_THAT(SendCalls(), ElementsAre("Prepare", "LongMsg", "Reset", "Unprepare"));
    EXPECT_EQ(service_.UnprepareWhileQueuedCount(), 0);
}

TEST_F(SendLongMessageTest, CompletionLaterThanTheTimeOutIsResetNotAwaited) {
    service_.SetCompletion(FakeCompletion::Delayed, 10s);
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 20ms);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_THAT(SendCalls(), ElementsAre("Prepare", "LongMsg", "Reset", "Unprepare"));
    port_.Close();  // does not wait for the dropped completion
}

TEST_F(SendLongMessageTest, FailedSendStillWaitsResetsAndReportsTheServicesText) {
    service_.QueueSendResult(67);
    service_.SetErrorText(67, "The driver cannot send this message.");
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 20ms);
    EXPECT_EQ(outcome.result, 67);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_EQ(outcome.errorText, "The driver cannot send this message.");
    EXPECT_TRUE(service_.SentMessages().empty());
    EXPECT_THAT(SendCalls(), ElementsAre("Prepare", "LongMsg", "Reset", "Unprepare"));
}

TEST_F(SendLongMessageTest, ACompletionLeftFromAnEarlierOpenDoesNotEndTheWait) {
    port_.Event().Set();  // e.g. the open notification
    service_.SetCompletion(FakeCompletion::Never);
    const SendOutcome outcome = SendLongMessage(port_, kMessage, 20ms);
    EXPECT_TRUE(outcome.timedOut);
}

TEST(SendLongMessageClosedTest, ClosedPortSendsNothing) {
    Fake service({{"Radias", true}});
    MidiOutPort port(service);
    const SendOutcome outcome = SendLongMessage(port, kMessage, 20ms);
    EXPECT_EQ(outcome.result, Fake::kInvalidHandle);
    EXPECT_FALSE(outcome.errorText.empty());
    EXPECT_TRUE(service.Calls().empty());
}

}  // namespace
}  // namespace patchferry::midi
