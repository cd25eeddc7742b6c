#include "midi/MidiInputQueue.h"

#include <utility>

namespace patchferry::midi {

MidiInputSink MidiInputQueue::Sink() {
    return [this](std::span<const std::uint8_t> bytes) {
        {
            const std::lock_guard lock(mutex_);
            pieces_.push_back({std::chrono::steady_clock::now(), bytes_.size()});
            bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        }
        arrived_.notify_one();
    };
}

std::vector<std::uint8_t> MidiInputQueue::Take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [this] { return !bytes_.empty(); });
    pieces_.clear();
    return std::exchange(bytes_, {});
}

std::vector<std::uint8_t> MidiInputQueue::TakeSince(std::chrono::steady_clock::time_point from,
                                                    std::chrono::milliseconds timeout,
                                                    bool& dropped) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [this] { return !bytes_.empty(); });
    std::size_t keepFrom = bytes_.size();
    for (const Piece& piece : pieces_) {
        if (piece.arrived >= from) {
            keepFrom = piece.begin;
            break;
        }
    }
    dropped = keepFrom > 0;
    std::vector<std::uint8_t> kept(bytes_.begin() + static_cast<std::ptrdiff_t>(keepFrom),
                                   bytes_.end());
    bytes_.clear();
    pieces_.clear();
    return kept;
}

}  // namespace patchferry::midi
