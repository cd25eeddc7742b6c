#include "app/MidiState.h"

#include <algorithm>

#include "midi/PortPairing.h"

namespace patchferry {

std::vector<midi::MidiOutPortInfo> MidiState::HardwareInputs(std::string& error) {
    std::vector<midi::MidiOutPortInfo> inputs;
    if (const midi::MidiError listed = service_.ListInputPorts(inputs); listed.Failed()) {
        error = "The MIDI input ports cannot be listed: " + listed.Text();
        return {};
    }
    std::erase_if(inputs, [](const midi::MidiOutPortInfo& input) { return !input.hardwarePort; });
    return inputs;
}

std::optional<midi::MidiOutPortInfo> MidiState::InputBeside(const midi::MidiOutPortInfo& output) {
    std::string error;
    const std::vector<midi::MidiOutPortInfo> inputs = HardwareInputs(error);
    std::vector<midi::MidiOutPortInfo> outputs;
    if (inputs.empty() || service_.ListPorts(outputs).Failed()) {
        return std::nullopt;
    }
    const auto found = std::find_if(inputs.begin(), inputs.end(), [&](const auto& input) {
        const midi::MidiOutPortInfo* paired = midi::PairedOutput(input, outputs);
        return paired != nullptr && paired->address == output.address &&
               paired->name == output.name;
    });
    return found == inputs.end() ? std::nullopt : std::optional(*found);
}

std::unique_ptr<midi::SynthConnection> MidiState::Connect(const midi::MidiOutPortInfo& input,
                                                          std::string& error) {
    return midi::SynthConnection::Open(service_, service_, input, &output_, error);
}

}  // namespace patchferry
