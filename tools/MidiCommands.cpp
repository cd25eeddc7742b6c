// patchferry-cli ports and send: the MIDI outputs, and auditioning one program on a Radias.

#include <chrono>
#include <ostream>

#include "Cli.h"
#include "CliText.h"
#include "CommandSupport.h"
#include "library/NameMatch.h"
#include "midi/MidiMessages.h"
#include "midi/MidiOutPort.h"
#include "midi/SendLongMessage.h"

namespace patchferry::cli {

namespace {

const std::string kSend = "send";

// The device number of the first hardware port whose name equals `name`, letter case ignored,
// as the window matches a saved port; -1 when there is none.
int FindHardwarePort(midi::MidiOutputService& service, const std::string& name) {
    const std::string wanted = ToLowerAscii(name);
    for (unsigned device = 0; device < service.DeviceCount(); ++device) {
        midi::MidiOutCaps caps;
        if (service.DeviceCaps(device, caps) == midi::kMidiOk && caps.hardwarePort &&
            ToLowerAscii(caps.name) == wanted) {
            return static_cast<int>(device);
        }
    }
    return -1;
}

std::string TwoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

int RunPorts(const std::vector<std::string>& args, CliEnvironment& env) {
    std::string error;
    const auto parsed = ParseArgs(args, {{}, {"--help"}}, error);
    if (!parsed || !parsed->positional.empty()) {
        env.err << "patchferry-cli ports: " << (parsed ? "takes no arguments" : error) << "\n";
        return kExitUsage;
    }
    if (parsed->Has("--help")) {
        env.out << kPortsUsage;
        return kExitOk;
    }
    midi::MidiOutputService& service = env.midiService();
    for (unsigned device = 0; device < service.DeviceCount(); ++device) {
        midi::MidiOutCaps caps;
        const midi::MidiResult result = service.DeviceCaps(device, caps);
        if (result != midi::kMidiOk) {
            env.err << "patchferry-cli ports: port " << device
                    << " cannot be read: " << service.ErrorText(result) << "\n";
            continue;
        }
        env.out << device << '\t' << caps.name << '\t'
                << (caps.hardwarePort ? "hardware" : "software") << '\n';
    }
    return kExitOk;
}

int RunSend(const std::vector<std::string>& args, CliEnvironment& env) {
    std::string error;
    const auto parsed = ParseArgs(args, {{"--program", "--port", "--channel"}, {"--help"}}, error);
    if (!parsed) {
        env.err << "patchferry-cli send: " << error << "\n";
        return kExitUsage;
    }
    if (parsed->Has("--help")) {
        env.out << kSendUsage;
        return kExitOk;
    }
    const auto portName = parsed->Value("--port");
    if (parsed->positional.size() != 1 || !portName) {
        env.err << "patchferry-cli send: give one file, --program and --port (see patchferry-cli "
                   "send --help)\n";
        return kExitUsage;
    }
    const auto channel = ChannelOption(*parsed, env, kSend);
    if (!channel) {
        return kExitUsage;
    }
    ProgramLibrary library;
    if (!ReadOneFile(parsed->positional[0], library, env, kSend)) {
        return kExitFailure;
    }
    const ProgramEntry* entry = ChosenProgram(*parsed, library, env, kSend);
    if (entry == nullptr) {
        return kExitFailure;
    }
    const auto dump = ConvertToDump(*entry, *channel, env, kSend);
    if (!dump) {
        return kExitFailure;
    }

    midi::MidiOutputService& service = env.midiService();
    midi::MidiOutPort port(service);
    // An unknown name opens nothing: the port reports the service's text for a bad device.
    const midi::MidiResult opened = port.Open(FindHardwarePort(service, *portName));
    if (opened != midi::kMidiOk) {
        env.err << midi::OpenFailureMessage(port.ErrorText(opened)) << "\n";
        return kExitFailure;
    }
    const auto started = std::chrono::steady_clock::now();
    const midi::SendOutcome outcome = midi::SendLongMessage(port, *dump, env.sendTimeout);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    port.Close();
    if (outcome.result != midi::kMidiOk) {
        env.err << midi::SendFailureMessage(outcome.errorText) << "\n";
        return kExitFailure;
    }
    if (outcome.timedOut) {
        // Accepted, but the port never said it was done; its output was reset, so the Radias
        // may have got only part of the dump.
        env.err << midi::SendFailureMessage(midi::kSendTimedOutText) << "\n";
        return kExitFailure;
    }
    env.out << "Sent " << entry->BankLabel() << entry->NumberLabel() << " \"" << entry->Name()
            << "\" (" << dump->size() << " bytes) to " << *portName << " on channel "
            << TwoDigits(*channel + 1) << " in " << took.count() << " ms\n";
    return kExitOk;
}

}  // namespace patchferry::cli
