#pragma once
// How long bytes take on a MIDI cable: 31250 baud with 10 bits a byte (start, 8 data, stop), so
// 320 microseconds a byte whatever the interface does on the computer's side.

#include <chrono>
#include <cstddef>

namespace patchferry::midi {

inline constexpr std::chrono::microseconds kMidiByteTime{320};

constexpr std::chrono::microseconds SysExTransmissionTime(std::size_t bytes) {
    return kMidiByteTime * static_cast<long long>(bytes);
}

}  // namespace patchferry::midi
