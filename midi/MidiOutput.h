#pragma once
// One open output port as an object, as an open input already is: it sends one complete message
// and waits until the device is done with it, and closes the port when it goes. The handle and
// the completion event that the backend signals are its own business with the service.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "midi/CompletionEvent.h"
#include "midi/MidiError.h"
#include "midi/MidiOutputService.h"

namespace patchferry::midi {

inline constexpr std::chrono::milliseconds kSendTimeout{30000};

// The service must outlive the output.
class MidiOutput {
  public:
    // Opens the port at `address`; on failure `output` stays empty and the error says why.
    static MidiError Open(MidiOutputService& service, const std::string& address,
                          std::unique_ptr<MidiOutput>& output);
    ~MidiOutput();  // stops whatever is still going out and closes the port
    MidiOutput(const MidiOutput&) = delete;
    MidiOutput& operator=(const MidiOutput&) = delete;

    // Hands the message to the service. A refused message fails at once: nothing went out, so
    // there is nothing to wait for. An accepted one is waited for up to `timeout`; when the
    // completion does not come the port is reset and the error is TimedOut. Otherwise the
    // service's final word on the message decides.
    MidiError Send(std::span<const std::uint8_t> message, std::chrono::milliseconds timeout);

  private:
    explicit MidiOutput(MidiOutputService& service) : service_(service) {}

    MidiOutputService& service_;
    CompletionEvent event_;  // before the handle: the port goes first
    MidiOutHandle handle_ = MidiOutHandle::Null;
};

// Said in place of a service's text when a message was accepted but never reported done.
std::string SendTimedOutText();
// That failure as an error (no system code or words: the system never answered).
MidiError SendTimedOut();

}  // namespace patchferry::midi
