#include "midi/PortPairing.h"

#include <algorithm>
#include <string_view>

namespace patchferry::midi {
namespace {

// The client of an ALSA address "CLIENT:PORT"; empty for any other kind of address.
std::string_view ClientOf(std::string_view address) {
    const auto colon = address.find(':');
    return colon == std::string_view::npos || colon == 0 ? std::string_view()
                                                         : address.substr(0, colon);
}

}  // namespace

const MidiOutPortInfo* PairedOutput(const MidiOutPortInfo& input,
                                    const std::vector<MidiOutPortInfo>& outputs) {
    const auto first = [&](auto fits) -> const MidiOutPortInfo* {
        const auto found = std::find_if(outputs.begin(), outputs.end(), fits);
        return found == outputs.end() ? nullptr : &*found;
    };
    if (const auto* same = first([&](const MidiOutPortInfo& out) {
            return out.address == input.address && out.name == input.name;
        })) {
        return same;
    }
    if (const auto* named = first([&](const MidiOutPortInfo& out) {
            return out.name == input.name && out.hardwarePort == input.hardwarePort;
        })) {
        return named;
    }
    const std::string_view client = ClientOf(input.address);
    if (client.empty()) {
        return nullptr;
    }
    return first([&](const MidiOutPortInfo& out) { return ClientOf(out.address) == client; });
}

}  // namespace patchferry::midi
