#include "midi/fake/FakeMidiOutputService.h"

#include "midi/MidiCable.h"

#include <utility>

namespace patchferry::midi {

FakeMidiOutputService::FakeMidiOutputService(std::vector<FakeDevice> devices)
    : devices_(std::move(devices)) {}

FakeMidiOutputService::~FakeMidiOutputService() {
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

void FakeMidiOutputService::SetDevices(std::vector<FakeDevice> devices) {
    const std::lock_guard lock(mutex_);
    devices_ = std::move(devices);
}

void FakeMidiOutputService::SetListResult(MidiResult result) {
    const std::lock_guard lock(mutex_);
    listResult_ = result;
}

void FakeMidiOutputService::QueueOpenResult(MidiResult result) {
    const std::lock_guard lock(mutex_);
    openResults_.push_back(result);
}

void FakeMidiOutputService::QueueSendResult(MidiResult result) {
    const std::lock_guard lock(mutex_);
    sendResults_.push_back(result);
}

void FakeMidiOutputService::QueueFinishResult(MidiResult result) {
    const std::lock_guard lock(mutex_);
    finishResults_.push_back(result);
}

void FakeMidiOutputService::SetCompletion(FakeCompletion mode, std::chrono::milliseconds delay) {
    const std::lock_guard lock(mutex_);
    completion_ = mode;
    delay_ = delay;
}

void FakeMidiOutputService::SetErrorText(MidiResult code, std::string text) {
    const std::lock_guard lock(mutex_);
    errorTexts_[code] = std::move(text);
}

std::vector<std::string> FakeMidiOutputService::Calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::vector<std::uint8_t>> FakeMidiOutputService::SentMessages() const {
    const std::lock_guard lock(mutex_);
    return sent_;
}

int FakeMidiOutputService::FinishWhileQueuedCount() const {
    const std::lock_guard lock(mutex_);
    return finishWhileQueued_;
}

std::size_t FakeMidiOutputService::OpenCount() const {
    const std::lock_guard lock(mutex_);
    return open_.size();
}

void FakeMidiOutputService::ClearRecord() {
    const std::lock_guard lock(mutex_);
    calls_.clear();
    sent_.clear();
    finishWhileQueued_ = 0;
}

void FakeMidiOutputService::Record(std::string call) {
    calls_.push_back(std::move(call));
}

FakeMidiOutputService::OpenDevice* FakeMidiOutputService::Find(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    return it == open_.end() ? nullptr : &it->second;
}

std::string FakeMidiOutputService::AddressOf(std::size_t index) const {
    const std::string& address = devices_[index].address;
    return address.empty() ? std::to_string(index) : address;
}

MidiResult FakeMidiOutputService::Next(std::deque<MidiResult>& results) {
    if (results.empty()) {
        return kMidiOk;
    }
    const MidiResult result = results.front();
    results.pop_front();
    return result;
}

MidiResult FakeMidiOutputService::NextOpenResult(const std::string& address) {
    const MidiResult result = Next(openResults_);
    bool known = false;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        known = known || AddressOf(i) == address;
    }
    return result == kMidiOk && !known ? kBadDevice : result;
}

MidiResult FakeMidiOutputService::ListPorts(std::vector<MidiOutPortInfo>& ports) {
    return List("ListPorts", ports, false);
}

MidiResult FakeMidiOutputService::List(const char* call, std::vector<MidiOutPortInfo>& ports,
                                       bool inputs) {
    const std::lock_guard lock(mutex_);
    Record(call);
    ports.clear();
    if (listResult_ != kMidiOk) {
        return listResult_;
    }
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (!inputs || devices_[i].hasInput) {
            ports.push_back({devices_[i].name, devices_[i].hardwarePort, AddressOf(i)});
        }
    }
    return kMidiOk;
}

MidiResult FakeMidiOutputService::Open(const std::string& address, CompletionEvent& event,
                                       MidiOutHandle& handle) {
    const std::lock_guard lock(mutex_);
    Record("Open " + address);
    handle = MidiOutHandle::Null;
    const MidiResult result = NextOpenResult(address);
    if (result != kMidiOk) {
        return result;
    }
    const std::uintptr_t key = nextHandle_++;
    open_[key].event = &event;
    handle = static_cast<MidiOutHandle>(key);
    return kMidiOk;
}

void FakeMidiOutputService::Close(MidiOutHandle handle) {
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

MidiResult FakeMidiOutputService::Send(MidiOutHandle handle,
                                       std::span<const std::uint8_t> message) {
    const std::lock_guard lock(mutex_);
    Record("Send");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return kInvalidHandle;
    }
    if (device->queued) {
        return kStillPlaying;
    }
    const MidiResult result = Next(sendResults_);
    if (result != kMidiOk) {
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
    return kMidiOk;
}

void FakeMidiOutputService::CompleteLater(std::uintptr_t key, std::uint64_t sendNumber,
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

MidiResult FakeMidiOutputService::FinishSend(MidiOutHandle handle) {
    const std::lock_guard lock(mutex_);
    Record("Finish");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return kInvalidHandle;
    }
    if (device->queued) {
        ++finishWhileQueued_;
        return kStillPlaying;
    }
    return Next(finishResults_);
}

MidiResult FakeMidiOutputService::Reset(MidiOutHandle handle) {
    const std::lock_guard lock(mutex_);
    Record("Reset");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return kInvalidHandle;
    }
    device->queued = false;
    return kMidiOk;
}

std::string FakeMidiOutputService::ErrorText(MidiResult code) {
    const std::lock_guard lock(mutex_);
    const auto it = errorTexts_.find(code);
    return it != errorTexts_.end() ? it->second : "fake error " + std::to_string(code);
}

class FakeMidiOutputService::FakeInput final : public MidiInputConnection {
  public:
    FakeInput(FakeMidiOutputService& fake, std::uintptr_t key) : fake_(fake), key_(key) {}
    ~FakeInput() override { fake_.CloseInput(key_); }
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;
    std::string Problem() const override {
        const std::lock_guard lock(fake_.mutex_);
        return fake_.inputProblem_;
    }

  private:
    FakeMidiOutputService& fake_;
    std::uintptr_t key_;
};

void FakeMidiOutputService::SetInputProblem(std::string text) {
    const std::lock_guard lock(mutex_);
    inputProblem_ = std::move(text);
}

void FakeMidiOutputService::SetResponder(FakeResponder responder) {
    const std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

void FakeMidiOutputService::Arrive(std::vector<std::vector<std::uint8_t>> pieces) {
    const std::lock_guard lock(mutex_);
    Queue(std::move(pieces));
}

void FakeMidiOutputService::Queue(std::vector<std::vector<std::uint8_t>> pieces,
                                  std::chrono::steady_clock::time_point due) {
    for (auto& piece : pieces) {
        arriving_.push_back({due, std::move(piece)});
    }
    if (!delivery_.joinable()) {
        delivery_ = std::jthread([this](const std::stop_token& stop) { Deliver(stop); });
    }
    arrivingWait_.notify_all();
}

void FakeMidiOutputService::Deliver(const std::stop_token& stop) {
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

void FakeMidiOutputService::WaitDelivered() {
    std::unique_lock lock(mutex_);
    arrivingWait_.wait(lock, [this] { return arriving_.empty() && inFlight_ == 0; });
}

std::size_t FakeMidiOutputService::OpenInputCount() const {
    const std::lock_guard lock(inputMutex_);
    return inputs_.size();
}

MidiResult FakeMidiOutputService::ListInputPorts(std::vector<MidiOutPortInfo>& ports) {
    return List("ListInputPorts", ports, true);
}

MidiResult FakeMidiOutputService::OpenInput(const std::string& address, MidiInputSink sink,
                                            std::unique_ptr<MidiInputConnection>& input) {
    input.reset();
    std::uintptr_t key = 0;
    {
        const std::lock_guard lock(mutex_);
        Record("OpenInput " + address);
        const MidiResult result = NextOpenResult(address);
        if (result != kMidiOk) {
            return result;
        }
        key = nextHandle_++;
    }
    {
        const std::lock_guard lock(inputMutex_);
        inputs_.emplace(key, std::move(sink));
    }
    input = std::make_unique<FakeInput>(*this, key);
    return kMidiOk;
}

void FakeMidiOutputService::CloseInput(std::uintptr_t key) {
    {
        const std::lock_guard lock(mutex_);
        Record("CloseInput");
    }
    const std::lock_guard lock(inputMutex_);
    inputs_.erase(key);
}

}  // namespace patchferry::midi
