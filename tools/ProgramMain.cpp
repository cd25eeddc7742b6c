// patchferry-cli: the command-line companion of Patchferry.

#include "ProgramMain.h"

#include <exception>
#include <iostream>
#include <memory>

#include "Cli.h"
#include "platform/Console.h"

namespace patchferry::cli {

int ProgramMain(const std::vector<std::string>& args) noexcept {
    try {
        platform::PrepareStandardStreams();
        std::ios::sync_with_stdio(false);
        std::unique_ptr<midi::MidiOutputService> service;
        CliEnvironment env{std::cout, std::cerr, [&service]() -> midi::MidiOutputService& {
                               if (!service) {
                                   service = midi::CreateSystemMidiOutputService();
                               }
                               return *service;
                           }};
        env.outIsTerminal = platform::StandardOutputIsTerminal();
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
