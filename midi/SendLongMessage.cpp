#include "midi/SendLongMessage.h"

namespace patchferry::midi {

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
    LongMessage longMessage(message);
    static_cast<void>(service.PrepareHeader(handle, longMessage));
    port.Event().Reset();
    outcome.result = service.LongMsg(handle, longMessage);

    // A refused send leaves the event unsignalled, so this runs the full time-out; the reset then
    // makes sure nothing of the message is left queued before the header goes.
    if (port.Event().Wait(timeout) == CompletionEvent::WaitResult::TimedOut) {
        outcome.timedOut = true;
        static_cast<void>(service.Reset(handle));
    }
    if (outcome.result != kMidiOk) {
        outcome.errorText = service.ErrorText(outcome.result);
    }
    static_cast<void>(service.UnprepareHeader(handle, longMessage));
    return outcome;
}

}  // namespace patchferry::midi
