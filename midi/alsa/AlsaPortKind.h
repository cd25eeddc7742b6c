#pragma once
// Which sequencer ports take our output, which of them are hardware MIDI ports (a socket on a USB
// interface or sound card that an instrument hangs off) rather than Midi Through, VirMIDI, a
// sound card's own synthesizer or another program, and how ports are named and addressed.

#include <optional>
#include <string>
#include <string_view>

#include "midi/alsa/AlsaSeq.h"

namespace patchferry::midi::alsa {

// The sequencer's own bit values, so this logic needs no ALSA headers (AlsaSeqLib.cpp checks them
// against alsa-lib's).
inline constexpr unsigned kCapRead = 1U << 0U;
inline constexpr unsigned kCapWrite = 1U << 1U;
inline constexpr unsigned kCapSubsRead = 1U << 5U;
inline constexpr unsigned kCapSubsWrite = 1U << 6U;
inline constexpr unsigned kCapNoExport = 1U << 7U;
inline constexpr unsigned kCapInactive = 1U << 8U;  // newer kernels: a port that is switched off
inline constexpr unsigned kTypeSynth = 1U << 10U;
inline constexpr unsigned kTypeDirectSample = 1U << 11U;
inline constexpr unsigned kTypeSample = 1U << 12U;
inline constexpr unsigned kTypeHardware = 1U << 16U;
inline constexpr unsigned kTypeSoftware = 1U << 17U;
inline constexpr unsigned kTypeSynthesizer = 1U << 18U;
inline constexpr unsigned kTypePort = 1U << 19U;  // leads out to other devices
inline constexpr int kSystemClient = 0;

enum class AlsaPortKind {
    NoOutput,      // cannot be subscribed to for writing, or not for us to use
    HardwarePort,  // a hardware MIDI port
    OtherOutput,   // takes MIDI, but is no socket for an instrument: through and virtual ports,
                   // synthesizers (a sound card's OPL3 or wavetable ones too), programs
};

// What kind of port one that may be used is: the same test for both directions.
constexpr AlsaPortKind KindOfUsablePort(const AlsaPortInfo& port) {
    const unsigned sounds = kTypeSynth | kTypeDirectSample | kTypeSample | kTypeSynthesizer;
    const bool socket = (port.type & (kTypeHardware | kTypePort)) == (kTypeHardware | kTypePort);
    return socket && (port.type & (sounds | kTypeSoftware)) == 0 ? AlsaPortKind::HardwarePort
                                                                 : AlsaPortKind::OtherOutput;
}

// Whether a port with `capability` may be subscribed to in the direction `needed` by us.
constexpr bool IsUsablePort(const AlsaPortInfo& port, int ownClient, unsigned needed) {
    return (port.capability & needed) == needed &&
           (port.capability & (kCapNoExport | kCapInactive)) == 0 && port.client != kSystemClient &&
           port.client != ownClient;
}

constexpr AlsaPortKind ClassifyAlsaPort(const AlsaPortInfo& port, int ownClient) {
    return IsUsablePort(port, ownClient, kCapWrite | kCapSubsWrite) ? KindOfUsablePort(port)
                                                                    : AlsaPortKind::NoOutput;
}

// The same for reading from the port: NoOutput when it cannot be read, else the port's kind,
// filtered exactly as the outputs are.
constexpr AlsaPortKind ClassifyAlsaInputPort(const AlsaPortInfo& port, int ownClient) {
    return IsUsablePort(port, ownClient, kCapRead | kCapSubsRead) ? KindOfUsablePort(port)
                                                                  : AlsaPortKind::NoOutput;
}

// Client and port name without their numbers, which change between boots, so that a saved name
// still finds the port after a restart.
std::string AlsaPortDisplayName(const AlsaPortInfo& port);

// "CLIENT:PORT", as aconnect and the other ALSA tools write a port's address.
std::string AlsaAddressText(int client, int port);
struct AlsaAddress {
    int client = 0;
    int port = 0;
};
std::optional<AlsaAddress> ParseAlsaAddress(std::string_view text);

}  // namespace patchferry::midi::alsa
