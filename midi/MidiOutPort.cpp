#include "midi/MidiOutPort.h"

namespace patchferry::midi {

MidiOutPort::MidiOutPort(MidiOutputService& service) : service_(service) {}

MidiOutPort::~MidiOutPort() {
    Close();
}

MidiResult MidiOutPort::Open(int device) {
    Close();
    if (device < 0) {
        return service_.BadDeviceResult();
    }
    MidiOutHandle handle = MidiOutHandle::Null;
    const MidiResult result = service_.Open(handle, static_cast<unsigned>(device), event_);
    if (result == kMidiOk) {
        handle_ = handle;
    }
    return result;
}

void MidiOutPort::Close() {
    if (handle_ != MidiOutHandle::Null) {
        service_.Close(handle_);
    }
    handle_ = MidiOutHandle::Null;
}

std::string MidiOutPort::ErrorText(MidiResult code) const {
    return service_.ErrorText(code);
}

}  // namespace patchferry::midi
