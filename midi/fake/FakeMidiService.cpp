#include "midi/fake/FakeMidiService.h"

#include "midi/MidiCable.h"

#include <utility>

namespace patchferry::midi {

FakeMidiService::FakeMidiService(std::vector<FakeDevice> devices)
    : devices_(std::move(devices)) {}

FakeMidiService::~FakeMidiService() {
    if (delivery_.joinable()) {
        delivery_.request_stop();
        arrivingWait_.notify_all();
        delivery_.join();
    }
    std::map<std::uintptr_t, OpenDevice> open;
    {
        const std::lock_guard lock(mutex_);
        open.swap(open_);
    }
    // Leaving `open` joins every pending completion thread (each is told to stop first).
}

void FakeMidiService::SetDevices(std::vector<FakeDevice> devices) {
    const std::lock_guard lock(mutex_);
    devices_ = std::move(devices);
}

void FakeMidiService::SetListResult(MidiError result) {
    const std::lock_guard lock(mutex_);
    listResult_ = std::move(result);
}

void FakeMidiService::QueueOpenResult(MidiError result) {
    const std::lock_guard lock(mutex_);
    openResults_.push_back(std::move(result));
}

void FakeMidiService::QueueSendResult(MidiError result) {
    const std::lock_guard lock(mutex_);
    sendResults_.push_back(std::move(result));
}

void FakeMidiService::QueueFinishResult(MidiError result) {
    const std::lock_guard lock(mutex_);
    finishResults_.push_back(std::move(result));
}

void FakeMidiService::SetCompletion(FakeCompletion mode, std::chrono::milliseconds delay) {
    const std::lock_guard lock(mutex_);
    completion_ = mode;
    delay_ = delay;
}

void FakeMidiService::SetErrorText(MidiErrorCause cause, std::string text) {
    const std::lock_guard lock(mutex_);
    errorTexts_[cause] = std::move(text);
}

std::vector<std::string> FakeMidiService::Calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::vector<std::uint8_t>> FakeMidiService::SentMessages() const {
    const std::lock_guard lock(mutex_);
    return sent_;
}

int FakeMidiService::FinishWhileQueuedCount() const {
    const std::lock_guard lock(mutex_);
    return finishWhileQueued_;
}

std::size_t FakeMidiService::OpenCount() const {
    const std::lock_guard lock(mutex_);
    return open_.size();
}

void FakeMidiService::ClearRecord() {
    const std::lock_guard lock(mutex_);
    calls_.clear();
    sent_.clear();
    finishWhileQueued_ = 0;
}

void FakeMidiService::Record(std::string call) {
    calls_.push_back(std::move(call));
}

FakeMidiService::OpenDevice* FakeMidiService::Find(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    return it == open_.end() ? nullptr : &it->second;
}

std::string FakeMidiService::AddressOf(std::size_t index) const {
    const std::string& address = devices_[index].address;
    return address.empty() ? std::to_string(index) : address;
}

MidiError FakeMidiService::Next(std::deque<MidiError>& results) {
    if (results.empty()) {
        return {};
    }
    MidiError result = std::move(results.front());
    results.pop_front();
    return result;
}

MidiError FakeMidiService::NextOpenResult(const std::string& address) {
    MidiError result = Next(openResults_);
    bool known = false;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        known = known || AddressOf(i) == address;
    }
    return result.Ok() && !known ? OwnError(MidiErrorCause::NoSuchPort) : result;
}

MidiError FakeMidiService::OwnError(MidiErrorCause cause) const {
    int code = kOtherError;
    switch (cause) {
        case MidiErrorCause::None:
            return {};
        case MidiErrorCause::NoSuchPort:
            code = kBadDevice;
            break;
        case MidiErrorCause::NotOpen:
            code = kInvalidHandle;
            break;
        case MidiErrorCause::StillSending:
            code = kStillPlaying;
            break;
        default:
            break;
    }
    const auto it = errorTexts_.find(cause);
    return {cause, code,
            it != errorTexts_.end() ? it->second : "fake error " + std::to_string(code)};
}

MidiError FakeMidiService::ErrorFor(MidiErrorCause cause) {
    const std::lock_guard lock(mutex_);
    return OwnError(cause);
}

MidiError FakeMidiService::ListPorts(std::vector<MidiPortInfo>& ports) {
    return List("ListPorts", ports, false);
}

MidiError FakeMidiService::List(const char* call, std::vector<MidiPortInfo>& ports,
                                      bool inputs) {
    const std::lock_guard lock(mutex_);
    Record(call);
    ports.clear();
    if (listResult_.Failed()) {
        return listResult_;
    }
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (!inputs || devices_[i].hasInput) {
            ports.push_back({devices_[i].name, devices_[i].hardwarePort, AddressOf(i)});
        }
    }
    return {};
}

MidiError FakeMidiService::Open(const std::string& address, CompletionEvent& event,
                                      MidiOutHandle& handle) {
    const std::lock_guard lock(mutex_);
    Record("Open " + address);
    handle = MidiOutHandle::Null;
    if (MidiError result = NextOpenResult(address); result.Failed()) {
        return result;
    }
    const std::uintptr_t key = nextHandle_++;
    open_[key].event = &event;
    handle = static_cast<MidiOutHandle>(key);
    return {};
}

void FakeMidiService::Close(MidiOutHandle handle) {
    OpenDevice closed;
    {
        const std::lock_guard lock(mutex_);
        Record("Close");
        const auto it = open_.find(static_cast<std::uintptr_t>(handle));
        if (it == open_.end()) {
            return;
        }
        closed = std::move(it->second);
        open_.erase(it);
    }
    for (std::jthread& thread : closed.completions) {
        thread.request_stop();
    }
    stopWait_.notify_all();
    // `closed` joins its completion threads here, outside the lock they need.
}

MidiError FakeMidiService::Send(MidiOutHandle handle, std::span<const std::uint8_t> message) {
    const std::lock_guard lock(mutex_);
    Record("Send");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return OwnError(MidiErrorCause::NotOpen);
    }
    if (device->queued) {
        return OwnError(MidiErrorCause::StillSending);
    }
    if (MidiError result = Next(sendResults_); result.Failed()) {
        return result;
    }
    sent_.emplace_back(message.begin(), message.end());
    if (responder_) {
        Queue(responder_(message),
              std::chrono::steady_clock::now() + SysExTransmissionTime(message.size()));
    }
    device->queued = true;
    ++device->sendNumber;
    switch (completion_) {
        case FakeCompletion::Immediate:
            device->queued = false;
            Record("Complete");
            device->event->Set();
            break;
        case FakeCompletion::Delayed: {
            const std::uintptr_t key = static_cast<std::uintptr_t>(handle);
            const std::uint64_t number = device->sendNumber;
            device->completions.emplace_back([this, key, number](const std::stop_token& stop) {
                CompleteLater(key, number, stop);
            });
            break;
        }
        case FakeCompletion::Never:
            break;
    }
    return {};
}

void FakeMidiService::CompleteLater(std::uintptr_t key, std::uint64_t sendNumber,
                                          const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    const auto due = std::chrono::steady_clock::now() + delay_;
    if (stopWait_.wait_until(lock, stop, due, [] { return false; })) {
        return;
    }
    if (stop.stop_requested()) {
        return;
    }
    const auto it = open_.find(key);
    if (it == open_.end() || !it->second.queued || it->second.sendNumber != sendNumber) {
        return;  // reset or closed meanwhile
    }
    it->second.queued = false;
    Record("Complete");
    it->second.event->Set();
}

MidiError FakeMidiService::FinishSend(MidiOutHandle handle) {
    const std::lock_guard lock(mutex_);
    Record("Finish");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return OwnError(MidiErrorCause::NotOpen);
    }
    if (device->queued) {
        ++finishWhileQueued_;
        return OwnError(MidiErrorCause::StillSending);
    }
    return Next(finishResults_);
}

MidiError FakeMidiService::Reset(MidiOutHandle handle) {
    const std::lock_guard lock(mutex_);
    Record("Reset");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return OwnError(MidiErrorCause::NotOpen);
    }
    device->queued = false;
    return {};
}

class FakeMidiService::FakeInput final : public MidiInputConnection {
  public:
    FakeInput(FakeMidiService& fake, std::uintptr_t key) : fake_(fake), key_(key) {}
    ~FakeInput() override { fake_.CloseInput(key_); }
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;
    std::string Problem() const override {
        const std::lock_guard lock(fake_.mutex_);
        return fake_.inputProblem_;
    }

  private:
    FakeMidiService& fake_;
    std::uintptr_t key_;
};

void FakeMidiService::SetInputProblem(std::string text) {
    const std::lock_guard lock(mutex_);
    inputProblem_ = std::move(text);
}

void FakeMidiService::SetResponder(FakeResponder responder) {
    const std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

void FakeMidiService::Arrive(std::vector<std::vector<std::uint8_t>> pieces) {
    const std::lock_guard lock(mutex_);
    Queue(std::move(pieces));
}

void FakeMidiService::Queue(std::vector<std::vector<std::uint8_t>> pieces,
                                  std::chrono::steady_clock::time_point due) {
    for (auto& piece : pieces) {
        arriving_.push_back({due, std::move(piece)});
    }
    if (!delivery_.joinable()) {
        delivery_ = std::jthread([this](const std::stop_token& stop) { Deliver(stop); });
    }
    arrivingWait_.notify_all();
}

void FakeMidiService::Deliver(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (arrivingWait_.wait(lock, stop, [this] { return !arriving_.empty(); })) {
        const auto due = arriving_.front().due;
        if (stop.stop_requested()) {
            return;
        }
        if (std::chrono::steady_clock::now() < due) {
            arrivingWait_.wait_until(lock, stop, due, [] { return false; });
            continue;
        }
        std::vector<std::uint8_t> piece = std::move(arriving_.front().bytes);
        arriving_.pop_front();
        ++inFlight_;
        lock.unlock();
        {
            const std::lock_guard inputs(inputMutex_);
            for (const auto& [key, sink] : inputs_) {
                sink(piece);
            }
        }
        lock.lock();
        --inFlight_;
        arrivingWait_.notify_all();
    }
}

void FakeMidiService::SignalOpenPorts() {
    const std::lock_guard lock(mutex_);
    for (auto& [key, device] : open_) {
        device.event->Set();
    }
}

void FakeMidiService::WaitDelivered() {
    std::unique_lock lock(mutex_);
    arrivingWait_.wait(lock, [this] { return arriving_.empty() && inFlight_ == 0; });
}

std::size_t FakeMidiService::OpenInputCount() const {
    const std::lock_guard lock(inputMutex_);
    return inputs_.size();
}

MidiError FakeMidiService::ListInputPorts(std::vector<MidiPortInfo>& ports) {
    return List("ListInputPorts", ports, true);
}

MidiError FakeMidiService::OpenInput(const std::string& address, MidiInputSink sink,
                                           std::unique_ptr<MidiInputConnection>& input) {
    input.reset();
    std::uintptr_t key = 0;
    {
        const std::lock_guard lock(mutex_);
        Record("OpenInput " + address);
        if (MidiError result = NextOpenResult(address); result.Failed()) {
            return result;
        }
        key = nextHandle_++;
    }
    {
        const std::lock_guard lock(inputMutex_);
        inputs_.emplace(key, std::move(sink));
    }
    input = std::make_unique<FakeInput>(*this, key);
    return {};
}

void FakeMidiService::CloseInput(std::uintptr_t key) {
    {
        const std::lock_guard lock(mutex_);
        Record("CloseInput");
    }
    const std::lock_guard lock(inputMutex_);
    inputs_.erase(key);
}

}  // namespace patchferry::midi
