#include "midi/alsa/RawMidiStatus.h"

#include <charconv>

namespace patchferry::midi::alsa {
namespace {

// The number after the colon of a line "  Name : 123".
template <typename Number>
std::optional<Number> ValueOf(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = line.substr(colon + 1);
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    Number value{};
    const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (ec != std::errc() || ptr == rest.data()) {
        return std::nullopt;
    }
    return value;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view Trimmed(std::string_view line) {
    while (!line.empty() && line.front() == ' ') {
        line.remove_prefix(1);
    }
    return line;
}

}  // namespace

std::string RawMidiStatusPath(int card, int port) {
    return "/proc/asound/card" + std::to_string(card) + "/midi" +
           std::to_string(port / kPortsPerRawMidiDevice);
}

std::optional<RawMidiOutputStatus> ParseRawMidiOutput(std::string_view text, int port) {
    const std::string heading = "Output " + std::to_string(port % kPortsPerRawMidiDevice);
    RawMidiOutputStatus status;
    bool inside = false;
    bool tx = false;
    bool size = false;
    bool avail = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!StartsWith(line, " ")) {
            if (inside) {
                break;  // the next section
            }
            inside = line == heading;
            continue;
        }
        if (!inside) {
            continue;
        }
        const std::string_view field = Trimmed(line);
        if (StartsWith(field, "Tx bytes")) {
            const auto value = ValueOf<std::uint64_t>(field);
            tx = value.has_value();
            status.txBytes = value.value_or(0);
        } else if (StartsWith(field, "Buffer size")) {
            const auto value = ValueOf<std::size_t>(field);
            size = value.has_value();
            status.bufferSize = value.value_or(0);
        } else if (StartsWith(field, "Avail")) {
            const auto value = ValueOf<std::size_t>(field);
            avail = value.has_value();
            status.avail = value.value_or(0);
        }
    }
    if (!tx || !size || !avail) {
        return std::nullopt;
    }
    return status;
}

}  // namespace patchferry::midi::alsa
