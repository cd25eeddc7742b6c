#include "midi/MidiInputQueue.h"

#include <utility>

namespace patchferry::midi {

MidiInputSink MidiInputQueue::Sink() {
    return [this](std::span<const std::uint8_t> bytes) {
        {
            const std::lock_guard lock(mutex_);
            bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        }
        arrived_.notify_one();
    };
}

std::vector<std::uint8_t> MidiInputQueue::Take(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [this] { return !bytes_.empty(); });
    return std::exchange(bytes_, {});
}

}  // namespace patchferry::midi
