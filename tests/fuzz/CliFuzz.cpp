// Any command line ends in an exit status and, when it is wrong, a reason on standard error;
// never a crash or an exception that escapes. The program labels, lists and port names among
// the arguments are also read on their own, since the commands reach them only with a file.
//
// Input: the arguments, each ended by a NUL byte (the last one by the end of the input).
//
// Nothing here touches a file or a MIDI port. The MIDI services are fakes that list ports and
// refuse to open any, and abort if asked to send. Files: every name is made to stay in an empty
// folder of the fuzzer's own, the working directory while the command runs: slashes become
// underscores and a name of dots alone becomes "_". A command writes only after reading a valid
// dump (convert, from a file) or receiving one (from a MIDI input, which cannot be opened), and
// that folder has none.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "midi/MidiService.h"
#include "tools/Cli.h"
#include "tools/PortChoice.h"
#include "tools/ProgramChoice.h"

namespace {

using namespace patchferry;

class NoMidi final : public midi::MidiService {
  public:
    static midi::MidiError Refused() {
        return {midi::MidiErrorCause::Other, 1, "no MIDI while fuzzing"};
    }

    midi::MidiError ListPorts(std::vector<midi::MidiPortInfo>& ports) override {
        ports = Ports();
        return {};
    }
    midi::MidiError Open(const std::string&, midi::CompletionEvent&,
                         midi::MidiOutHandle&) override {
        return Refused();
    }
    void Close(midi::MidiOutHandle) override {}
    midi::MidiError Send(midi::MidiOutHandle, std::span<const std::uint8_t>) override {
        std::abort();  // no port is ever open
    }
    midi::MidiError FinishSend(midi::MidiOutHandle) override { return Refused(); }
    midi::MidiError Reset(midi::MidiOutHandle) override { return Refused(); }
    midi::MidiError ErrorFor(midi::MidiErrorCause) override { return Refused(); }
    midi::MidiError ListInputPorts(std::vector<midi::MidiPortInfo>& ports) override {
        ports = Ports();
        return {};
    }
    midi::MidiError OpenInput(const std::string&, midi::MidiInputSink,
                              std::unique_ptr<midi::MidiInputConnection>&) override {
        return Refused();
    }

    static std::vector<midi::MidiPortInfo> Ports() {
        return {{"Midi Through Port-0", false, "14:0"},
                {"UM-ONE: UM-ONE MIDI 1", true, "24:0"},
                {"Quad: Quad MIDI 2", true, "28:1"}};
    }
};

// Keeps a name inside the working directory.
std::string Confined(std::string arg) {
    std::replace(arg.begin(), arg.end(), '/', '_');
    std::replace(arg.begin(), arg.end(), '\\', '_');
    if (!arg.empty() && arg.find_first_not_of('.') == std::string::npos) {
        arg = "_";
    }
    return arg;
}

struct Folders {
    std::filesystem::path workspace;  // empty, where the command line runs
    std::filesystem::path home;       // where the fuzzer was started, for its own files
};
Folders& Places() {
    static Folders folders;
    return folders;
}

void ChangeFolder(const std::filesystem::path& folder) {
    if (chdir(folder.c_str()) != 0) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "patchferry-cli-fuzz-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        std::abort();
    }
    Places() = {folder, std::filesystem::current_path()};
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(Places().workspace, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back().push_back(static_cast<char>(data[i]));
        }
    }
    for (std::string& arg : args) {
        arg = Confined(std::move(arg));
    }

    NoMidi midi;
    std::ostringstream out;
    std::ostringstream err;
    cli::CliEnvironment env{out, err, [&midi]() -> midi::MidiOutputService& { return midi; }};
    env.midiInput = [&midi]() -> midi::MidiInputService& { return midi; };
    env.sendTimeout = std::chrono::milliseconds(1);
    env.receiveTimeouts = {std::chrono::milliseconds(1), std::chrono::milliseconds(1)};
    ChangeFolder(Places().workspace);
    const int status = cli::RunCli(args, env);
    ChangeFolder(Places().home);
    if (status != cli::kExitOk && status != cli::kExitFailure && status != cli::kExitUsage) {
        std::abort();
    }
    if (status != cli::kExitOk && err.str().empty()) {
        std::abort();  // every refusal says why
    }
    if (!std::filesystem::is_empty(Places().workspace)) {
        std::abort();  // nothing may be written
    }

    const std::vector<midi::MidiPortInfo> ports = NoMidi::Ports();
    for (const std::string& arg : args) {
        if (const auto label = cli::ParseProgramLabel(arg)) {
            if (label->bank < 'A' || label->bank > 'H' || label->number < 1 || label->number > 16) {
                std::abort();
            }
        }
        if (const auto list = cli::ParseProgramList(arg); list && list->empty()) {
            std::abort();
        }
        const cli::PortChoice choice = cli::ChoosePort(ports, arg);
        if (choice.port != nullptr && !choice.candidates.empty()) {
            std::abort();
        }
    }
    return 0;
}
