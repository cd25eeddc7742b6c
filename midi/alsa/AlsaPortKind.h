#pragma once
// Which sequencer ports take our output, and which of them are hardware MIDI ports (a socket on a
// USB interface or sound card) rather than Midi Through, VirMIDI, a soft synth or another program.

#include <string>

#include "midi/alsa/AlsaSeq.h"

namespace patchferry::midi::alsa {

// The sequencer's own bit values, so this logic needs no ALSA headers (AlsaSeqLib.cpp checks them
// against alsa-lib's).
inline constexpr unsigned kCapWrite = 1U << 1U;
inline constexpr unsigned kCapSubsWrite = 1U << 6U;
inline constexpr unsigned kCapNoExport = 1U << 7U;
inline constexpr unsigned kCapInactive = 1U << 8U;  // newer kernels: a port that is switched off
inline constexpr unsigned kTypeHardware = 1U << 16U;
inline constexpr int kSystemClient = 0;

enum class AlsaPortKind {
    NoOutput,      // cannot be subscribed to for writing, or not for us to use
    HardwarePort,  // a hardware MIDI port
    OtherOutput,   // takes MIDI, but is software: through ports, virtual ports, synths, programs
};

constexpr AlsaPortKind ClassifyAlsaPort(const AlsaPortInfo& port, int ownClient) {
    const unsigned needed = kCapWrite | kCapSubsWrite;
    if ((port.capability & needed) != needed ||
        (port.capability & (kCapNoExport | kCapInactive)) != 0 || port.client == kSystemClient ||
        port.client == ownClient) {
        return AlsaPortKind::NoOutput;
    }
    return (port.type & kTypeHardware) != 0 ? AlsaPortKind::HardwarePort
                                            : AlsaPortKind::OtherOutput;
}

// Client and port name without their numbers, which change between boots, so that a saved name
// still finds the port after a restart.
std::string AlsaPortDisplayName(const AlsaPortInfo& port);

}  // namespace patchferry::midi::alsa
