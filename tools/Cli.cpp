#include "Cli.h"

#include <exception>
#include <ostream>

#include "CliText.h"

namespace patchferry::cli {

namespace {

int RunCommand(const std::vector<std::string>& args, CliEnvironment& env) {
    if (args.empty()) {
        env.err << kMainUsage;
        return kExitUsage;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        env.out << kMainUsage;
        return kExitOk;
    }
    if (command == "--version") {
        env.out << "patchferry-cli " << PATCHFERRY_VERSION << "\n";
        return kExitOk;
    }
    if (command == "list") {
        return RunList(rest, env);
    }
    if (command == "convert") {
        return RunConvert(rest, env);
    }
    if (command == "ports") {
        return RunPorts(rest, env);
    }
    if (command == "send") {
        return RunSend(rest, env);
    }
    env.err << "patchferry-cli: unknown command '" << command << "' (see patchferry-cli --help)\n";
    return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliEnvironment& env) {
    // The commands report what they expect to go wrong; anything else the platform throws (the
    // MIDI system missing, memory running out) still ends as the command's one-line message.
    try {
        return RunCommand(args, env);
    } catch (const std::exception& e) {
        env.err << "patchferry-cli " << (args.empty() ? std::string() : args[0]) << ": " << e.what()
                << "\n";
    }
    return kExitFailure;
}

}  // namespace patchferry::cli
