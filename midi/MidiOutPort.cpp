#include "midi/MidiOutPort.h"

#include <algorithm>
#include <vector>

namespace patchferry::midi {

MidiOutPort::MidiOutPort(MidiOutputService& service) : service_(service) {}

MidiOutPort::~MidiOutPort() {
    Close();
}

MidiError MidiOutPort::Open(const MidiOutPortInfo& wanted) {
    Close();
    std::vector<MidiOutPortInfo> ports;
    if (MidiError listed = service_.ListPorts(ports); listed.Failed()) {
        return listed;
    }
    // An address alone could name another device that took the number over after an unplug.
    auto found = std::find_if(ports.begin(), ports.end(), [&](const MidiOutPortInfo& port) {
        return port.address == wanted.address && port.name == wanted.name;
    });
    if (found == ports.end()) {
        found = std::find_if(ports.begin(), ports.end(), [&](const MidiOutPortInfo& port) {
            return port.name == wanted.name && port.hardwarePort == wanted.hardwarePort;
        });
    }
    if (wanted.name.empty() || found == ports.end()) {
        return service_.ErrorFor(MidiErrorCause::NoSuchPort);
    }
    MidiOutHandle handle = MidiOutHandle::Null;
    MidiError result = service_.Open(found->address, event_, handle);
    if (result.Ok()) {
        handle_ = handle;
        opened_ = *found;
    }
    return result;
}

void MidiOutPort::Close() {
    if (handle_ != MidiOutHandle::Null) {
        service_.Close(handle_);
    }
    handle_ = MidiOutHandle::Null;
    opened_ = {};
}

}  // namespace patchferry::midi
