#include "midi/alsa/AlsaMidiOutputService.h"

#include <cerrno>
#include <utility>

#include "midi/alsa/SysExPacing.h"

namespace patchferry::midi::alsa {

AlsaMidiOutputService::AlsaMidiOutputService(std::unique_ptr<AlsaSeqLibrary> library)
    : library_(std::move(library)) {}

AlsaMidiOutputService::~AlsaMidiOutputService() = default;

int AlsaMidiOutputService::UseClient() {
    if (client_) {
        return 0;
    }
    std::unique_ptr<AlsaSeqClient> client;
    const int result = library_->OpenClient(kClientName, client);
    if (result < 0) {
        return result;
    }
    if (!client) {
        return -ENODEV;
    }
    client_ = std::move(client);
    return 0;
}

MidiResult AlsaMidiOutputService::ListPorts(std::vector<MidiOutPortInfo>& ports) {
    ports.clear();
    int result = UseClient();
    if (result < 0) {
        return result;
    }
    std::vector<AlsaPortInfo> all;
    result = client_->ListPorts(all);
    if (result < 0) {
        return result;
    }
    const int ownClient = client_->ClientId();
    for (const AlsaPortInfo& port : all) {
        const AlsaPortKind kind = ClassifyAlsaPort(port, ownClient);
        if (kind != AlsaPortKind::NoOutput) {
            ports.push_back({AlsaPortDisplayName(port), kind == AlsaPortKind::HardwarePort,
                             AlsaAddressText(port.client, port.port)});
        }
    }
    return kMidiOk;
}

MidiResult AlsaMidiOutputService::Open(const std::string& address, CompletionEvent& event,
                                       MidiOutHandle& handle) {
    handle = MidiOutHandle::Null;
    const auto destination = ParseAlsaAddress(address);
    if (!destination) {
        return BadPortResult();
    }
    int result = UseClient();
    if (result < 0) {
        return result;
    }
    AlsaPortInfo info;
    if (client_->PortInfo(destination->client, destination->port, info) < 0 ||
        ClassifyAlsaPort(info, client_->ClientId()) == AlsaPortKind::NoOutput) {
        return BadPortResult();
    }
    OpenPort port;
    port.destination = *destination;
    result = client_->CreateOutputPort(kOutputPortName);
    if (result < 0) {
        return result;
    }
    port.ownPort = result;
    result = client_->ConnectTo(port.ownPort, destination->client, destination->port);
    if (result < 0) {
        static_cast<void>(client_->DeletePort(port.ownPort));
        return result;
    }
    port.timer = std::make_unique<CompletionTimer>(event);
    const std::uintptr_t key = nextHandle_++;
    open_.emplace(key, std::move(port));
    handle = static_cast<MidiOutHandle>(key);
    return kMidiOk;
}

void AlsaMidiOutputService::Close(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    if (it == open_.end()) {
        return;
    }
    // The timer goes first: no completion arrives once the port is closed.
    it->second.timer.reset();
    static_cast<void>(client_->DropOutput());
    static_cast<void>(client_->DeletePort(it->second.ownPort));
    open_.erase(it);
}

AlsaMidiOutputService::OpenPort* AlsaMidiOutputService::Find(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    return it == open_.end() ? nullptr : &it->second;
}

int AlsaMidiOutputService::CheckDestination(const OpenPort& port) {
    const AlsaAddress& to = port.destination;
    if (client_->CheckConnectedTo(port.ownPort, to.client, to.port) < 0) {
        return -ENODEV;
    }
    AlsaPortInfo info;
    const int result = client_->PortInfo(to.client, to.port, info);
    if (result < 0) {
        return result;
    }
    return info.writeUse > 1 ? -EBUSY : 0;
}

MidiResult AlsaMidiOutputService::Send(MidiOutHandle handle,
                                       std::span<const std::uint8_t> message) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return InvalidHandleResult();
    }
    // The kernel's MIDI buffer takes a SysEx event piece by piece and drops the pieces that do
    // not fit without a word; a longer message could never go out whole.
    if (message.empty() || message.size() > kKernelMidiBufferSize) {
        return -EMSGSIZE;
    }
    // The previous message may still fill that buffer; one behind it could be cut short.
    if (port->timer->IsPending()) {
        return -EBUSY;
    }
    int result = CheckDestination(*port);
    if (result < 0) {
        return result;
    }
    result = client_->SendSysEx(port->ownPort, port->destination.client, port->destination.port,
                                message);
    if (result < 0) {
        return result;
    }
    port->inFlight = true;
    port->timer->SignalAfter(CompletionDelay(message.size()));
    return kMidiOk;
}

MidiResult AlsaMidiOutputService::FinishSend(MidiOutHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return InvalidHandleResult();
    }
    if (port->timer->IsPending()) {
        return -EBUSY;
    }
    if (!port->inFlight) {
        return kMidiOk;
    }
    port->inFlight = false;
    // Unplugged while the message was on its way, or another program joined in: the device may
    // have got part of it only.
    return CheckDestination(*port);
}

MidiResult AlsaMidiOutputService::Reset(MidiOutHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return InvalidHandleResult();
    }
    port->timer->Cancel();
    port->inFlight = false;
    const int result = client_->DropOutput();
    return result < 0 ? result : kMidiOk;
}

std::string AlsaMidiOutputService::ErrorText(MidiResult code) {
    return library_->ErrorText(code);
}

MidiResult AlsaMidiOutputService::BadPortResult() const {
    return -ENODEV;
}

MidiResult AlsaMidiOutputService::InvalidHandleResult() const {
    return -EBADF;
}

}  // namespace patchferry::midi::alsa
