#include "midi/MidiOutPort.h"

#include <algorithm>
#include <vector>

namespace patchferry::midi {

MidiOutPort::MidiOutPort(MidiOutputService& service) : service_(service) {}

MidiOutPort::~MidiOutPort() {
    Close();
}

MidiError MidiOutPort::Open(const MidiPortInfo& wanted) {
    Close();
    std::vector<MidiPortInfo> ports;
    if (MidiError listed = service_.ListPorts(ports); listed.Failed()) {
        return listed;
    }
    // An address alone could name another device that took the number over after an unplug.
    auto found = std::find_if(ports.begin(), ports.end(), [&](const MidiPortInfo& port) {
        return port.address == wanted.address && port.name == wanted.name;
    });
    if (found == ports.end()) {
        found = std::find_if(ports.begin(), ports.end(), [&](const MidiPortInfo& port) {
            return port.name == wanted.name && port.hardwarePort == wanted.hardwarePort;
        });
    }
    if (wanted.name.empty() || found == ports.end()) {
        return service_.ErrorFor(MidiErrorCause::NoSuchPort);
    }
    MidiError result = MidiOutput::Open(service_, found->address, output_);
    if (result.Ok()) {
        opened_ = *found;
    }
    return result;
}

void MidiOutPort::Close() {
    output_.reset();
    opened_ = {};
}

MidiError MidiOutPort::Send(std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout) {
    return output_ ? output_->Send(message, timeout) : service_.ErrorFor(MidiErrorCause::NotOpen);
}

}  // namespace patchferry::midi
