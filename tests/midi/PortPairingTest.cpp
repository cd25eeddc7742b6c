#include "midi/PortPairing.h"

#include <gtest/gtest.h>

namespace patchferry::midi {
namespace {

TEST(PortPairing, FindsTheOutputOfTheSameInterfaceByPortThenNameThenClient) {
    const std::vector<MidiPortInfo> alsa{
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
    const std::vector<MidiPortInfo> winmm{
        {"Microsoft GS Wavetable Synth", false, "0"},
        {"UM-ONE", true, "1"},
    };
    EXPECT_EQ(PairedOutput({"UM-ONE", true, "0"}, winmm), &winmm[1]);
    EXPECT_EQ(PairedOutput({"USB2.0-MIDI", true, "1"}, winmm), nullptr);
}

// Names Windows and drivers give the ports of interfaces with several: the second and later
// ports of a class-compliant one numbered ("MIDIIN2 (SL)"), or each direction named in a word.
TEST(PortPairing, PairsEveryPortOfAMultiPortInterfaceByItsNumberOrItsDirectionWord) {
    const std::vector<MidiPortInfo> outputs{
        {"Microsoft GS Wavetable Synth", false, "0"},
        {"SL", true, "1"},
        {"MIDIOUT2 (SL)", true, "2"},
        {"MIDIOUT3 (SL)", true, "3"},
        {"MIDISPORT 4x4 Out A (1)", true, "4"},
        {"MIDISPORT 4x4 Out B (1)", true, "5"},
        {"minilogue xd _ MIDI OUT", true, "6"},
        {"MIDIOUT2 (USB MIDI Interface)", true, "7"},
    };
    const std::vector<std::pair<const char*, const char*>> pairs{
        {"SL", "SL"},
        {"MIDIIN2 (SL)", "MIDIOUT2 (SL)"},
        {"MIDIIN3 (SL)", "MIDIOUT3 (SL)"},
        {"MidiIn3 (SL)", "MIDIOUT3 (SL)"},
        {"MIDISPORT 4x4 In B (1)", "MIDISPORT 4x4 Out B (1)"},
        {"minilogue xd _ MIDI IN", "minilogue xd _ MIDI OUT"},
        {"MIDIIN2 (USB MIDI Interface)", "MIDIOUT2 (USB MIDI Interface)"},
    };
    for (const auto& [input, output] : pairs) {
        const MidiPortInfo* paired = PairedOutput({input, true, "9"}, outputs);
        ASSERT_NE(paired, nullptr) << input;
        EXPECT_EQ(paired->name, output) << input;
    }
    // Another port's number, another interface, or a port with no output beside it.
    for (const char* alone : {"MIDIIN4 (SL)", "MIDIIN2 (SL2)", "MIDIIN2", "MIDISPORT 4x4 In C (1)",
                              "MIDISPORT 4x4 In (1)", "USB MIDI Interface", "MIDIIN2 (USB MIDI)"}) {
        EXPECT_EQ(PairedOutput({alone, true, "9"}, outputs), nullptr) << alone;
    }
}

}  // namespace
}  // namespace patchferry::midi
