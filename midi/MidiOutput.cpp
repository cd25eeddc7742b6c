#include "midi/MidiOutput.h"

#include <utility>

namespace patchferry::midi {

std::string SendTimedOutText() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kSendTimeout).count();
    return "The MIDI device did not finish within " + std::to_string(seconds) +
           " seconds; its output was reset.";
}

MidiError SendTimedOut() {
    return {MidiErrorCause::TimedOut, 0, {}, SendTimedOutText()};
}

MidiError MidiOutput::Open(MidiOutputService& service, const std::string& address,
                           std::unique_ptr<MidiOutput>& output) {
    output.reset();
    std::unique_ptr<MidiOutput> opened(new MidiOutput(service));
    MidiError result = service.Open(address, opened->event_, opened->handle_);
    if (result.Ok()) {
        output = std::move(opened);
    }
    return result;
}

MidiOutput::~MidiOutput() {
    if (handle_ != MidiOutHandle::Null) {
        service_.Close(handle_);
    }
}

MidiError MidiOutput::Send(std::span<const std::uint8_t> message,
                           std::chrono::milliseconds timeout) {
    // A completion left from an earlier message must not end this one's wait.
    event_.Reset();
    if (MidiError refused = service_.Send(handle_, message); refused.Failed()) {
        return refused;
    }
    if (event_.Wait(timeout) == CompletionEvent::WaitResult::TimedOut) {
        // Nothing of the message may stay queued once its buffer is released.
        static_cast<void>(service_.Reset(handle_));
        static_cast<void>(service_.FinishSend(handle_));
        return SendTimedOut();
    }
    return service_.FinishSend(handle_);
}

}  // namespace patchferry::midi
