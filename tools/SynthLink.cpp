#include "SynthLink.h"

#include <ostream>
#include <utility>

#include "CommandSupport.h"
#include "PortChoice.h"
#include "midi/MidiMessages.h"
#include "midi/PortPairing.h"
#include "midi/SendLongMessage.h"

namespace patchferry::cli {

SynthLink::SynthLink(CliEnvironment& env, std::string command)
    : env_(env), command_(std::move(command)), output_(env.midiService()) {}

std::unique_ptr<SynthLink> SynthLink::Open(const std::string& portText, CliEnvironment& env,
                                           const std::string& command, int& status) {
    status = kExitFailure;
    const std::string prefix = "patchferry-cli " + command + ": ";
    midi::MidiInputService& inputs = InputService(env);
    std::vector<midi::MidiOutPortInfo> inputPorts;
    if (const midi::MidiResult listed = inputs.ListInputPorts(inputPorts);
        listed != midi::kMidiOk) {
        env.err << prefix << "cannot list the MIDI input ports: " << inputs.ErrorText(listed)
                << "\n";
        return nullptr;
    }
    const midi::MidiOutPortInfo* input =
        PickPort(inputPorts, portText, "input", command, env, status);
    if (input == nullptr) {
        return nullptr;
    }
    midi::MidiOutputService& outputs = env.midiService();
    std::vector<midi::MidiOutPortInfo> outputPorts;
    if (const midi::MidiResult listed = outputs.ListPorts(outputPorts); listed != midi::kMidiOk) {
        env.err << prefix << midi::OpenFailureMessage(outputs.ErrorText(listed)) << "\n";
        return nullptr;
    }
    const midi::MidiOutPortInfo* output = midi::PairedOutput(*input, outputPorts);
    if (output == nullptr) {
        env.err << prefix << "the MIDI input " << input->name
                << " has no output beside it to send the request on\n";
        return nullptr;
    }
    auto link = std::make_unique<SynthLink>(env, command);
    link->inputName_ = input->name;
    // The input opens first: nothing of an answer to the first request can be missed.
    if (const midi::MidiResult opened =
            inputs.OpenInput(input->address, link->queue_.Sink(), link->input_);
        opened != midi::kMidiOk) {
        env.err << prefix << "cannot open the MIDI input " << input->name << ": "
                << inputs.ErrorText(opened) << "\n";
        return nullptr;
    }
    if (const midi::MidiResult opened = link->output_.Open(*output); opened != midi::kMidiOk) {
        env.err << prefix << midi::OpenFailureMessage(link->output_.ErrorText(opened)) << "\n";
        return nullptr;
    }
    status = kExitOk;
    return link;
}

bool SynthLink::Send(std::span<const std::uint8_t> message) {
    const midi::SendOutcome outcome = midi::SendLongMessage(output_, message, env_.sendTimeout);
    if (!outcome.Succeeded()) {
        env_.err << "patchferry-cli " << command_ << ": "
                 << midi::SendFailureMessage(outcome.errorText) << "\n";
    }
    return outcome.Succeeded();
}

}  // namespace patchferry::cli
