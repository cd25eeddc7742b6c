#pragma once
// Which MIDI output port "--port" names, tried in this order: the exact full name (a hardware
// port before a software one of the same name, then the first), the address (CLIENT:PORT with
// ALSA), the number "patchferry-cli ports" prints, and last a part of the name with letter case
// ignored, such as the interface's name alone. A part is taken when exactly one hardware port
// has it, or else when exactly one port of any kind does.

#include <iosfwd>
#include <string>
#include <vector>

#include "Cli.h"
#include "midi/MidiOutputService.h"

namespace patchferry::cli {

struct PortChoice {
    const midi::MidiPortInfo* port = nullptr;           // the one named; null when none or several
    std::vector<const midi::MidiPortInfo*> candidates;  // when a part fits several ports
};

PortChoice ChoosePort(const std::vector<midi::MidiPortInfo>& ports, const std::string& wanted);

// The ports as "patchferry-cli ports" prints them: number, name, kind and address, tab-separated,
// each line after `indent`.
void PrintPorts(const std::vector<midi::MidiPortInfo>& ports, std::ostream& out,
                const char* indent);

// The port "--port" names among `ports` (the MIDI `direction`: "output" or "input"); when there is
// none, or several fit, says so with the ports to choose from and sets `status`.
const midi::MidiPortInfo* PickPort(const std::vector<midi::MidiPortInfo>& ports,
                                   const std::string& wanted, const char* direction,
                                   const std::string& command, CliEnvironment& env, int& status);

}  // namespace patchferry::cli
