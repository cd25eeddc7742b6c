#pragma once
// Sends one complete SysEx message through an open port and waits until the backend is done
// with it. The one send sequence that every caller uses.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "midi/MidiOutPort.h"

namespace patchferry::midi {

inline constexpr std::chrono::milliseconds kSendTimeout{30000};

struct SendOutcome {
    MidiResult result = kMidiOk;  // the send's own result code
    bool timedOut = false;        // the completion did not come in time; the port was reset
    std::string errorText;        // the service's text for `result`; empty on success
};

// Prepare, reset the completion event, send, wait up to `timeout` for the completion (resetting
// the port if it does not come, whatever the send returned), fetch the error text when the send
// failed, unprepare. Prepare and unprepare results do not change the outcome. A closed port sends
// nothing and fails with the service's invalid-handle code.
SendOutcome SendLongMessage(MidiOutPort& port, std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout = kSendTimeout);

}  // namespace patchferry::midi
