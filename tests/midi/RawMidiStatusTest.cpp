#include "midi/alsa/RawMidiStatus.h"

#include <gtest/gtest.h>

namespace patchferry::midi::alsa {
namespace {

// /proc/asound/card1/midi0 of a USB interface with two outputs, the second one not open.
constexpr const char* kTwoOutputs =
    "USB MIDI Interface\n"
    "\n"
    "Output 0\n"
    "  Tx bytes     : 4104\n"
    "  Owner PID    : 0\n"
    "  Mode         : native\n"
    "  Buffer size  : 4096\n"
    "  Avail        : 4093\n"
    "Output 1\n"
    "  Tx bytes     : 0\n"
    "Input 0\n"
    "  Rx bytes     : 12\n"
    "  Buffer size  : 4096\n"
    "  Avail        : 0\n";

TEST(RawMidiStatus, ReadsTheOpenOutputOfThePortAndNothingElse) {
    const auto status = ParseRawMidiOutput(kTwoOutputs, 0);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->txBytes, 4104U);
    EXPECT_EQ(status->Pending(), 3U);
    EXPECT_EQ(status->Entered(), 4107U);
    // Not open: no buffer to read, and the input's numbers are not the output's.
    EXPECT_FALSE(ParseRawMidiOutput(kTwoOutputs, 1));
    EXPECT_FALSE(ParseRawMidiOutput(kTwoOutputs, 2));
    EXPECT_FALSE(ParseRawMidiOutput("", 0));
    EXPECT_FALSE(
        ParseRawMidiOutput("Output 0\n  Tx bytes     : lots\n  Buffer size  : 4096\n"
                           "  Avail        : 4096\n",
                           0));
}

TEST(RawMidiStatus, APortNumberNamesTheDeviceAndItsOutput) {
    EXPECT_EQ(RawMidiStatusPath(1, 0), "/proc/asound/card1/midi0");
    EXPECT_EQ(RawMidiStatusPath(3, 33), "/proc/asound/card3/midi1");
    const std::string second = "Output 1\n  Tx bytes : 7\n  Buffer size : 4096\n  Avail : 4096\n";
    EXPECT_EQ(ParseRawMidiOutput(second, 33)->txBytes, 7U);
}

}  // namespace
}  // namespace patchferry::midi::alsa
