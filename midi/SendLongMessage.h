#pragma once
// Sends one complete SysEx message through a port and waits until the device is done with it,
// with the outcome in the form the window and the command line report it.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "midi/MidiOutPort.h"

namespace patchferry::midi {

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

// The port's MidiOutPort::Send (see MidiOutput::Send), as an outcome. A closed port sends nothing
// and fails with the service's NotOpen error.
SendOutcome SendLongMessage(MidiOutPort& port, std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout = kSendTimeout);

}  // namespace patchferry::midi
