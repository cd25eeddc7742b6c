#include "midi/SendLongMessage.h"

namespace patchferry::midi {

std::string SendTimedOutText() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kSendTimeout).count();
    return "The MIDI device did not finish within " + std::to_string(seconds) +
           " seconds; its output was reset.";
}

MidiError SendTimedOut() {
    return {MidiErrorCause::TimedOut, 0, {}, SendTimedOutText()};
}

SendOutcome SendLongMessage(MidiOutPort& port, std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout) {
    MidiOutputService& service = port.Service();
    if (!port.IsOpen()) {
        return SendOutcome(service.ErrorFor(MidiErrorCause::NotOpen));
    }

    const MidiOutHandle handle = port.Handle();
    port.Event().Reset();
    if (MidiError refused = service.Send(handle, message); refused.Failed()) {
        return SendOutcome(std::move(refused));
    }
    if (port.Event().Wait(timeout) == CompletionEvent::WaitResult::TimedOut) {
        // Nothing of the message may stay queued once its buffer is released.
        static_cast<void>(service.Reset(handle));
        static_cast<void>(service.FinishSend(handle));
        return SendOutcome(SendTimedOut());
    }
    MidiError finished = service.FinishSend(handle);
    return finished.Ok() ? SendOutcome() : SendOutcome(std::move(finished));
}

}  // namespace patchferry::midi
