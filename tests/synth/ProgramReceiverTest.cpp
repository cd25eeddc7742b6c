#include "synth/ProgramReceiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "library/ProgramLibrary.h"
#include "support/SyxBuilder.h"

namespace patchferry::synth {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
using Clock = ProgramReceiver::Clock;

// The MS2000 on global channel 3 answering a program data dump request.
Bytes BankAnswer() {
    std::vector<Ms2kProgramImage> images;
    for (std::size_t p = 0; p < 128; ++p) {
        images.push_back(testing::BankImage(p));
    }
    return testing::MakeDump(0x4C, images, 2);
}

struct Rig {
    ProgramReceiver receiver;
    Clock::time_point now{};
    std::vector<std::size_t> progress;  // Received() after each piece

    DumpRequest Start(ReceiveWhat what = ReceiveWhat::AllPrograms, int channel = 3) {
        return receiver.Start(what, channel, now);
    }
    // Feeds the bytes in pieces of `piece`, with active sensing between the pieces and the
    // time moving on by `gap` for each.
    void Deliver(const Bytes& bytes, std::size_t piece, std::chrono::milliseconds gap = 10ms) {
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            const std::size_t n = std::min(piece, bytes.size() - at);
            now += gap;
            receiver.Feed(std::span(bytes).subspan(at, n), now);
            receiver.Feed(Bytes{0xFE}, now);
            receiver.Tick(now);
            progress.push_back(receiver.Received());
        }
    }
};

TEST(ProgramReceiver, RequestsCarryTheChannelAndTheKind) {
    Rig rig;
    EXPECT_EQ(rig.Start(ReceiveWhat::AllPrograms, 3),
              (DumpRequest{0xF0, 0x42, 0x32, 0x58, 0x1C, 0xF7}));
    EXPECT_EQ(rig.Start(ReceiveWhat::CurrentProgram, 16),
              (DumpRequest{0xF0, 0x42, 0x3F, 0x58, 0x10, 0xF7}));
    EXPECT_EQ(rig.receiver.Expected(), 297U);
}

TEST(ProgramReceiver, TakesTheWholeAnswerFromAmongOtherTrafficAndTheReaderOpensIt) {
    const Bytes answer = BankAnswer();
    ASSERT_EQ(answer.size(), 37163U);
    Rig rig;
    rig.Start();
    // Another device's dump, the same kind from another channel, and a note before the answer;
    // a clock byte inside it.
    rig.Deliver(testing::MakeDump(0x4C, {testing::BankImage(1)}, 0), 100);
    rig.Deliver(Bytes{0x91, 0x40, 0x40}, 1);
    Bytes withClock = answer;
    withClock.insert(withClock.begin() + 1000, 0xF8);
    rig.progress.clear();
    rig.Deliver(withClock, 512);
    const std::vector<std::size_t>& progress = rig.progress;
    ASSERT_EQ(rig.receiver.State(), ReceiveState::Done) << rig.receiver.FailureText();
    EXPECT_EQ(rig.receiver.Answer(), answer);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_GT(progress.size(), 50U);
    EXPECT_EQ(progress.back(), 37163U);

    ProgramLibrary library;
    std::string error;
    ASSERT_TRUE(library.ReadSyxBytes(rig.receiver.Answer(), error, "received")) << error;
    EXPECT_EQ(library.Count(), 128);
}

TEST(ProgramReceiver, SilenceOfTheAnswerTimesOutWhateverElseArrives) {
    Rig rig;
    rig.Start();
    // Active sensing keeps coming for 2.9 s: no answer yet, no time-out yet.
    for (int i = 0; i < 29; ++i) {
        rig.Deliver(Bytes{0xFE}, 1, 100ms);
    }
    EXPECT_EQ(rig.receiver.State(), ReceiveState::Waiting);
    rig.Deliver(Bytes{0xFE}, 1, 100ms);
    ASSERT_EQ(rig.receiver.State(), ReceiveState::Failed);
    EXPECT_EQ(rig.receiver.Failure(), ReceiveFailure::NoAnswer);
    const std::string text = rig.receiver.FailureText();
    EXPECT_NE(text.find("MIDI OUT"), std::string::npos) << text;
    EXPECT_NE(text.find("global MIDI channel is 3"), std::string::npos) << text;
    EXPECT_NE(text.find("\"SystemEx\" is ENA"), std::string::npos) << text;

    // An answer that begins and stops: 2 s without its bytes fails, keeping nothing.
    rig.Start();
    const Bytes answer = BankAnswer();
    rig.Deliver(Bytes(answer.begin(), answer.begin() + 5000), 500);
    EXPECT_EQ(rig.receiver.State(), ReceiveState::Receiving);
    for (int i = 0; i < 20; ++i) {
        rig.Deliver(Bytes{0xFE}, 1, 100ms);
    }
    EXPECT_EQ(rig.receiver.Failure(), ReceiveFailure::AnswerStopped);
    EXPECT_TRUE(rig.receiver.Answer().empty());
    EXPECT_NE(rig.receiver.FailureText().find("5000 of 37163"), std::string::npos);
}

// The MS2000 answers a request only once it has sent what it was sending: the rest of a
// cancelled bank, or a dump of another kind. Meanwhile the wait for the answer's start holds;
// another device's SysEx does not hold it.
TEST(ProgramReceiver, TheMs2000StillSendingAnEarlierAnswerHoldsTheWaitForTheNextOne) {
    const Bytes bank = BankAnswer();
    const Bytes current = testing::MakeDump(0x40, {testing::BankImage(9)}, 2);
    // The input opened with 20,000 bytes of a bank to go: 6.4 s on the cable.
    Rig rig;
    rig.Start(ReceiveWhat::CurrentProgram);
    const Bytes tail(bank.end() - 20000, bank.end());
    rig.Deliver(tail, 256, 82ms);
    ASSERT_EQ(rig.receiver.State(), ReceiveState::Waiting);
    // Then the time-out counts from the tail's end.
    rig.Deliver(Bytes{0xFE}, 1, 2900ms);
    EXPECT_EQ(rig.receiver.State(), ReceiveState::Waiting);
    rig.Deliver(current, 64);
    ASSERT_EQ(rig.receiver.State(), ReceiveState::Done) << rig.receiver.FailureText();
    EXPECT_EQ(rig.receiver.Answer(), current);

    // A whole bank from its channel before the current program.
    rig.Start(ReceiveWhat::CurrentProgram);
    rig.Deliver(bank, 256, 82ms);
    rig.Deliver(current, 64);
    ASSERT_EQ(rig.receiver.State(), ReceiveState::Done) << rig.receiver.FailureText();

    // A bank from another channel, or another maker's dump, is not the MS2000 being busy.
    for (const std::uint8_t channelByte : {std::uint8_t{0x30}, std::uint8_t{0x32}}) {
        Bytes other = bank;
        other[2] = channelByte;
        other[1] = channelByte == 0x32 ? 0x43 : other[1];
        rig.Start(ReceiveWhat::CurrentProgram);
        rig.Deliver(other, 256, 82ms);
        EXPECT_EQ(rig.receiver.Failure(), ReceiveFailure::NoAnswer);
    }
    // And a tail followed by silence times out 3 s after its last byte.
    rig.Start(ReceiveWhat::CurrentProgram);
    rig.Deliver(tail, 256, 82ms);
    rig.Deliver(Bytes{0xFE}, 1, 3000ms);
    EXPECT_EQ(rig.receiver.Failure(), ReceiveFailure::NoAnswer);
}

// A message from the MS2000's channel that never ends, or parameter changes while a knob is
// turned for ever, hold the wait only as long as the longest message takes on the cable; then the
// wait for the answer's start runs out as usual.
TEST(ProgramReceiver, NothingHoldsTheWaitLongerThanTheLongestMessageTakesOnTheCable) {
    const Bytes knob{0xF0, 0x42, 0x32, 0x58, 0x41, 0x14, 0x00, 0x40, 0x00, 0xF7};
    for (const bool endless : {true, false}) {
        Rig rig;
        rig.Start(ReceiveWhat::CurrentProgram);
        const Clock::time_point asked = rig.now;
        if (endless) {
            rig.Deliver(Bytes{0xF0, 0x42, 0x32, 0x58, 0x50}, 5, 80ms);
        }
        while (!rig.receiver.Finished() && rig.now - asked < 600s) {
            // The knob's messages come cut, as an input may hand them over.
            rig.Deliver(endless ? Bytes(256, 0x11) : knob, endless ? 256 : 3,
                        endless ? 80ms : 20ms);
        }
        EXPECT_EQ(rig.receiver.Failure(), ReceiveFailure::NoAnswer);
        const auto waited = rig.now - asked;
        EXPECT_LE(waited, ProgramReceiver::kLongestHold + ReceiveTimeouts{}.firstByte + 80ms);
        if (endless) {
            EXPECT_GE(waited, 12s + ReceiveTimeouts{}.firstByte);  // a real dump would have ended
        }
    }
}

TEST(ProgramReceiver, ABrokenShortOrOverlongAnswerFailsAndKeepsNothing) {
    const Bytes answer = BankAnswer();
    const std::vector<Bytes> broken{
        [&] {
            Bytes b(answer.begin(), answer.begin() + 3000);
            b.push_back(0xF7);
            return b;
        }(),
        [&] {
            Bytes b(answer.begin(), answer.begin() + 3000);
            b.push_back(0x90);
            return b;
        }(),
        [&] {
            Bytes b(answer.begin(), answer.end() - 1);
            b.push_back(0x01);
            b.push_back(0xF7);
            return b;
        }(),
    };
    for (const Bytes& bytes : broken) {
        Rig rig;
        rig.Start();
        rig.Deliver(bytes, 700);
        EXPECT_EQ(rig.receiver.State(), ReceiveState::Failed);
        EXPECT_EQ(rig.receiver.Failure(), ReceiveFailure::AnswerBroken);
        EXPECT_TRUE(rig.receiver.Answer().empty());
    }
}

TEST(ProgramReceiver, TheTailOfACancelledAnswerIsNeverTakenForTheNextOne) {
    const Bytes answer = BankAnswer();
    Rig rig;
    rig.Start();
    rig.Deliver(Bytes(answer.begin(), answer.begin() + 10000), 1000);
    rig.receiver.Cancel();
    EXPECT_EQ(rig.receiver.State(), ReceiveState::Cancelled);
    // Asked again at once, while the rest of the first answer is still arriving.
    rig.Start();
    rig.Deliver(Bytes(answer.begin() + 10000, answer.end()), 1000);
    EXPECT_EQ(rig.receiver.State(), ReceiveState::Waiting);
    EXPECT_EQ(rig.receiver.Received(), 0U);
    rig.Deliver(answer, 4096);
    ASSERT_EQ(rig.receiver.State(), ReceiveState::Done);
    EXPECT_EQ(rig.receiver.Answer(), answer);
}

}  // namespace
}  // namespace patchferry::synth
