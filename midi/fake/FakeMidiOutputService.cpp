#include "midi/fake/FakeMidiOutputService.h"

#include <utility>

namespace patchferry::midi {

FakeMidiOutputService::FakeMidiOutputService(std::vector<FakeDevice> devices)
    : devices_(std::move(devices)) {}

FakeMidiOutputService::~FakeMidiOutputService() {
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

void FakeMidiOutputService::QueueOpenResult(MidiResult result) {
    const std::lock_guard lock(mutex_);
    openResults_.push_back(result);
}

void FakeMidiOutputService::QueueSendResult(MidiResult result) {
    const std::lock_guard lock(mutex_);
    sendResults_.push_back(result);
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

int FakeMidiOutputService::UnprepareWhileQueuedCount() const {
    const std::lock_guard lock(mutex_);
    return unprepareWhileQueued_;
}

std::size_t FakeMidiOutputService::OpenCount() const {
    const std::lock_guard lock(mutex_);
    return open_.size();
}

void FakeMidiOutputService::ClearRecord() {
    const std::lock_guard lock(mutex_);
    calls_.clear();
    sent_.clear();
    unprepareWhileQueued_ = 0;
}

void FakeMidiOutputService::Record(std::string call) {
    calls_.push_back(std::move(call));
}

FakeMidiOutputService::OpenDevice* FakeMidiOutputService::Find(MidiOutHandle handle) {
    const auto it = open_.find(static_cast<std::uintptr_t>(handle));
    return it == open_.end() ? nullptr : &it->second;
}

unsigned FakeMidiOutputService::DeviceCount() {
    const std::lock_guard lock(mutex_);
    Record("DeviceCount");
    return static_cast<unsigned>(devices_.size());
}

MidiResult FakeMidiOutputService::DeviceCaps(unsigned device, MidiOutCaps& caps) {
    const std::lock_guard lock(mutex_);
    Record("DeviceCaps " + std::to_string(device));
    if (device >= devices_.size()) {
        return kBadDevice;
    }
    const FakeDevice& fake = devices_[device];
    if (fake.capsResult != kMidiOk) {
        return fake.capsResult;
    }
    caps.name = fake.name;
    caps.hardwarePort = fake.hardwarePort;
    return kMidiOk;
}

MidiResult FakeMidiOutputService::Open(MidiOutHandle& handle, unsigned device,
                                       CompletionEvent& event) {
    const std::lock_guard lock(mutex_);
    Record("Open " + std::to_string(device));
    handle = MidiOutHandle::Null;
    MidiResult result = kMidiOk;
    if (!openResults_.empty()) {
        result = openResults_.front();
        openResults_.pop_front();
    }
    if (result == kMidiOk && device >= devices_.size()) {
        result = kBadDevice;
    }
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

MidiResult FakeMidiOutputService::PrepareHeader(MidiOutHandle handle, LongMessage& message) {
    const std::lock_guard lock(mutex_);
    Record("Prepare");
    if (Find(handle) == nullptr) {
        return kInvalidHandle;
    }
    message.SetPrepared(true);
    return kMidiOk;
}

MidiResult FakeMidiOutputService::LongMsg(MidiOutHandle handle, LongMessage& message) {
    const std::lock_guard lock(mutex_);
    Record("LongMsg");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return kInvalidHandle;
    }
    MidiResult result = kMidiOk;
    if (!sendResults_.empty()) {
        result = sendResults_.front();
        sendResults_.pop_front();
    }
    if (result == kMidiOk && !message.IsPrepared()) {
        result = kUnprepared;
    }
    if (result != kMidiOk) {
        return result;
    }
    sent_.emplace_back(message.Data().begin(), message.Data().end());
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

MidiResult FakeMidiOutputService::UnprepareHeader(MidiOutHandle handle, LongMessage& message) {
    const std::lock_guard lock(mutex_);
    Record("Unprepare");
    OpenDevice* device = Find(handle);
    if (device == nullptr) {
        return kInvalidHandle;
    }
    if (device->queued) {
        ++unprepareWhileQueued_;
        return kStillPlaying;
    }
    message.SetPrepared(false);
    return kMidiOk;
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

}  // namespace patchferry::midi
