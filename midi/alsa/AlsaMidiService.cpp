#include "midi/alsa/AlsaMidiService.h"

#include <cerrno>
#include <chrono>
#include <utility>

#include "midi/alsa/SysExPacing.h"

namespace patchferry::midi::alsa {

AlsaMidiService::AlsaMidiService(std::unique_ptr<AlsaSeqLibrary> library)
    : library_(std::move(library)) {}

AlsaMidiService::~AlsaMidiService() = default;

namespace {
// How long the reading thread waits for events before it looks whether it should stop.
constexpr int kReadWaitMs = 50;
}  // namespace

// Closes its input when destroyed.
class AlsaMidiService::InputConnection final : public MidiInputConnection {
  public:
    InputConnection(AlsaMidiService& service, std::uintptr_t key)
        : service_(service), key_(key) {}
    ~InputConnection() override { service_.CloseInput(key_); }
    InputConnection(const InputConnection&) = delete;
    InputConnection& operator=(const InputConnection&) = delete;

  private:
    AlsaMidiService& service_;
    std::uintptr_t key_;
};

MidiError AlsaMidiService::ListInputPorts(std::vector<MidiPortInfo>& ports) {
    return ListUsable(ports, &ClassifyAlsaInputPort);
}

MidiError AlsaMidiService::OpenInput(const std::string& address, MidiInputSink sink,
                                           std::unique_ptr<MidiInputConnection>& input) {
    input.reset();
    const auto source = ParseAlsaAddress(address);
    if (!source || !sink) {
        return Fail(-ENODEV, AlsaCause::NoSuchInput);
    }
    if (MidiError unusable = UseClient(); unusable.Failed()) {
        return unusable;
    }
    AlsaPortInfo info;
    if (client_->PortInfo(source->client, source->port, info) < 0 ||
        ClassifyAlsaInputPort(info, client_->ClientId()) == AlsaPortKind::NoOutput) {
        return Fail(-ENODEV, AlsaCause::NoSuchInput);
    }
    const int ownPort = client_->CreateInputPort(kInputPortName);
    if (ownPort < 0) {
        return Fail(ownPort);
    }
    if (const int result = client_->ConnectFrom(ownPort, source->client, source->port);
        result < 0) {
        static_cast<void>(client_->DeletePort(ownPort));
        return Fail(result);
    }
    const std::uintptr_t key = nextHandle_++;
    {
        const std::lock_guard lock(inputMutex_);
        inputs_.emplace(key, OpenInputPort{ownPort, *source, std::move(sink)});
    }
    if (!reader_.joinable()) {
        reader_ = std::jthread([this](const std::stop_token& stop) { ReadInputs(stop); });
    }
    input = std::make_unique<InputConnection>(*this, key);
    return {};
}

void AlsaMidiService::CloseInput(std::uintptr_t key) {
    int ownPort = -1;
    {
        // Once the input is out of the map, its sink is never called again.
        const std::lock_guard lock(inputMutex_);
        const auto it = inputs_.find(key);
        if (it == inputs_.end()) {
            return;
        }
        ownPort = it->second.ownPort;
        inputs_.erase(it);
    }
    static_cast<void>(client_->DeletePort(ownPort));
}

void AlsaMidiService::ReadInputs(const std::stop_token& stop) {
    std::vector<AlsaInput> arrived;
    while (!stop.stop_requested()) {
        if (client_->ReadInput(kReadWaitMs, arrived) < 0) {
            // Not expected while the client lives; the wait keeps a lasting failure from spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(kReadWaitMs));
            continue;
        }
        const std::lock_guard lock(inputMutex_);
        for (const AlsaInput& event : arrived) {
            for (const auto& [key, port] : inputs_) {
                // Another program may address our port directly: only what the chosen port sent
                // may join an answer being received.
                const bool fromSource = event.ownPort == port.ownPort &&
                                        event.senderClient == port.source.client &&
                                        event.senderPort == port.source.port;
                if (event.ownPort == kAllInputs || fromSource) {
                    port.sink(event.bytes);
                }
            }
        }
    }
}

MidiError AlsaMidiService::UseClient() {
    if (client_) {
        return {};
    }
    std::unique_ptr<AlsaSeqClient> client;
    const int result = library_->OpenClient(kClientName, client);
    if (result < 0) {
        return Fail(result, SequencerOpenCause(result));
    }
    if (!client) {
        return Fail(-ENODEV);
    }
    client_ = std::move(client);
    return {};
}

MidiError AlsaMidiService::ListPorts(std::vector<MidiPortInfo>& ports) {
    return ListUsable(ports, &ClassifyAlsaPort);
}

MidiError AlsaMidiService::ListUsable(std::vector<MidiPortInfo>& ports,
                                            AlsaPortKind (*classify)(const AlsaPortInfo&, int)) {
    ports.clear();
    if (MidiError unusable = UseClient(); unusable.Failed()) {
        return unusable;
    }
    std::vector<AlsaPortInfo> all;
    if (const int result = client_->ListPorts(all); result < 0) {
        return Fail(result);
    }
    const int ownClient = client_->ClientId();
    for (const AlsaPortInfo& port : all) {
        const AlsaPortKind kind = classify(port, ownClient);
        if (kind != AlsaPortKind::NoOutput) {
            ports.push_back({AlsaPortDisplayName(port), kind == AlsaPortKind::HardwarePort,
                             AlsaAddressText(port.client, port.port)});
        }
    }
    return {};
}

MidiError AlsaMidiService::Open(const std::string& address, CompletionEvent& event,
                                      MidiOutHandle& handle) {
    handle = MidiOutHandle::Null;
    const auto destination = ParseAlsaAddress(address);
    if (!destination) {
        return ErrorFor(MidiErrorCause::NoSuchPort);
    }
    if (MidiError unusable = UseClient(); unusable.Failed()) {
        return unusable;
    }
    AlsaPortInfo info;
    if (client_->PortInfo(destination->client, destination->port, info) < 0) {
        return ErrorFor(MidiErrorCause::NoSuchPort);
    }
    const AlsaPortKind kind = ClassifyAlsaPort(info, client_->ClientId());
    if (kind == AlsaPortKind::NoOutput) {
        return ErrorFor(MidiErrorCause::NoSuchPort);
    }
    OpenPort port;
    port.destination = *destination;
    port.hardware = kind == AlsaPortKind::HardwarePort;
    const int ownPort = client_->CreateOutputPort(kOutputPortName);
    if (ownPort < 0) {
        return Fail(ownPort);
    }
    port.ownPort = ownPort;
    if (const int result = client_->ConnectTo(port.ownPort, destination->client, destination->port);
        result < 0) {
        static_cast<void>(client_->DeletePort(port.ownPort));
        return Fail(result);
    }
    // Only a hardware port writes into a raw MIDI buffer (the others hand on whole events), and
    // its output is open once we are subscribed.
    if (port.hardware && info.card >= 0) {
        PortBufferWatch watch(*library_, info.card, destination->port);
        if (watch.Read()) {
            port.buffer.emplace(watch);
        }
    }
    port.timer = std::make_unique<CompletionTimer>(event);
    const std::uintptr_t key = nextHandle_++;
    open_.emplace(key, std::move(port));
    handle = static_cast<MidiOutHandle>(key);
    return {};
}

void AlsaMidiService::Close(MidiOutHandle handle) {
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

AlsaMidiService::OpenPort* AlsaMidiService::Find(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    return it == open_.end() ? nullptr : &it->second;
}

MidiError AlsaMidiService::Fail(int alsaResult, AlsaCause cause, const std::string& detail) {
    return {SharedCause(cause, alsaResult), alsaResult, library_->ErrorText(alsaResult),
            CauseText(cause, detail)};
}

MidiError AlsaMidiService::CheckConnected(const OpenPort& port) {
    const AlsaAddress& to = port.destination;
    return client_->CheckConnectedTo(port.ownPort, to.client, to.port) < 0
               ? Fail(-ENODEV, AlsaCause::PortGone)
               : MidiError();
}

std::vector<std::string> AlsaMidiService::OtherWriters(const OpenPort& port) {
    std::vector<AlsaPortInfo> senders;
    std::vector<std::string> names;
    if (client_->WriteSubscribers(port.destination.client, port.destination.port, senders) >= 0) {
        for (const AlsaPortInfo& sender : senders) {
            if (sender.client != client_->ClientId()) {
                names.push_back(
                    (sender.clientName.empty() ? std::string("a program") : sender.clientName) +
                    " (" + AlsaAddressText(sender.client, sender.port) + ")");
            }
        }
    }
    return names;
}

std::string AlsaMidiService::OtherWritersText(const OpenPort& port) {
    const std::vector<std::string> names = OtherWriters(port);
    if (names.empty()) {
        return "no other program is connected to the port, so the one that wrote to it cannot be "
               "named";
    }
    std::string text = "connected to write to the port: ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : ", ") + names[i];
    }
    return text;
}

MidiError AlsaMidiService::RefuseBesideOthers(const OpenPort& port) {
    if (!port.hardware || OtherWriters(port).empty()) {
        return {};
    }
    return Fail(-EBUSY, AlsaCause::Unwatchable, OtherWritersText(port));
}

MidiError AlsaMidiService::PrepareBuffer(OpenPort& port) {
    port.measured = false;
    if (!port.buffer) {
        return RefuseBesideOthers(port);
    }
    const std::optional<RawMidiOutputStatus> now = port.buffer->Read();
    const std::size_t pending = now ? now->Pending() : 0;
    const auto drained =
        port.buffer->WaitUntilEmpty(std::chrono::steady_clock::now() + CompletionDelay(pending));
    if (!drained) {
        return RefuseBesideOthers(port);
    }
    if (!drained->empty) {
        return Fail(-EBUSY, AlsaCause::OthersFillBuffer,
                    std::to_string(drained->status.Pending()) + " bytes were waiting; " +
                        OtherWritersText(port));
    }
    port.enteredBefore = drained->status.Entered();
    port.measured = true;
    return {};
}

MidiError AlsaMidiService::CheckBufferAfter(OpenPort& port) {
    // Without a reading from before, only the rule for an unwatched buffer is left: whether
    // another program joined meanwhile.
    if (!port.measured) {
        return RefuseBesideOthers(port);
    }
    port.measured = false;
    const auto drained = port.buffer->WaitUntilEmpty(std::chrono::steady_clock::now() +
                                                     CompletionDelay(kKernelMidiBufferSize));
    // The count only grows while the output stays open; a smaller one is another opening's.
    if (!drained || drained->status.Entered() < port.enteredBefore) {
        return RefuseBesideOthers(port);
    }
    const std::uint64_t entered = drained->status.Entered() - port.enteredBefore;
    const std::uint64_t size = port.inFlightSize;
    if (entered < size) {
        return Fail(-ENOBUFS, AlsaCause::BytesDropped,
                    std::to_string(size - entered) + " of its " + std::to_string(size) +
                        " bytes never went in; " + OtherWritersText(port));
    }
    if (entered > size || !drained->empty) {
        return Fail(-EBUSY, AlsaCause::OtherWriter,
                    std::to_string(entered - size) + " other bytes went into the port's buffer; " +
                        OtherWritersText(port));
    }
    return {};
}

MidiError AlsaMidiService::Send(MidiOutHandle handle, std::span<const std::uint8_t> message) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return ErrorFor(MidiErrorCause::NotOpen);
    }
    // The kernel's MIDI buffer takes a SysEx event piece by piece and drops the pieces that do
    // not fit without a word; a longer message could never go out whole.
    if (message.empty() || message.size() > kKernelMidiBufferSize) {
        return Fail(-EMSGSIZE, AlsaCause::TooLong);
    }
    // The previous message may still fill that buffer; one behind it could be cut short.
    if (port->timer->IsPending()) {
        return Fail(-EBUSY, AlsaCause::StillSending);
    }
    if (MidiError gone = CheckConnected(*port); gone.Failed()) {
        return gone;
    }
    if (MidiError refused = PrepareBuffer(*port); refused.Failed()) {
        return refused;
    }
    if (const int result = client_->SendSysEx(port->ownPort, port->destination.client,
                                              port->destination.port, message);
        result < 0) {
        MidiError gone = CheckConnected(*port);
        return gone.Failed() ? gone : Fail(result);
    }
    port->inFlight = true;
    port->inFlightSize = message.size();
    port->timer->SignalAfter(CompletionDelay(message.size()));
    return {};
}

MidiError AlsaMidiService::FinishSend(MidiOutHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return ErrorFor(MidiErrorCause::NotOpen);
    }
    if (port->timer->IsPending()) {
        return Fail(-EBUSY, AlsaCause::StillSending);
    }
    if (!port->inFlight) {
        return {};
    }
    port->inFlight = false;
    // Unplugged while the message was on its way: the device may have got part of it only.
    MidiError gone = CheckConnected(*port);
    return gone.Failed() ? gone : CheckBufferAfter(*port);
}

MidiError AlsaMidiService::Reset(MidiOutHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return ErrorFor(MidiErrorCause::NotOpen);
    }
    port->timer->Cancel();
    port->inFlight = false;
    const int result = client_->DropOutput();
    return result < 0 ? Fail(result) : MidiError();
}

MidiError AlsaMidiService::ErrorFor(MidiErrorCause cause) {
    switch (cause) {
        case MidiErrorCause::None:
            return {};
        case MidiErrorCause::NoSuchPort:
            return Fail(-ENODEV, AlsaCause::NoSuchPort);
        case MidiErrorCause::NotOpen:
            return Fail(-EBADF, AlsaCause::NotOpen);
        case MidiErrorCause::PortGone:
            return Fail(-ENODEV, AlsaCause::PortGone);
        case MidiErrorCause::StillSending:
            return Fail(-EBUSY, AlsaCause::StillSending);
        case MidiErrorCause::TooLong:
            return Fail(-EMSGSIZE, AlsaCause::TooLong);
        case MidiErrorCause::OtherProgram:
            return Fail(-EBUSY);
        case MidiErrorCause::NoAccess:
            return Fail(-EACCES, AlsaCause::SequencerDenied);
        case MidiErrorCause::NoMidiSystem:
            return Fail(-ENOENT, AlsaCause::SequencerMissing);
        case MidiErrorCause::TimedOut:
            return Fail(-ETIMEDOUT);
        case MidiErrorCause::OutOfMemory:
            return Fail(-ENOMEM);
        case MidiErrorCause::Other:
            break;
    }
    return Fail(-EIO);
}

}  // namespace patchferry::midi::alsa
