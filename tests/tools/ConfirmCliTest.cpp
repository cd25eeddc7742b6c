// send --confirm against a scripted Radias behind the fake's interface: each dump's answer on the
// input beside the port, one line for each program, and a stop at the first that is not taken.

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <future>
#include <sstream>
#include <thread>

#include "midi/fake/FakeMidiService.h"
#include "support/SyxBuilder.h"
#include "tools/Cli.h"

namespace patchferry::cli {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Pieces = std::vector<Bytes>;

// A Radias's short answers: F0 42 3g 72 ff F7.
Bytes Answer(std::uint8_t function, std::uint8_t channel = 2, std::uint8_t model = 0x72) {
    return {0xF0, 0x42, static_cast<std::uint8_t>(0x30 + channel), model, function, 0xF7};
}

class ConfirmCli : public ::testing::Test {
  protected:
    ConfirmCli() {
        midi_.SetDevices({{"Soft Synth", false, "128:0"}, {"UM-ONE", true, "24:0"}});
        bank_ = dir_.Write("bank.syx", testing::MakeBankDump(0));
    }
    // The Radias answers each dump with the next of `answers`, then with nothing.
    void Radias(std::deque<Pieces> answers) {
        midi_.SetResponder([answers](std::span<const std::uint8_t>) mutable {
            if (answers.empty()) {
                return Pieces{};
            }
            Pieces next = answers.front();
            answers.pop_front();
            return next;
        });
    }
    int Send(const std::string& programs) {
        out_.str("");
        err_.str("");
        midi_.ClearRecord();
        CliEnvironment env{out_, err_, [this]() -> midi::MidiOutputService& { return midi_; }};
        env.midiInput = [this]() -> midi::MidiInputService& { return midi_; };
        return RunCli({"send", bank_, "--program", programs, "--port", "UM-ONE", "--channel", "3",
                       "--confirm"},
                      env);
    }
    std::size_t Lines() const {
        const std::string text = out_.str();
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }

    testing::TempDir dir_;
    std::string bank_;
    midi::FakeMidiService midi_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ConfirmCli, EachProgramTakenIsOneLineAndTheFirstRefusalStopsTheRun) {
    Radias({{{0xFE}, Answer(0x23)}, {Answer(0x23)}});
    ASSERT_EQ(Send("A1,A2"), kExitOk) << err_.str();
    EXPECT_EQ(Lines(), 2U);
    EXPECT_NE(out_.str().find("A001 \""), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find(": the Radias took it on channel 03"), std::string::npos);
    EXPECT_EQ(midi_.OpenInputCount(), 0U);

    for (const auto& [function, name] :
         {std::pair{std::uint8_t{0x24}, "DATA LOAD ERROR"}, {0x26, "DATA FORMAT ERROR"}}) {
        Radias({{Answer(0x23)}, {Answer(function)}, {Answer(0x23)}});
        EXPECT_EQ(Send("A1-A3"), kExitFailure);
        EXPECT_EQ(Lines(), 1U);
        EXPECT_NE(err_.str().find(std::string("A002 ")), std::string::npos) << err_.str();
        EXPECT_NE(err_.str().find(std::string("refused it with ") + name), std::string::npos)
            << err_.str();
        EXPECT_EQ(midi_.SentMessages().size(), 2U);
    }
}

TEST_F(ConfirmCli, SilenceOrAnAnswerThatIsNotTheRadiasOnItsChannelIsNoAnswer) {
    for (const Pieces& heard :
         {Pieces{}, Pieces{Answer(0x23, 5), {0xF8}, Answer(0x23, 2, 0x58), {0xF0, 0x42, 0x32}}}) {
        Radias({heard, {Answer(0x23)}});
        EXPECT_EQ(Send("A1,A2"), kExitFailure);
        EXPECT_EQ(Lines(), 0U);
        EXPECT_NE(err_.str().find("A001 \""), std::string::npos) << err_.str();
        EXPECT_NE(err_.str().find("no answer from the Radias within 1 s"), std::string::npos);
        EXPECT_NE(err_.str().find("global MIDI channel is 03"), std::string::npos);
        EXPECT_EQ(midi_.SentMessages().size(), 1U);  // nothing after it
    }
}

TEST_F(ConfirmCli, AnAnswerBeforeThePortSaysItIsDoneCounts) {
    // The sequencer reports a dump done a little after its last byte left; a quick Radias has
    // answered by then (the dump takes 657 ms on the cable, the port says so at 800 ms).
    midi_.SetCompletion(midi::FakeCompletion::Delayed, 800ms);
    Radias({{Answer(0x23)}});
    EXPECT_EQ(Send("A1"), kExitOk) << err_.str();
    EXPECT_EQ(Lines(), 1U);
}

TEST_F(ConfirmCli, AnAnswerThatComesWhileTheDumpIsStillLeavingIsNotItsAnswer) {
    // A late answer to an earlier dump, arriving while this one is still on the cable (it takes
    // 657 ms there); the Radias itself says nothing.
    Radias({});
    auto sending = std::async(std::launch::async, [this] { return Send("A1"); });
    std::this_thread::sleep_for(200ms);
    midi_.Arrive({Answer(0x23)});
    EXPECT_EQ(sending.get(), kExitFailure);
    EXPECT_NE(err_.str().find("no answer from the Radias"), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace patchferry::cli
