#include "SynthLink.h"

#include <ostream>
#include <utility>

#include "CommandSupport.h"
#include "PortChoice.h"
#include "midi/MidiMessages.h"

namespace patchferry::cli {

SynthLink::SynthLink(CliEnvironment& env, std::string command,
                     std::unique_ptr<midi::SynthConnection> connection)
    : env_(env), command_(std::move(command)), connection_(std::move(connection)) {
    connection_->SetSendTimeout(env_.sendTimeout);
}

std::unique_ptr<SynthLink> SynthLink::Open(const std::string& portText, CliEnvironment& env,
                                           const std::string& command, int& status) {
    status = kExitFailure;
    const std::string prefix = "patchferry-cli " + command + ": ";
    midi::MidiInputService& inputs = InputService(env);
    std::vector<midi::MidiOutPortInfo> inputPorts;
    if (const midi::MidiError listed = inputs.ListInputPorts(inputPorts); listed.Failed()) {
        env.err << prefix << "cannot list the MIDI input ports: " << listed.Text() << "\n";
        return nullptr;
    }
    const midi::MidiOutPortInfo* input =
        PickPort(inputPorts, portText, "input", command, env, status);
    if (input == nullptr) {
        return nullptr;
    }
    std::string error;
    auto connection =
        midi::SynthConnection::Open(inputs, env.midiService(), *input, nullptr, error);
    if (!connection) {
        status = kExitFailure;
        env.err << prefix << error << "\n";
        return nullptr;
    }
    status = kExitOk;
    return std::make_unique<SynthLink>(env, command, std::move(connection));
}

void SynthLink::SendFailed(const std::string& errorText) {
    env_.err << "patchferry-cli " << command_ << ": " << midi::SendFailureMessage(errorText)
             << "\n";
}

}  // namespace patchferry::cli
