#pragma once
// A scriptable MIDI output service for tests: a list of devices, the results that the next opens
// and sends return, and when (or whether) a sent message completes. It records every call in
// order and every byte of every accepted message.
//
// Recorded calls: "DeviceCount", "DeviceCaps <n>", "Open <n>", "Close", "Prepare", "LongMsg",
// "Complete" (the completion event was signalled), "Reset", "Unprepare".

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiOutputService.h"

namespace patchferry::midi {

struct FakeDevice {
    std::string name;
    bool hardwarePort = true;
    MidiResult capsResult = kMidiOk;
};

enum class FakeCompletion {
    Immediate,  // the event is signalled before LongMsg returns
    Delayed,    // signalled from another thread after the completion delay
    Never,      // never signalled: the sender times out
};

class FakeMidiOutputService final : public MidiOutputService {
  public:
    // The fake's result codes (the values follow the Windows multimedia codes).
    static constexpr MidiResult kBadDevice = 2;
    static constexpr MidiResult kInvalidHandle = 5;
    static constexpr MidiResult kUnprepared = 64;
    static constexpr MidiResult kStillPlaying = 65;

    FakeMidiOutputService() = default;
    explicit FakeMidiOutputService(std::vector<FakeDevice> devices);
    ~FakeMidiOutputService() override;

    // Script.
    void SetDevices(std::vector<FakeDevice> devices);
    void QueueOpenResult(MidiResult result);  // one per Open, in order; success when none is left
    void QueueSendResult(
        MidiResult result);  // one per LongMsg, in order; success when none is left
    void SetCompletion(FakeCompletion mode,
                       std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    void SetErrorText(MidiResult code, std::string text);  // default: "fake error <code>"

    // Record.
    std::vector<std::string> Calls() const;
    std::vector<std::vector<std::uint8_t>> SentMessages() const;
    int UnprepareWhileQueuedCount() const;  // Unprepare calls made while a message was still out
    std::size_t OpenCount() const;          // devices open right now
    void ClearRecord();                     // forgets the calls and messages recorded so far

    unsigned DeviceCount() override;
    MidiResult DeviceCaps(unsigned device, MidiOutCaps& caps) override;
    MidiResult Open(MidiOutHandle& handle, unsigned device, CompletionEvent& event) override;
    void Close(MidiOutHandle handle) override;
    MidiResult PrepareHeader(MidiOutHandle handle, LongMessage& message) override;
    MidiResult LongMsg(MidiOutHandle handle, LongMessage& message) override;
    MidiResult UnprepareHeader(MidiOutHandle handle, LongMessage& message) override;
    MidiResult Reset(MidiOutHandle handle) override;
    std::string ErrorText(MidiResult code) override;
    MidiResult BadDeviceResult() const override { return kBadDevice; }
    MidiResult InvalidHandleResult() const override { return kInvalidHandle; }

  private:
    struct OpenDevice {
        CompletionEvent* event = nullptr;
        bool queued = false;           // a message is out and not yet complete
        std::uint64_t sendNumber = 0;  // which send a late completion belongs to
        std::vector<std::jthread> completions;
    };

    void Record(std::string call);  // caller holds mutex_
    OpenDevice* Find(MidiOutHandle handle);
    void CompleteLater(std::uintptr_t key, std::uint64_t sendNumber, const std::stop_token& stop);

    mutable std::mutex mutex_;
    std::condition_variable_any stopWait_;
    std::vector<FakeDevice> devices_;
    std::deque<MidiResult> openResults_;
    std::deque<MidiResult> sendResults_;
    FakeCompletion completion_ = FakeCompletion::Immediate;
    std::chrono::milliseconds delay_{0};
    std::map<MidiResult, std::string> errorTexts_;
    std::vector<std::string> calls_;
    std::vector<std::vector<std::uint8_t>> sent_;
    int unprepareWhileQueued_ = 0;
    std::uintptr_t nextHandle_ = 1;
    std::map<std::uintptr_t, OpenDevice> open_;
};

}  // namespace patchferry::midi
