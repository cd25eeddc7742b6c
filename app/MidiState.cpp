#include "app/MidiState.h"

#include <algorithm>

#include "midi/PortPairing.h"

namespace patchferry {

std::vector<midi::MidiPortInfo> MidiState::HardwareInputs(std::string& error) {
    std::vector<midi::MidiPortInfo> inputs;
    if (const midi::MidiError listed = service_.ListInputPorts(inputs); listed.Failed()) {
        error = "The MIDI input ports cannot be listed: " + listed.Text();
        return {};
    }
    std::erase_if(inputs, [](const midi::MidiPortInfo& input) { return !input.hardwarePort; });
    return inputs;
}

std::optional<midi::MidiPortInfo> MidiState::InputBeside(const midi::MidiPortInfo& output) {
    std::string error;
    const std::vector<midi::MidiPortInfo> inputs = HardwareInputs(error);
    std::vector<midi::MidiPortInfo> outputs;
    if (inputs.empty() || service_.ListPorts(outputs).Failed()) {
        return std::nullopt;
    }
    const midi::MidiPortInfo* found = midi::PairedInput(output, inputs, outputs);
    return found == nullptr ? std::nullopt : std::optional(*found);
}

std::unique_ptr<midi::SynthConnection> MidiState::Connect(const midi::MidiPortInfo& input,
                                                          std::string& error) {
    return midi::SynthConnection::Open(service_, service_, input, &output_, error);
}

}  // namespace patchferry
