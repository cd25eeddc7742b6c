#pragma once
// Sends one complete SysEx message through an open port and waits until the device is done with
// it. The one send sequence that every caller uses.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "midi/MidiOutPort.h"

namespace patchferry::midi {

inline constexpr std::chrono::milliseconds kSendTimeout{30000};

struct SendOutcome {
    SendOutcome() = default;  // success
    explicit SendOutcome(MidiError failure)
        : error(std::move(failure)),
          timedOut(error.Cause() == MidiErrorCause::TimedOut),
          errorText(error.Text()) {}

    MidiError error;        // the service's word on the message, or TimedOut
    bool timedOut = false;  // the completion did not come in time; the port was reset
    std::string errorText;  // error.Text(): what went wrong, for the user; empty on success

    bool Succeeded() const { return error.Ok(); }
};

// Said in place of a service's text when a message was accepted but never reported done.
std::string SendTimedOutText();
// That failure as an error (no system code or words: the system never answered).
MidiError SendTimedOut();

// Resets the completion event and hands the message to the service. A refused message is
// reported at once with the service's text: nothing went out, so there is nothing to wait for.
// An accepted one is waited for up to `timeout`; when the completion does not come the port is
// reset and the outcome says so. Otherwise the service's final word on the message decides. A
// closed port sends nothing and fails with the service's NotOpen error.
SendOutcome SendLongMessage(MidiOutPort& port, std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout = kSendTimeout);

}  // namespace patchferry::midi
