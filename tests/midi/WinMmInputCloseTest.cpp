// The Windows multimedia input closing while a bank arrives, against a driver that fills buffers
// on a thread of its own and returns the one it is filling only after the reset. Built on Linux
// too (with stand-ins for the Windows types), where it runs under the sanitizers: a byte the
// driver writes into a freed buffer is caught there.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "midi/FakeWinMmIn.h"
#include "midi/winmm/WinMmInput.h"

namespace patchferry::midi::winmm {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

std::string Text(MMRESULT result) {
    return "text " + std::to_string(result) + ".";
}

std::ptrdiff_t Count(const std::vector<std::string>& calls, const std::string& call) {
    return std::count(calls.begin(), calls.end(), call);
}

// What the input may still have on its thread: a problem noted a moment after the callback.
std::string ProblemSoon(const WinMmInput& input) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (input.Problem().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    return input.Problem();
}

const std::vector<std::uint8_t> kPiece(200, 0x35);

TEST(WinMmInputClose, ClosingMidBankWaitsForEveryBufferThenUnpreparesEachAndCloses) {
    // A few timings, each closing with a buffer still being filled.
    for (int round = 0; round < 6; ++round) {
        FakeWinMmIn driver;
        ReceivedBytes received;
        auto input = std::make_unique<WinMmInput>(driver, received.Sink(), Text);
        ASSERT_EQ(input->Open(0), MMSYSERR_NOERROR);
        driver.StartBank(kPiece, std::chrono::milliseconds(2 + 3 * round));
        ASSERT_TRUE(received.WaitFor(3 * kPiece.size()));

        EXPECT_EQ(input->Close(), "");
        EXPECT_EQ(input->Problem(), "");
        input.reset();
        driver.JoinBank();

        const auto calls = driver.Calls();
        const auto reset = std::find(calls.begin(), calls.end(), "reset");
        ASSERT_NE(reset, calls.end());
        const std::vector<std::string> afterReset(reset + 1, calls.end());
        EXPECT_EQ(Count(afterReset, "unprepare"), static_cast<std::ptrdiff_t>(kInputBuffers));
        EXPECT_EQ(Count(afterReset, "add"), 0);
        EXPECT_EQ(calls.back(), "close");
        EXPECT_EQ(driver.Misuse(), std::vector<std::string>());
        const auto bytes = received.Bytes();
        EXPECT_TRUE(
            std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0x35; }));
    }
}

TEST(WinMmInputClose, ADriverThatKeepsItsBuffersIsToldAboutAndNeverWritesIntoFreedMemory) {
    FakeWinMmIn driver;
    driver.keepBuffersOnReset = true;
    ReceivedBytes received;
    auto input = std::make_unique<WinMmInput>(driver, received.Sink(), Text);
    ASSERT_EQ(input->Open(1), MMSYSERR_NOERROR);

    const std::string problems = input->Close();
    EXPECT_THAT(problems, HasSubstr("The MIDI input's driver did not return all its buffers."));
    EXPECT_THAT(problems, HasSubstr("4 of 4 MIDI input buffers could not be released: text 65."));
    EXPECT_THAT(problems, HasSubstr("The MIDI input could not be closed: text 65."));
    EXPECT_EQ(input->Problem(), problems);
    const auto calls = driver.Calls();
    EXPECT_EQ(Count(calls, "unprepare"), static_cast<std::ptrdiff_t>(kInputBuffers));
    EXPECT_EQ(calls.back(), "close");
    input.reset();

    // The driver still has the buffers and the callback: both are still there to use.
    EXPECT_TRUE(driver.Fill({0xF0, 0x42, 0x30}));
    EXPECT_TRUE(driver.Fill({0x58}, MIM_LONGERROR));
    EXPECT_EQ(received.Bytes(), std::vector<std::uint8_t>());

    // A driver that returns its buffers but will neither release them nor close.
    FakeWinMmIn refusing;
    refusing.unprepareResult = MMSYSERR_NOMEM;
    refusing.closeResult = MMSYSERR_ERROR;
    WinMmInput other(refusing, received.Sink(), Text);
    ASSERT_EQ(other.Open(0), MMSYSERR_NOERROR);
    EXPECT_EQ(other.Close(),
              "4 of 4 MIDI input buffers could not be released: text 7. The MIDI "
              "input could not be closed: text 1.");
}

TEST(WinMmInputClose, ABufferThatCannotBeGivenBackIsCountedAndReported) {
    FakeWinMmIn driver;
    driver.addFailsFrom = kInputBuffers + 1;  // the four of the opening go, none after
    driver.addResult = MMSYSERR_NOMEM;
    ReceivedBytes received;
    WinMmInput input(driver, received.Sink(), Text);
    ASSERT_EQ(input.Open(0), MMSYSERR_NOERROR);

    ASSERT_TRUE(driver.Fill({0xF0, 0x42}));
    EXPECT_EQ(ProblemSoon(input),
              "MIDI input buffers could not be given back to the driver: text 7.");
    ASSERT_TRUE(driver.Fill({0x30, 0x58}));
    ASSERT_TRUE(received.WaitFor(4));
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (input.Problem().find("(2 times)") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(input.Problem(),
              "MIDI input buffers could not be given back to the driver: text 7 (2 times).");
    EXPECT_EQ(received.Bytes(), (std::vector<std::uint8_t>{0xF0, 0x42, 0x30, 0x58}));
    EXPECT_EQ(input.Close(), "");
}

}  // namespace
}  // namespace patchferry::midi::winmm
