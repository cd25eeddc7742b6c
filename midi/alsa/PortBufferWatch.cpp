#include "midi/alsa/PortBufferWatch.h"

#include <thread>

#include "midi/alsa/SysExPacing.h"

namespace patchferry::midi::alsa {

PortBufferWatch::PortBufferWatch(AlsaSeqLibrary& library, int card, int port)
    : library_(library), path_(RawMidiStatusPath(card, port)), port_(port) {}

std::optional<RawMidiOutputStatus> PortBufferWatch::Read() {
    std::string text;
    if (library_.ReadStatusFile(path_, text) < 0) {
        return std::nullopt;
    }
    return ParseRawMidiOutput(text, port_);
}

std::optional<PortBufferWatch::Drained> PortBufferWatch::WaitUntilEmpty(
    std::chrono::steady_clock::time_point deadline) {
    std::optional<RawMidiOutputStatus> previous;
    bool lastLook = false;
    while (true) {
        const std::optional<RawMidiOutputStatus> now = Read();
        if (!now) {
            return std::nullopt;
        }
        if (previous && *previous == *now && now->Pending() == 0) {
            return Drained{*now, true};
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            // On a busy machine the deadline may pass between the reading that found the buffer
            // empty and the one that would confirm it: an empty buffer is read once more.
            if (now->Pending() == 0 && !lastLook) {
                lastLook = true;
                previous = now;
                continue;
            }
            return Drained{*now, false};
        }
        // An empty buffer is read again at once to see that it stays so; anything else waits.
        if (previous || now->Pending() != 0) {
            std::this_thread::sleep_for(kBufferPollInterval);
        }
        previous = now;
    }
}

}  // namespace patchferry::midi::alsa
