// Opening a talk with an instrument: the input and the output beside it, an output already open
// on that port borrowed and left open, every failure said and nothing left open after it; and
// the steps of the inquiry and of a receive when a request cannot go out.

#include <gtest/gtest.h>

#include <algorithm>

#include "midi/SynthConnection.h"
#include "midi/fake/FakeMidiOutputService.h"
#include "synth/ConversationSteps.h"

namespace patchferry::synth {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const midi::MidiOutPortInfo kInterface{"UM-ONE", true, "24:0"};

class SynthConnectionTest : public ::testing::Test {
  protected:
    SynthConnectionTest() {
        midi_.SetDevices({{"Soft Synth", false, "128:0"}, {"UM-ONE", true, "24:0"}});
    }
    std::unique_ptr<midi::SynthConnection> Open(const midi::MidiOutPortInfo& input,
                                                midi::MidiOutPort* shared) {
        error_.clear();
        return midi::SynthConnection::Open(midi_, midi_, input, shared, error_);
    }
    std::ptrdiff_t Opens(const std::string& call) const {
        const auto calls = midi_.Calls();
        return std::count(calls.begin(), calls.end(), call);
    }
    midi::FakeMidiOutputService midi_;
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
    const midi::MidiError stillPlaying(midi::MidiErrorCause::StillSending,
                                       midi::FakeMidiOutputService::kStillPlaying, "still playing");

    DeviceFinder finder;
    std::string error;
    midi_.QueueSendResult(stillPlaying);
    EXPECT_FALSE(StartInquiry(finder, *connection, error));
    EXPECT_EQ(error, "still playing");

    // Nobody answers the inquiry to all, so the first request to one device falls due and is
    // refused: the inquiry ends there.
    ASSERT_TRUE(StartInquiry(finder, *connection, error));
    midi_.QueueSendResult(stillPlaying);
    bool going = true;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (going && std::chrono::steady_clock::now() < deadline) {
        going = StepInquiry(finder, *connection, 20ms, error);
    }
    EXPECT_FALSE(going);
    EXPECT_TRUE(finder.Finished());
    EXPECT_TRUE(finder.Answers().empty());

    ProgramReceiver receiver;
    midi_.QueueSendResult(stillPlaying);
    error.clear();
    EXPECT_FALSE(StartReceive(receiver, *connection, ReceiveWhat::AllPrograms, 3, error));
    EXPECT_EQ(error, "still playing");
    EXPECT_TRUE(receiver.Finished());
    EXPECT_NE(receiver.State(), ReceiveState::Done);
}

TEST_F(SynthConnectionTest, AFailedReceiveAlsoSaysWhatWentWrongWithTheInput) {
    auto connection = Open(kInterface, nullptr);
    ASSERT_TRUE(connection);
    ProgramReceiver receiver(ReceiveTimeouts{20ms, 20ms});
    std::string error;
    ASSERT_TRUE(StartReceive(receiver, *connection, ReceiveWhat::AllPrograms, 3, error));
    while (!receiver.Finished()) {
        StepReceive(receiver, *connection, 5ms);
    }
    EXPECT_EQ(ReceiveFailureText(receiver, *connection), receiver.FailureText());
    midi_.SetInputProblem("MIDI input buffers could not be given back to the driver: no memory.");
    EXPECT_EQ(ReceiveFailureText(receiver, *connection),
              receiver.FailureText() +
                  " MIDI input buffers could not be given back to the driver: no memory.");
}

}  // namespace
}  // namespace patchferry::synth
