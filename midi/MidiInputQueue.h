#pragma once
// Hands what a MIDI input delivers on its own thread over to the thread that reads it: the sink
// only appends and returns, never waiting for the reader.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "midi/MidiInputService.h"

namespace patchferry::midi {

class MidiInputQueue {
  public:
    // The sink to open an input with; the queue must outlive the input.
    MidiInputSink Sink();
    // Everything that arrived since the last take, in order; waits up to `timeout` when nothing
    // has (empty then).
    std::vector<std::uint8_t> Take(std::chrono::milliseconds timeout);

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace patchferry::midi
