#pragma once
// How long a SysEx message takes on a MIDI cable. The kernel's hardware MIDI buffer holds 4 KiB and
// cuts a SysEx short, without telling anyone, when it does not fit; so a message counts as done
// only once its bytes can have left the wire, and nothing follows it before that.

#include <chrono>
#include <cstddef>

#include "midi/MidiCable.h"

namespace patchferry::midi::alsa {

using midi::kMidiByteTime;
using midi::SysExTransmissionTime;

// Allowed on top for the way through the kernel and the interface.
inline constexpr std::chrono::milliseconds kCompletionMargin{20};
// The kernel's buffer for one hardware MIDI port; a longer message cannot go out whole.
inline constexpr std::size_t kKernelMidiBufferSize = 4096;
// How often the port's buffer is looked at while waiting for it to drain.
inline constexpr std::chrono::milliseconds kBufferPollInterval{2};

// From the moment a message of `bytes` bytes was accepted until it counts as done; also how long
// `bytes` waiting in a port's buffer may take to drain.
constexpr std::chrono::microseconds CompletionDelay(std::size_t bytes) {
    return SysExTransmissionTime(bytes) + kCompletionMargin;
}

}  // namespace patchferry::midi::alsa
