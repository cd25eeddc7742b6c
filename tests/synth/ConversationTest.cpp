// Opening a talk with an instrument: the input and the output beside it, an output already open
// on that port borrowed and left open, every failure said and nothing left open after it; and
// the steps of the inquiry and of a receive when a request cannot go out.

#include <gtest/gtest.h>

#include <algorithm>

#include "midi/SynthConnection.h"
#include "midi/fake/FakeMidiService.h"
#include "synth/Conversation.h"

namespace patchferry::synth {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const midi::MidiPortInfo kInterface{"UM-ONE", true, "24:0"};

class SynthConnectionTest : public ::testing::Test {
  protected:
    SynthConnectionTest() {
        midi_.SetDevices({{"Soft Synth", false, "128:0"}, {"UM-ONE", true, "24:0"}});
    }
    std::unique_ptr<midi::SynthConnection> Open(const midi::MidiPortInfo& input,
                                                midi::MidiOutPort* shared) {
        error_.clear();
        return midi::SynthConnection::Open(midi_, midi_, input, shared, error_);
    }
    std::ptrdiff_t Opens(const std::string& call) const {
        const auto calls = midi_.Calls();
        return std::count(calls.begin(), calls.end(), call);
    }
    midi::FakeMidiService midi_;
    std::string error_;
};

TEST_F(SynthConnectionTest, OpensItsOwnOutputOrBorrowsTheOneOpenOnThatPortAndLeavesItOpen) {
    {
        const auto connection = Open(kInterface, nullptr);
        ASSERT_TRUE(connection) << error_;
        EXPECT_FALSE(connection->BorrowsOutput());
        EXPECT_EQ(connection->Output().address, "24:0");
        EXPECT_EQ(midi_.OpenCount(), 1U);
        EXPECT_EQ(midi_.OpenInputCount(), 1U);
        // The input opens before the output: nothing of an answer can come before it listens.
        const auto calls = midi_.Calls();
        EXPECT_LT(std::find(calls.begin(), calls.end(), "OpenInput 24:0"),
                  std::find(calls.begin(), calls.end(), "Open 24:0"));
    }
    EXPECT_EQ(midi_.OpenCount(), 0U);
    EXPECT_EQ(midi_.OpenInputCount(), 0U);

    midi::MidiOutPort bar(midi_);
    ASSERT_TRUE(bar.Open(kInterface).Ok());
    midi_.ClearRecord();
    {
        const auto connection = Open(kInterface, &bar);
        ASSERT_TRUE(connection) << error_;
        EXPECT_TRUE(connection->BorrowsOutput());
        EXPECT_EQ(Opens("Open 24:0"), 0);
        EXPECT_TRUE(connection->Send(Bytes{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}).Succeeded());
    }
    EXPECT_TRUE(bar.IsOpen());
    EXPECT_EQ(Opens("Close"), 0);

    // Open on another port: not borrowed.
    ASSERT_TRUE(bar.Open({"Soft Synth", false, "128:0"}).Ok());
    const auto connection = Open(kInterface, &bar);
    ASSERT_TRUE(connection) << error_;
    EXPECT_FALSE(connection->BorrowsOutput());
}

TEST_F(SynthConnectionTest, EveryFailureIsSaidAndLeavesNothingOpen) {
    EXPECT_FALSE(Open({"Lonely In", true, "40:0"}, nullptr));
    EXPECT_EQ(error_, "the MIDI input Lonely In has no output beside it to send the request on");

    const midi::MidiError busy(midi::MidiErrorCause::OtherProgram, 4, "the device is busy");
    midi_.QueueOpenResult(busy);
    EXPECT_FALSE(Open(kInterface, nullptr));
    EXPECT_EQ(error_, "cannot open the MIDI input UM-ONE: the device is busy");

    midi_.QueueOpenResult({});
    midi_.QueueOpenResult(busy);
    EXPECT_FALSE(Open(kInterface, nullptr));
    EXPECT_EQ(error_, "Error: Failed to open the specified MIDI port. the device is busy");
    EXPECT_EQ(midi_.OpenInputCount(), 0U);
    EXPECT_EQ(midi_.OpenCount(), 0U);

    midi_.SetListResult(busy);
    EXPECT_FALSE(Open(kInterface, nullptr));
    EXPECT_EQ(error_, "Error: Failed to open the specified MIDI port. the device is busy");
}

TEST_F(SynthConnectionTest, ARequestThatCannotGoOutEndsTheTalkWithTheSendersText) {
    auto connection = Open(kInterface, nullptr);
    ASSERT_TRUE(connection);
    Conversation talk(std::move(connection));
    const midi::MidiError stillPlaying(midi::MidiErrorCause::StillSending,
                                       midi::FakeMidiService::kStillPlaying, "still playing");

    std::string error;
    midi_.QueueSendResult(stillPlaying);
    EXPECT_FALSE(talk.StartFind(error));
    EXPECT_EQ(error, "still playing");
    EXPECT_FALSE(talk.Running());

    // Nobody answers the inquiry to all, so the first request to one device falls due and is
    // refused: the inquiry ends there.
    ASSERT_TRUE(talk.StartFind(error));
    midi_.QueueSendResult(stillPlaying);
    bool going = true;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (going && std::chrono::steady_clock::now() < deadline) {
        going = talk.Step(20ms, error);
    }
    EXPECT_FALSE(going);
    EXPECT_FALSE(talk.Running());
    EXPECT_TRUE(talk.Finder().Answers().empty());

    // The MS2000 wants its pause after the last request: the dump request waits for it inside
    // the conversation, and its refusal comes from the step that sends it.
    midi_.QueueSendResult(stillPlaying);
    error.clear();
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(talk.StartReceive(ReceiveWhat::AllPrograms, 3, error));
    EXPECT_TRUE(talk.Running());
    while (talk.Step(5ms, error) && talk.Running()) {
    }
    EXPECT_GE(std::chrono::steady_clock::now() - asked, kMs2kMessageGap - 50ms);
    EXPECT_EQ(error, "still playing");
    EXPECT_FALSE(talk.Running());
    EXPECT_NE(talk.Receiver().State(), ReceiveState::Done);
}

TEST_F(SynthConnectionTest, AFailedReceiveAlsoSaysWhatWentWrongWithTheInput) {
    auto connection = Open(kInterface, nullptr);
    ASSERT_TRUE(connection);
    Conversation talk(std::move(connection), ReceiveTimeouts{20ms, 20ms});
    std::string error;
    ASSERT_TRUE(talk.StartReceive(ReceiveWhat::AllPrograms, 3, error));
    while (talk.Running()) {
        talk.Step(5ms, error);
    }
    EXPECT_EQ(talk.ReceiveFailureText(), talk.Receiver().FailureText());
    midi_.SetInputProblem("MIDI input buffers could not be given back to the driver: no memory.");
    EXPECT_EQ(talk.ReceiveFailureText(),
              talk.Receiver().FailureText() +
                  " MIDI input buffers could not be given back to the driver: no memory.");
}

}  // namespace
}  // namespace patchferry::synth
