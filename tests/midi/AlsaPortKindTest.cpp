#include "midi/alsa/AlsaPortKind.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include "midi/alsa/SysExPacing.h"

namespace patchferry::midi::alsa {
namespace {

constexpr int kOwnClient = 130;

struct PortCase {
    const char* what;
    int client;
    unsigned type;
    unsigned capability;
    AlsaPortKind kind;
};

// Type and capability bits as the kernel drivers and the programs set them.
constexpr unsigned kRawMidiType =
    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE | SND_SEQ_PORT_TYPE_PORT;
constexpr unsigned kRawMidiDuplex = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SYNC_READ |
                                    SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_WRITE |
                                    SND_SEQ_PORT_CAP_SYNC_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE |
                                    SND_SEQ_PORT_CAP_DUPLEX;
constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr unsigned kReadable = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;

constexpr PortCase kCases[] = {
    {"USB MIDI interface", 24, kRawMidiType, kRawMidiDuplex, AlsaPortKind::HardwarePort},
    {"sound-card MIDI out", 16, kRawMidiType,
     SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SYNC_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
     AlsaPortKind::HardwarePort},
    {"input-only hardware port", 24, kRawMidiType,
     SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SYNC_READ | SND_SEQ_PORT_CAP_SUBS_READ,
     AlsaPortKind::NoOutput},
    {"Midi Through", 14,
     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SOFTWARE | SND_SEQ_PORT_TYPE_PORT,
     kReadable | kWritable, AlsaPortKind::OtherOutput},
    {"VirMIDI", 20,
     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SOFTWARE | SND_SEQ_PORT_TYPE_PORT,
     kRawMidiDuplex, AlsaPortKind::OtherOutput},
    {"soft synth", 128,
     SND_SEQ_PORT_TYPE_MIDI_GM | SND_SEQ_PORT_TYPE_SYNTHESIZER | SND_SEQ_PORT_TYPE_APPLICATION,
     kWritable, AlsaPortKind::OtherOutput},
    {"another program's input", 129, SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION,
     kWritable, AlsaPortKind::OtherOutput},
    {"writable but no subscriptions", 129, SND_SEQ_PORT_TYPE_MIDI_GENERIC, SND_SEQ_PORT_CAP_WRITE,
     AlsaPortKind::NoOutput},
    {"NO_EXPORT port", 129, kRawMidiType, kWritable | SND_SEQ_PORT_CAP_NO_EXPORT,
     AlsaPortKind::NoOutput},
    {"inactive hardware port", 24, kRawMidiType, kRawMidiDuplex | kCapInactive,
     AlsaPortKind::NoOutput},
    {"system announce port", SND_SEQ_CLIENT_SYSTEM, 0, kReadable | kWritable,
     AlsaPortKind::NoOutput},
    {"OPL3 synthesizer", 17,
     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_MIDI_GM | SND_SEQ_PORT_TYPE_HARDWARE |
         SND_SEQ_PORT_TYPE_SYNTHESIZER,
     kWritable, AlsaPortKind::OtherOutput},
    {"Emux wavetable", 18,
     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_MIDI_GS | SND_SEQ_PORT_TYPE_HARDWARE |
         SND_SEQ_PORT_TYPE_SYNTHESIZER | SND_SEQ_PORT_TYPE_PORT,
     kWritable, AlsaPortKind::OtherOutput},
    {"USB sound module's own synth", 24, kRawMidiType | SND_SEQ_PORT_TYPE_SYNTHESIZER,
     kRawMidiDuplex, AlsaPortKind::OtherOutput},
    {"USB interface's control port", 24,
     SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE, kRawMidiDuplex,
     AlsaPortKind::OtherOutput},
    {"our own client", kOwnClient, SND_SEQ_PORT_TYPE_MIDI_GENERIC, kReadable | kWritable,
     AlsaPortKind::NoOutput},
};

TEST(AlsaPortKindTest, TellsHardwarePortsFromOtherOutputsAndSkipsTheRest) {
    for (const PortCase& c : kCases) {
        AlsaPortInfo port;
        port.client = c.client;
        port.type = c.type;
        port.capability = c.capability;
        EXPECT_EQ(ClassifyAlsaPort(port, kOwnClient), c.kind) << c.what;
    }
}

TEST(AlsaPortKindTest, NamesAPortWithoutItsNumbers) {
    AlsaPortInfo port;
    port.client = 24;
    port.port = 0;
    port.clientName = "UM-ONE";
    port.portName = "UM-ONE MIDI 1";
    EXPECT_EQ(AlsaPortDisplayName(port), "UM-ONE: UM-ONE MIDI 1");
}

TEST(AlsaPortKindTest, AddressesReadAsTheAlsaToolsWriteThem) {
    EXPECT_EQ(AlsaAddressText(24, 0), "24:0");
    const auto address = ParseAlsaAddress("128:3");
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->client, 128);
    EXPECT_EQ(address->port, 3);
    for (const char* bad : {"", "24", ":0", "24:", "24:0:1", "-1:0", "256:0", "a:b", " 24:0"}) {
        EXPECT_FALSE(ParseAlsaAddress(bad).has_value()) << bad;
    }
}

TEST(SysExPacingTest, TakesThreeHundredTwentyMicrosecondsAByte) {
    using std::chrono::microseconds;
    EXPECT_EQ(SysExTransmissionTime(0), microseconds(0));
    EXPECT_EQ(SysExTransmissionTime(1), microseconds(320));
    // The Radias program dump: about 657 ms on the wire.
    EXPECT_EQ(SysExTransmissionTime(2052), microseconds(656640));
    EXPECT_GT(CompletionDelay(2052), SysExTransmissionTime(2052));
    EXPECT_LT(CompletionDelay(2052), microseconds(800000));
}

}  // namespace
}  // namespace patchferry::midi::alsa
