#include "midi/alsa/AlsaMidiOutputService.h"

#include <cerrno>
#include <utility>

#include "midi/alsa/AlsaPortKind.h"
#include "midi/alsa/SysExPacing.h"

namespace patchferry::midi::alsa {

AlsaMidiOutputService::AlsaMidiOutputService(std::unique_ptr<AlsaSeqLibrary> library)
    : library_(std::move(library)) {}

AlsaMidiOutputService::~AlsaMidiOutputService() = default;

unsigned AlsaMidiOutputService::DeviceCount() {
    listed_ = true;
    devices_.clear();
    std::unique_ptr<AlsaSeqClient> client;
    if (library_->OpenClient(kClientName, client) < 0 || !client) {
        return 0;
    }
    std::vector<AlsaPortInfo> ports;
    if (client->ListPorts(ports) < 0) {
        return 0;
    }
    const int ownClient = client->ClientId();
    for (const AlsaPortInfo& port : ports) {
        const AlsaPortKind kind = ClassifyAlsaPort(port, ownClient);
        if (kind != AlsaPortKind::NoOutput) {
            devices_.push_back({port.client, port.port, AlsaPortDisplayName(port),
                                kind == AlsaPortKind::HardwarePort});
        }
    }
    return static_cast<unsigned>(devices_.size());
}

void AlsaMidiOutputService::ListDevicesOnce() {
    if (!listed_) {
        static_cast<void>(DeviceCount());
    }
}

MidiResult AlsaMidiOutputService::DeviceCaps(unsigned device, MidiOutCaps& caps) {
    ListDevicesOnce();
    if (device >= devices_.size()) {
        return BadDeviceResult();
    }
    caps.name = devices_[device].name;
    caps.hardwarePort = devices_[device].hardwarePort;
    return kMidiOk;
}

MidiResult AlsaMidiOutputService::Open(MidiOutHandle& handle, unsigned device,
                                       CompletionEvent& event) {
    handle = MidiOutHandle::Null;
    ListDevicesOnce();
    if (device >= devices_.size()) {
        return BadDeviceResult();
    }
    const Device& target = devices_[device];
    OpenPort port;
    int result = library_->OpenClient(kClientName, port.client);
    if (result < 0) {
        return result;
    }
    result = port.client->CreateOutputPort(kOutputPortName);
    if (result < 0) {
        return result;
    }
    port.ownPort = result;
    // The kernel delivers to subscribers only: without this the sends fail.
    result = port.client->ConnectTo(port.ownPort, target.client, target.port);
    if (result < 0) {
        return result;
    }
    port.timer = std::make_unique<CompletionTimer>(event);
    const std::uintptr_t key = nextHandle_++;
    open_.emplace(key, std::move(port));
    handle = static_cast<MidiOutHandle>(key);
    return kMidiOk;
}

void AlsaMidiOutputService::Close(MidiOutHandle handle) {
    // Dropping the timer first: no completion arrives once the device is closed.
    open_.erase(static_cast<std::uintptr_t>(handle));
}

AlsaMidiOutputService::OpenPort* AlsaMidiOutputService::Find(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    return it == open_.end() ? nullptr : &it->second;
}

MidiResult AlsaMidiOutputService::PrepareHeader(MidiOutHandle handle, LongMessage& message) {
    if (Find(handle) == nullptr) {
        return InvalidHandleResult();
    }
    message.SetPrepared(true);
    return kMidiOk;
}

MidiResult AlsaMidiOutputService::LongMsg(MidiOutHandle handle, LongMessage& message) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return InvalidHandleResult();
    }
    if (!message.IsPrepared()) {
        return -EINVAL;
    }
    const std::span<const std::uint8_t> data = message.Data();
    // The kernel would cut a longer message short without a word; refuse it whole instead.
    if (data.empty() || data.size() > kKernelMidiBufferSize) {
        return -EMSGSIZE;
    }
    // The previous message may still fill the kernel's buffer; one behind it could be cut short.
    if (port->timer->IsPending()) {
        return -EBUSY;
    }
    const int sent = port->client->SendSysEx(port->ownPort, data);
    if (sent < 0) {
        return sent;
    }
    port->timer->SignalAfter(CompletionDelay(data.size()));
    return kMidiOk;
}

MidiResult AlsaMidiOutputService::UnprepareHeader(MidiOutHandle handle, LongMessage& message) {
    // The sequencer copied the bytes when it took the event; nothing of ours is left with it.
    if (Find(handle) == nullptr) {
        return InvalidHandleResult();
    }
    message.SetPrepared(false);
    return kMidiOk;
}

MidiResult AlsaMidiOutputService::Reset(MidiOutHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return InvalidHandleResult();
    }
    port->timer->Cancel();
    const int result = port->client->DropOutput();
    return result < 0 ? result : kMidiOk;
}

std::string AlsaMidiOutputService::ErrorText(MidiResult code) {
    return library_->ErrorText(code);
}

MidiResult AlsaMidiOutputService::BadDeviceResult() const {
    return -ENODEV;
}

MidiResult AlsaMidiOutputService::InvalidHandleResult() const {
    return -EBADF;
}

}  // namespace patchferry::midi::alsa
