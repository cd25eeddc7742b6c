#pragma once
// A scriptable MIDI service for tests: a list of ports, the results that the next lists,
// opens, sends and finishes return, and when (or whether) a sent message completes. It records
// every call in order and every byte of every accepted message.
//
// Each device plays both directions, as an interface with a synth behind it: its input is listed
// beside its output, and a responder may answer every accepted message with pieces of bytes that
// reach the open inputs on a thread of the fake's own, in order. As on a cable, an answer comes
// no sooner than the message it answers could have reached the synth (its bytes at 320 us each).
// So a test is a small conversation: request out, scripted answer in.
//
// Recorded calls: "ListPorts", "Open <address>", "Close", "Send", "Complete" (the completion
// event was signalled), "Reset", "Finish", "ListInputPorts", "OpenInput <address>",
// "CloseInput".

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiService.h"

namespace patchferry::midi {

struct FakeDevice {
    std::string name;
    bool hardwarePort = true;
    std::string address = {};  // empty: the device's index in the list, as text
    bool hasInput = true;      // false: an output alone, with no input listed beside it
};

enum class FakeCompletion {
    Immediate,  // the event is signalled before Send returns
    Delayed,    // signalled from another thread after the completion delay
    Never,      // never signalled: the sender times out
};

// What the synth sends back for one accepted message: pieces as an input would deliver them.
using FakeResponder =
    std::function<std::vector<std::vector<std::uint8_t>>(std::span<const std::uint8_t> sent)>;

class FakeMidiService final : public MidiService {
  public:
    // The codes of the fake's own failures (the values follow the Windows multimedia codes).
    static constexpr int kBadDevice = 2;      // NoSuchPort
    static constexpr int kInvalidHandle = 5;  // NotOpen
    static constexpr int kStillPlaying = 65;  // StillSending
    static constexpr int kOtherError = 1;     // any other cause asked of ErrorFor

    FakeMidiService() = default;
    explicit FakeMidiService(std::vector<FakeDevice> devices);
    ~FakeMidiService() override;

    // Script.
    void SetDevices(std::vector<FakeDevice> devices);
    void SetListResult(MidiError result);    // every ListPorts fails with it (success: lists again)
    void QueueOpenResult(MidiError result);  // one per Open, in order; success when none is left
    void QueueSendResult(MidiError result);  // one per Send, in order; success when none is left
    void QueueFinishResult(MidiError result);  // one per Finish after a completion
    void SetCompletion(FakeCompletion mode,
                       std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // The text of the fake's own failures of `cause` (no such port, not open, still sending);
    // default: "fake error <code>".
    void SetErrorText(MidiErrorCause cause, std::string text);
    void SetResponder(FakeResponder responder);  // none: nothing answers
    void SetInputProblem(std::string text);      // what open inputs say went wrong
    // Pieces that arrive at the open inputs as if the synth sent them unasked.
    void Arrive(std::vector<std::vector<std::uint8_t>> pieces);
    // Waits until every piece so far has reached the inputs.
    void WaitDelivered();
    // Signals the completion event of every open port, as a completion arriving late would.
    void SignalOpenPorts();

    // Record.
    std::vector<std::string> Calls() const;
    std::vector<std::vector<std::uint8_t>> SentMessages() const;
    int FinishWhileQueuedCount() const;  // Finish calls made while a message was still out
    std::size_t OpenCount() const;       // ports open right now
    std::size_t OpenInputCount() const;  // inputs open right now
    void ClearRecord();                  // forgets the calls and messages recorded so far

    MidiError ListPorts(std::vector<MidiPortInfo>& ports) override;
    MidiError Open(const std::string& address, CompletionEvent& event,
                   MidiOutHandle& handle) override;
    void Close(MidiOutHandle handle) override;
    MidiError Send(MidiOutHandle handle, std::span<const std::uint8_t> message) override;
    MidiError FinishSend(MidiOutHandle handle) override;
    MidiError Reset(MidiOutHandle handle) override;
    MidiError ErrorFor(MidiErrorCause cause) override;

    MidiError ListInputPorts(std::vector<MidiPortInfo>& ports) override;
    MidiError OpenInput(const std::string& address, MidiInputSink sink,
                        std::unique_ptr<MidiInputConnection>& input) override;

  private:
    class FakeInput;
    void CloseInput(std::uintptr_t key);
    void Deliver(const std::stop_token& stop);
    // Caller holds mutex_. The pieces reach the inputs from `due` on.
    void Queue(std::vector<std::vector<std::uint8_t>> pieces,
               std::chrono::steady_clock::time_point due = {});
    struct OpenDevice {
        CompletionEvent* event = nullptr;
        bool queued = false;           // a message is out and not yet complete
        std::uint64_t sendNumber = 0;  // which send a late completion belongs to
        std::vector<std::jthread> completions;
    };

    void Record(std::string call);  // caller holds mutex_
    OpenDevice* Find(MidiOutHandle handle);
    std::string AddressOf(std::size_t index) const;  // caller holds mutex_
    static MidiError Next(std::deque<MidiError>& results);
    // The next scripted open result, or NoSuchPort for an address no device has.
    MidiError NextOpenResult(const std::string& address);  // caller holds mutex_
    MidiError List(const char* call, std::vector<MidiPortInfo>& ports, bool inputs);
    MidiError OwnError(MidiErrorCause cause) const;  // caller holds mutex_
    void CompleteLater(std::uintptr_t key, std::uint64_t sendNumber, const std::stop_token& stop);

    mutable std::mutex mutex_;
    std::condition_variable_any stopWait_;
    std::vector<FakeDevice> devices_;
    MidiError listResult_;
    std::deque<MidiError> openResults_;
    std::deque<MidiError> sendResults_;
    std::deque<MidiError> finishResults_;
    FakeCompletion completion_ = FakeCompletion::Immediate;
    std::chrono::milliseconds delay_{0};
    std::map<MidiErrorCause, std::string> errorTexts_;
    std::string inputProblem_;
    std::vector<std::string> calls_;
    std::vector<std::vector<std::uint8_t>> sent_;
    int finishWhileQueued_ = 0;
    std::uintptr_t nextHandle_ = 1;
    std::map<std::uintptr_t, OpenDevice> open_;
    FakeResponder responder_;

    // The inputs, and the pieces on their way to them (guarded apart: sinks run under it).
    mutable std::mutex inputMutex_;
    std::map<std::uintptr_t, MidiInputSink> inputs_;
    struct Arriving {
        std::chrono::steady_clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<Arriving> arriving_;  // guarded by mutex_
    std::size_t inFlight_ = 0;       // taken from arriving_, not yet delivered
    std::condition_variable_any arrivingWait_;
    std::jthread delivery_;  // last: it stops before anything it uses goes
};

}  // namespace patchferry::midi
