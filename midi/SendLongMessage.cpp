#include "midi/SendLongMessage.h"

namespace patchferry::midi {

SendOutcome SendLongMessage(MidiOutPort& port, std::span<const std::uint8_t> message,
                            std::chrono::milliseconds timeout) {
    MidiError result = port.Send(message, timeout);
    return result.Ok() ? SendOutcome() : SendOutcome(std::move(result));
}

}  // namespace patchferry::midi
