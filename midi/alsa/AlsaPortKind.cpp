#include "midi/alsa/AlsaPortKind.h"

#include <charconv>

namespace patchferry::midi::alsa {
namespace {

// Client and port numbers are bytes on the sequencer.
constexpr int kHighestNumber = 255;

std::optional<int> ParseNumber(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > kHighestNumber) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string AlsaPortDisplayName(const AlsaPortInfo& port) {
    return port.clientName + ": " + port.portName;
}

std::string AlsaAddressText(int client, int port) {
    return std::to_string(client) + ":" + std::to_string(port);
}

std::optional<AlsaAddress> ParseAlsaAddress(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto client = ParseNumber(text.substr(0, colon));
    const auto port = ParseNumber(text.substr(colon + 1));
    if (!client || !port) {
        return std::nullopt;
    }
    return AlsaAddress{*client, *port};
}

}  // namespace patchferry::midi::alsa
