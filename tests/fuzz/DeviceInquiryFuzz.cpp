// Any bytes on the input during a device inquiry: each whole reply of up to the longest length is
// an answer with a line for the user, the inquiry always ends, and nothing else counts.
//
// Input: byte 0 seeds where the stream is cut; the rest is the stream. The stream on its own is
// also read as one reply.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "synth/DeviceInquiry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace patchferry::synth;
    using namespace std::chrono_literals;
    if (size < 1) {
        return 0;
    }
    unsigned cut = data[0] | 1U;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);

    if (const auto reply = ParseIdentityReply(stream)) {
        const bool makerFits = reply->maker.size() == 1 || reply->maker.size() == 3;
        if (DescribeIdentity(*reply).empty() || reply->complete != makerFits ||
            reply->more.size() >= kLongestReply) {
            std::abort();
        }
    }

    DeviceFinder finder;
    DeviceFinder::Clock::time_point now{};
    finder.Start(now);
    std::size_t at = 0;
    while (at < stream.size()) {
        cut = cut * 1103515245U + 12345U;
        const std::size_t piece = std::min<std::size_t>(1 + (cut >> 16U) % 40, stream.size() - at);
        finder.Feed(stream.subspan(at, piece));
        now += 50ms;
        finder.Tick(now);
        at += piece;
    }
    for (int i = 0; i < 20 && !finder.Finished(); ++i) {
        now += DeviceFinder::kPerDevice;
        finder.Tick(now);
    }
    if (!finder.Finished()) {
        std::abort();  // a second for everyone, then sixteen device IDs, and no more
    }
    std::size_t starts = 0;
    for (const std::uint8_t byte : stream) {
        starts += byte == 0xF0 ? 1 : 0;
    }
    if (finder.Answers().size() > starts) {
        std::abort();
    }
    for (const DeviceIdentity& answer : finder.Answers()) {
        if (DescribeIdentity(answer).empty()) {
            std::abort();
        }
    }
    return 0;
}
