#include "midi/PortPairing.h"

#include <gtest/gtest.h>

namespace patchferry::midi {
namespace {

TEST(PortPairing, FindsTheOutputOfTheSameInterfaceByPortThenNameThenClient) {
    const std::vector<MidiOutPortInfo> alsa{
        {"Midi Through: Midi Through Port-0", false, "14:0"},
        {"UM-ONE: UM-ONE MIDI 1", true, "24:0"},
        {"Quad: Quad MIDI 2", true, "28:1"},
    };
    // ALSA: one port reads and writes.
    EXPECT_EQ(PairedOutput({"UM-ONE: UM-ONE MIDI 1", true, "24:0"}, alsa), &alsa[1]);
    // An interface whose input is a port of its own: the output of the same client.
    EXPECT_EQ(PairedOutput({"Quad: Quad MIDI In", true, "28:3"}, alsa), &alsa[2]);
    EXPECT_EQ(PairedOutput({"Keyboard app: out", false, "128:0"}, alsa), nullptr);

    // Windows: the two directions are numbered apart and named alike.
    const std::vector<MidiOutPortInfo> winmm{
        {"Microsoft GS Wavetable Synth", false, "0"},
        {"UM-ONE", true, "1"},
    };
    EXPECT_EQ(PairedOutput({"UM-ONE", true, "0"}, winmm), &winmm[1]);
    EXPECT_EQ(PairedOutput({"USB2.0-MIDI", true, "1"}, winmm), nullptr);
}

}  // namespace
}  // namespace patchferry::midi
