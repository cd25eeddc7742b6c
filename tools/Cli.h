#pragma once
// patchferry-cli: listing, converting and sending MS2000 programs, and receiving them from the
// synth, without the window.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "midi/MidiInputService.h"
#include "midi/MidiOutputService.h"
#include "synth/ProgramReceiver.h"

namespace patchferry::cli {

struct CliEnvironment {
    std::ostream& out;
    std::ostream& err;
    // Where "ports" and "send" find the MIDI outputs; asked only when one of them runs.
    std::function<midi::MidiOutputService&()> midiService;
    // Binary dumps are never written to a terminal.
    bool outIsTerminal = false;
    // How long "send" waits for the port to finish with the dump.
    std::chrono::milliseconds sendTimeout{30000};
    // Where "ports --input", "identify" and "receive" find the MIDI inputs (on Linux the same
    // object as the outputs: one sequencer client); asked only when one of them runs.
    std::function<midi::MidiInputService&()> midiInput = {};
    // "receive" shows its progress only on a terminal.
    bool errIsTerminal = false;
    // How long "receive" waits for the answer to begin and, once begun, for each next byte.
    synth::ReceiveTimeouts receiveTimeouts = {};
};

// Runs the command line `args` (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& args, CliEnvironment& env);

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the command could not do what it was asked
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

}  // namespace patchferry::cli
