#include "PortChoice.h"

#include <algorithm>
#include <ostream>

#include "CliArgs.h"
#include "library/NameMatch.h"

namespace patchferry::cli {
namespace {

using Port = midi::MidiPortInfo;

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

namespace {

void PrintPort(const Port& port, std::size_t number, std::ostream& out, const char* indent) {
    out << indent << number << '\t' << port.name << '\t'
        << (port.hardwarePort ? "hardware" : "software") << '\t' << port.address << '\n';
}

}  // namespace

void PrintPorts(const std::vector<Port>& ports, std::ostream& out, const char* indent) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
        PrintPort(ports[i], i, out, indent);
    }
}

const Port* PickPort(const std::vector<Port>& ports, const std::string& wanted,
                     const char* direction, const std::string& command, CliEnvironment& env,
                     int& status) {
    const PortChoice choice = ChoosePort(ports, wanted);
    if (!choice.candidates.empty()) {
        env.err << "patchferry-cli " << command << ": --port '" << wanted << "' fits several MIDI "
                << direction << " ports; give more of the name, the address or the number:\n";
        for (const Port* candidate : choice.candidates) {
            PrintPort(*candidate, static_cast<std::size_t>(candidate - ports.data()), env.err,
                      "  ");
        }
        status = kExitUsage;
        return nullptr;
    }
    if (choice.port == nullptr) {
        env.err << "patchferry-cli " << command << ": no MIDI " << direction << " port '" << wanted
                << "'; ";
        if (ports.empty()) {
            env.err << "there are no MIDI " << direction << " ports\n";
        } else {
            env.err << "the ports are:\n";
            PrintPorts(ports, env.err, "  ");
        }
        status = kExitFailure;
    }
    return choice.port;
}

}  // namespace patchferry::cli
