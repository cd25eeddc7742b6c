#include "Cli.h"

#include <ostream>

#include "CliText.h"

namespace patchferry::cli {

int RunCli(const std::vector<std::string>& args, CliEnvironment& env) {
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

}  // namespace patchferry::cli
