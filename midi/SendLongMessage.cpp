#include "midi/SendLongMessage.h"

namespace patchferry::midi {

std::string SendTimedOutText() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kSendTimeout).count();
    return "The MIDI device did not finish within " + std::to_string(seconds) +
           " seconds; its output was reset.";
}

SendOutcome SendLongMessage(MidiOutPort& port, std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout) {
    MidiOutputService& service = port.Service();
    SendOutcome outcome;
    if (!port.IsOpen()) {
        outcome.result = service.InvalidHandleResult();
        outcome.errorText = service.ErrorText(outcome.result);
        return outcome;
    }

    const MidiOutHandle handle = port.Handle();
    port.Event().Reset();
    outcome.result = service.Send(handle, message);
    if (outcome.result != kMidiOk) {
        outcome.errorText = service.ErrorText(outcome.result);
        return outcome;
    }
    if (port.Event().Wait(timeout) == CompletionEvent::WaitResult::TimedOut) {
        // Nothing of the message may stay queued once its buffer is released.
        outcome.timedOut = true;
        static_cast<void>(service.Reset(handle));
        static_cast<void>(service.FinishSend(handle));
        outcome.errorText = SendTimedOutText();
        return outcome;
    }
    outcome.result = service.FinishSend(handle);
    if (outcome.result != kMidiOk) {
        outcome.errorText = service.ErrorText(outcome.result);
    }
    return outcome;
}

}  // namespace patchferry::midi
