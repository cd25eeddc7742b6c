#pragma once
// A conversation with an instrument behind one MIDI interface: the input that hears it, open and
// handing what arrives to a queue, and the output of the same interface, where requests go out.
// Both close when the connection goes.
//
// The output may be one the caller already has open on that very port (the window's MIDI bar):
// it is then borrowed rather than opened a second time, and left open afterwards.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "midi/MidiInputQueue.h"
#include "midi/MidiOutPort.h"
#include "midi/SendLongMessage.h"

namespace patchferry::midi {

class SynthConnection {
  public:
    // Opens `input` (as listed by `inputs`) and the output paired with it. `shared`, when it is
    // open on that output, is used for the requests. On failure returns nothing and says why in
    // `error`, a text for the user.
    static std::unique_ptr<SynthConnection> Open(MidiInputService& inputs,
                                                 MidiOutputService& outputs,
                                                 const MidiPortInfo& input, MidiOutPort* shared,
                                                 std::string& error);

    SynthConnection(const SynthConnection&) = delete;
    SynthConnection& operator=(const SynthConnection&) = delete;
    ~SynthConnection();

    // Sends one message and waits until it is out, for at most the send time-out.
    SendOutcome Send(std::span<const std::uint8_t> message);
    void SetSendTimeout(std::chrono::milliseconds timeout) { sendTimeout_ = timeout; }
    // What the input delivered meanwhile; waits up to `timeout` for something.
    std::vector<std::uint8_t> Take(std::chrono::milliseconds timeout) {
        return queue_.Take(timeout);
    }
    // The same without what arrived before `from` (`dropped` says whether anything did).
    std::vector<std::uint8_t> TakeSince(std::chrono::steady_clock::time_point from,
                                        std::chrono::milliseconds timeout, bool& dropped) {
        return queue_.TakeSince(from, timeout, dropped);
    }

    // What went wrong with the input that may have cost bytes (empty when nothing did).
    std::string InputProblem() const {
        return connection_ ? connection_->Problem() : std::string();
    }

    const MidiPortInfo& Input() const { return input_; }
    const MidiPortInfo& Output() const { return output_->OpenedPort(); }
    bool BorrowsOutput() const { return !ownOutput_.has_value(); }

  private:
    explicit SynthConnection(MidiPortInfo input) : input_(std::move(input)) {}

    MidiPortInfo input_;
    std::optional<MidiOutPort> ownOutput_;
    MidiOutPort* output_ = nullptr;
    std::chrono::milliseconds sendTimeout_ = kSendTimeout;
    MidiInputQueue queue_;  // before the input, which hands its bytes to it
    std::unique_ptr<MidiInputConnection> connection_;
};

}  // namespace patchferry::midi
