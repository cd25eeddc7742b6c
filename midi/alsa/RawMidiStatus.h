#pragma once
// What the kernel shows of a hardware port's output buffer. A hardware port of the sequencer
// (client of a sound card, port P) writes into the raw MIDI output P % 32 of the card's device
// P / 32, and /proc/asound/card<C>/midi<D> shows for each output "Output <S>" with "Tx bytes"
// (every byte handed on to the driver since the card appeared) and, while the output is open,
// "Buffer size" and "Avail" (the free part of the buffer).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace patchferry::midi::alsa {

// The sequencer gives each raw MIDI device of a card this many port numbers.
inline constexpr int kPortsPerRawMidiDevice = 32;

struct RawMidiOutputStatus {
    std::uint64_t txBytes = 0;
    std::size_t bufferSize = 0;
    std::size_t avail = 0;

    // Bytes in the buffer that have not been handed on yet.
    std::size_t Pending() const { return bufferSize > avail ? bufferSize - avail : 0; }
    // Every byte that ever went into the buffer and was not dropped.
    std::uint64_t Entered() const { return txBytes + Pending(); }
    bool operator==(const RawMidiOutputStatus&) const = default;
};

// Where the kernel shows the output behind hardware port `port` of the card `card`.
std::string RawMidiStatusPath(int card, int port);

// The status of the output behind `port` in that file's text; nothing when the output is not
// there or not open.
std::optional<RawMidiOutputStatus> ParseRawMidiOutput(std::string_view text, int port);

}  // namespace patchferry::midi::alsa
