#pragma once
// Sends one complete SysEx message through an open port and waits until the device is done with
// it. The one send sequence that every caller uses.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "midi/MidiOutPort.h"

namespace patchferry::midi {

inline constexpr std::chrono::milliseconds kSendTimeout{30000};

struct SendOutcome {
    MidiResult result = kMidiOk;  // the service's result for the message
    bool timedOut = false;        // the completion did not come in time; the port was reset
    std::string errorText;        // what went wrong, for the user; empty on success

    bool Succeeded() const { return result == kMidiOk && !timedOut; }
};

// Said in place of a service's text when a message was accepted but never reported done.
std::string SendTimedOutText();

// Resets the completion event and hands the message to the service. A refused message is
// reported at once with the service's text: nothing went out, so there is nothing to wait for.
// An accepted one is waited for up to `timeout`; when the completion does not come the port is
// reset and the outcome says so. Otherwise the service's final word on the message decides. A
// closed port sends nothing and fails with the service's invalid-handle code.
SendOutcome SendLongMessage(MidiOutPort& port, std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout = kSendTimeout);

}  // namespace patchferry::midi
