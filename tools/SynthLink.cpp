#include "SynthLink.h"

#include <ostream>
#include <utility>

#include "CommandSupport.h"
#include "PortChoice.h"
#include "midi/MidiMessages.h"
#include "midi/PortPairing.h"

namespace patchferry::cli {

SynthLink::SynthLink(CliEnvironment& env, std::string command,
                     std::unique_ptr<midi::SynthConnection> connection)
    : env_(env), command_(std::move(command)), talk_(std::move(connection), env.receiveTimeouts) {}

namespace {

bool ListInputs(CliEnvironment& env, const std::string& prefix,
                std::vector<midi::MidiPortInfo>& ports) {
    midi::MidiInputService& inputs = InputService(env);
    if (const midi::MidiError listed = inputs.ListInputPorts(ports); listed.Failed()) {
        env.err << prefix << "cannot list the MIDI input ports: " << listed.Text() << "\n";
        return false;
    }
    return true;
}

std::unique_ptr<SynthLink> Connect(const midi::MidiPortInfo& input, CliEnvironment& env,
                                   const std::string& command, const std::string& prefix) {
    std::string error;
    auto connection =
        midi::SynthConnection::Open(InputService(env), env.midiService(), input, nullptr, error);
    if (!connection) {
        env.err << prefix << error << "\n";
        return nullptr;
    }
    connection->SetSendTimeout(env.sendTimeout);
    return std::make_unique<SynthLink>(env, command, std::move(connection));
}

}  // namespace

std::unique_ptr<SynthLink> SynthLink::Open(const std::string& portText, CliEnvironment& env,
                                           const std::string& command, int& status) {
    status = kExitFailure;
    const std::string prefix = "patchferry-cli " + command + ": ";
    std::vector<midi::MidiPortInfo> inputPorts;
    if (!ListInputs(env, prefix, inputPorts)) {
        return nullptr;
    }
    const midi::MidiPortInfo* input = PickPort(inputPorts, portText, "input", command, env, status);
    if (input == nullptr) {
        return nullptr;
    }
    status = kExitFailure;
    auto link = Connect(*input, env, command, prefix);
    if (link) {
        status = kExitOk;
    }
    return link;
}

std::unique_ptr<SynthLink> SynthLink::OpenBeside(const midi::MidiPortInfo& output,
                                                 CliEnvironment& env, const std::string& command) {
    const std::string prefix = "patchferry-cli " + command + ": ";
    std::vector<midi::MidiPortInfo> inputPorts;
    std::vector<midi::MidiPortInfo> outputPorts;
    if (!ListInputs(env, prefix, inputPorts)) {
        return nullptr;
    }
    if (const midi::MidiError listed = env.midiService().ListPorts(outputPorts); listed.Failed()) {
        env.err << prefix << midi::OpenFailureMessage(listed.Text()) << "\n";
        return nullptr;
    }
    const midi::MidiPortInfo* input = midi::PairedInput(output, inputPorts, outputPorts);
    if (input == nullptr) {
        env.err << prefix << "the MIDI port " << output.name
                << " has no MIDI input beside it to hear the Radias on; nothing was sent\n";
        return nullptr;
    }
    return Connect(*input, env, command, prefix);
}

std::unique_ptr<SynthLink> SynthLink::OpenEither(const std::string& portText, CliEnvironment& env,
                                                 const std::string& command, int& status) {
    status = kExitFailure;
    const std::string prefix = "patchferry-cli " + command + ": ";
    std::vector<midi::MidiPortInfo> outputs;
    if (const midi::MidiError listed = env.midiService().ListPorts(outputs); listed.Failed()) {
        env.err << prefix << midi::OpenFailureMessage(listed.Text()) << "\n";
        return nullptr;
    }
    if (const PortChoice output = ChoosePort(outputs, portText); output.port != nullptr) {
        return OpenBeside(*output.port, env, command);
    }
    std::vector<midi::MidiPortInfo> inputs;
    if (ListInputs(env, prefix, inputs)) {
        if (const PortChoice input = ChoosePort(inputs, portText); input.port != nullptr) {
            return Connect(*input.port, env, command, prefix);
        }
    }
    // Neither: said as for an output, with the outputs to choose from.
    PickPort(outputs, portText, "output", command, env, status);
    return nullptr;
}

void SynthLink::SendFailed(const std::string& errorText) {
    env_.err << "patchferry-cli " << command_ << ": " << midi::SendFailureMessage(errorText)
             << "\n";
}

}  // namespace patchferry::cli
