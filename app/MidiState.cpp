#include "app/MidiState.h"

#include <algorithm>

#include "midi/PortPairing.h"

namespace patchferry {

std::vector<midi::MidiOutPortInfo> MidiState::HardwareInputs(std::string& error) {
    std::vector<midi::MidiOutPortInfo> inputs;
    if (const midi::MidiResult listed = service_.ListInputPorts(inputs); listed != midi::kMidiOk) {
        error = "The MIDI input ports cannot be listed: " + service_.ErrorText(listed);
        return {};
    }
    std::erase_if(inputs, [](const midi::MidiOutPortInfo& input) { return !input.hardwarePort; });
    return inputs;
}

std::optional<midi::MidiOutPortInfo> MidiState::InputBeside(const midi::MidiOutPortInfo& output) {
    std::string error;
    const std::vector<midi::MidiOutPortInfo> inputs = HardwareInputs(error);
    std::vector<midi::MidiOutPortInfo> outputs;
    if (inputs.empty() || service_.ListPorts(outputs) != midi::kMidiOk) {
        return std::nullopt;
    }
    const midi::MidiOutPortInfo* found = midi::PairedInput(output, inputs, outputs);
    return found == nullptr ? std::nullopt : std::optional(*found);
}

std::unique_ptr<midi::SynthConnection> MidiState::Connect(const midi::MidiOutPortInfo& input,
                                                          std::string& error) {
    return midi::SynthConnection::Open(service_, service_, input, &output_, error);
}

}  // namespace patchferry
