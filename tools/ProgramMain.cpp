// patchferry-cli: the command-line companion of Patchferry.

#include "ProgramMain.h"

#include <exception>
#include <iostream>
#include <memory>

#include "Cli.h"
#include "midi/MidiService.h"
#include "platform/Console.h"

namespace patchferry::cli {

int ProgramMain(const std::vector<std::string>& args) noexcept {
    try {
        platform::PrepareStandardStreams();
        std::ios::sync_with_stdio(false);
        // One service for both directions (on Linux one sequencer client), made on first use.
        std::unique_ptr<midi::MidiService> service;
        const auto system = [&service]() -> midi::MidiService& {
            if (!service) {
                service = midi::CreateSystemMidiService();
            }
            return *service;
        };
        CliEnvironment env{std::cout, std::cerr,
                           [&system]() -> midi::MidiOutputService& { return system(); }};
        env.midiInput = [&system]() -> midi::MidiInputService& { return system(); };
        env.outIsTerminal = platform::StandardOutputIsTerminal();
        env.errIsTerminal = platform::StandardErrorIsTerminal();
        const int status = RunCli(args, env);
        std::cout.flush();
        return status;
    } catch (const std::exception& e) {
        // RunCli reports its own failures; this is what is left, such as running out of memory.
        std::cerr << "patchferry-cli: " << e.what() << "\n";
    } catch (...) {
        std::cerr << "patchferry-cli: unexpected failure\n";
    }
    return kExitFailure;
}

}  // namespace patchferry::cli
