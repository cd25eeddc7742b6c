#include "PortChoice.h"

#include <algorithm>

#include "CliArgs.h"
#include "library/NameMatch.h"

namespace patchferry::cli {
namespace {

using Port = midi::MidiOutPortInfo;

const Port* ByFullName(const std::vector<Port>& ports, const std::string& wanted) {
    const Port* named = nullptr;
    for (const Port& port : ports) {
        if (port.name == wanted) {
            if (port.hardwarePort) {
                return &port;
            }
            named = named == nullptr ? &port : named;
        }
    }
    return named;
}

const Port* ByAddress(const std::vector<Port>& ports, const std::string& wanted) {
    const auto found = std::find_if(ports.begin(), ports.end(),
                                    [&](const Port& port) { return port.address == wanted; });
    return found == ports.end() ? nullptr : &*found;
}

const Port* ByNumber(const std::vector<Port>& ports, const std::string& wanted) {
    if (ports.empty()) {
        return nullptr;
    }
    const auto number = ParseInt(wanted, 0, static_cast<int>(ports.size()) - 1);
    return number ? &ports[static_cast<std::size_t>(*number)] : nullptr;
}

PortChoice ByPartOfName(const std::vector<Port>& ports, const std::string& wanted) {
    const std::string part = ToLowerAscii(wanted);
    PortChoice choice;
    std::vector<const Port*> hardware;
    for (const Port& port : ports) {
        if (!part.empty() && ToLowerAscii(port.name).find(part) != std::string::npos) {
            choice.candidates.push_back(&port);
            if (port.hardwarePort) {
                hardware.push_back(&port);
            }
        }
    }
    if (hardware.size() == 1) {
        choice.port = hardware.front();
    } else if (hardware.empty() && choice.candidates.size() == 1) {
        choice.port = choice.candidates.front();
    }
    if (choice.port != nullptr) {
        choice.candidates.clear();
    }
    return choice;
}

}  // namespace

PortChoice ChoosePort(const std::vector<Port>& ports, const std::string& wanted) {
    for (const auto* exact :
         {ByFullName(ports, wanted), ByAddress(ports, wanted), ByNumber(ports, wanted)}) {
        if (exact != nullptr) {
            return {exact, {}};
        }
    }
    return ByPartOfName(ports, wanted);
}

}  // namespace patchferry::cli
