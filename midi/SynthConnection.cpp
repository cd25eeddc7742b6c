#include "midi/SynthConnection.h"

#include <utility>

#include "midi/MidiMessages.h"
#include "midi/PortPairing.h"

namespace patchferry::midi {

std::unique_ptr<SynthConnection> SynthConnection::Open(MidiInputService& inputs,
                                                       MidiOutputService& outputs,
                                                       const MidiPortInfo& input,
                                                       MidiOutPort* shared, std::string& error) {
    std::vector<MidiPortInfo> outputPorts;
    if (const MidiError listed = outputs.ListPorts(outputPorts); listed.Failed()) {
        error = OpenFailureMessage(listed.Text());
        return nullptr;
    }
    const MidiPortInfo* paired = PairedOutput(input, outputPorts);
    if (paired == nullptr) {
        error = "the MIDI input " + input.name + " has no output beside it to send the request on";
        return nullptr;
    }
    std::unique_ptr<SynthConnection> connection(new SynthConnection(input));
    // The input opens first: nothing of an answer to the first request can be missed.
    if (const MidiError opened =
            inputs.OpenInput(input.address, connection->queue_.Sink(), connection->connection_);
        opened.Failed()) {
        error = "cannot open the MIDI input " + input.name + ": " + opened.Text();
        return nullptr;
    }
    const bool canBorrow = shared != nullptr && shared->IsOpen() &&
                           shared->OpenedPort().address == paired->address &&
                           shared->OpenedPort().name == paired->name;
    if (canBorrow) {
        connection->output_ = shared;
        return connection;
    }
    MidiOutPort& own = connection->ownOutput_.emplace(outputs);
    if (const MidiError opened = own.Open(*paired); opened.Failed()) {
        error = OpenFailureMessage(opened.Text());
        return nullptr;
    }
    connection->output_ = &own;
    return connection;
}

// The input closes first, then an output of our own; a borrowed one stays as it was.
SynthConnection::~SynthConnection() {
    connection_.reset();
}

SendOutcome SynthConnection::Send(std::span<const std::uint8_t> message) {
    return SendLongMessage(*output_, message, sendTimeout_);
}

}  // namespace patchferry::midi
