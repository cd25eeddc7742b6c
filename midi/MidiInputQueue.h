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
    // The same, without what arrived before `from`, which is dropped; `dropped` says whether
    // anything was.
    std::vector<std::uint8_t> TakeSince(std::chrono::steady_clock::time_point from,
                                        std::chrono::milliseconds timeout, bool& dropped);

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::uint8_t> bytes_;
    // When each piece in bytes_ arrived, and where it begins.
    struct Piece {
        std::chrono::steady_clock::time_point arrived;
        std::size_t begin;
    };
    std::vector<Piece> pieces_;
};

}  // namespace patchferry::midi
