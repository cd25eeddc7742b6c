#include "Cli.h"

#include <algorithm>
#include <array>
#include <exception>
#include <ostream>
#include <string>
#include <string_view>

#include "CliArgs.h"
#include "CliText.h"
#include "Commands.h"

namespace patchferry::cli {

namespace {

struct CliCommand {
    std::string_view name;
    std::string_view operands;  // what follows the name in the program's help; empty: takes none
    std::string_view summary;   // the rest of its line in the program's help
    std::string_view usage;     // its own --help
    OptionTable options;        // besides --help, which every command takes
    int (*run)(const ParsedArgs& args, CliEnvironment& env);
};

// The commands, in the order the program's help lists them.
const std::array<CliCommand, 9>& Commands() {
    static const std::array<CliCommand, 9> commands{{
        {"list",
         "FILE...",
         "list every program of the MS2000 SysEx files",
         kListUsage,
         {{"--sort", "--find"}, {}},
         RunList},
        {"convert",
         "FILE ...",
         "write Radias program dumps of programs of FILE",
         kConvertUsage,
         {{"--program", "--channel", "-o"}, {"--all", "--force"}},
         RunConvert},
        {"ports",
         "",
         "list the MIDI output (or input) ports",
         kPortsUsage,
         {{}, {"--input"}},
         RunPorts},
        {"send",
         "FILE ...",
         "convert programs and send them to a Radias",
         kSendUsage,
         {{"--program", "--port", "--channel", "--pause"}, {"--confirm"}},
         RunSend},
        {"identify",
         "",
         "ask who answers on a MIDI port (device inquiry)",
         kIdentifyUsage,
         {{"--port"}, {}},
         RunIdentify},
        {"receive",
         "",
         "receive programs from an MS2000 into a file",
         kReceiveUsage,
         {{"--port", "--channel", "-o"}, {"--current", "--all"}},
         RunReceive},
        {"backup",
         "",
         "read programs from a Radias's memory into a file",
         kBackupUsage,
         {{"--port", "--channel", "--slots", "-o"}, {}},
         RunBackup},
        {"write",
         "FILE",
         "write converted programs into a Radias's memory, backing up what they replace",
         kWriteUsage,
         {{"--program", "--to", "--port", "--channel", "--backup"}, {"--all"}},
         RunWrite},
        {"restore",
         "BACKUP",
         "write a Radias backup back into the slots it came from",
         kRestoreUsage,
         {{"--port", "--channel", "--backup"}, {}},
         RunRestore},
    }};
    return commands;
}

void PrintMainUsage(std::ostream& out) {
    out << kMainUsageHead;
    for (const CliCommand& command : Commands()) {
        std::string synopsis(command.name);
        if (!command.operands.empty()) {
            synopsis.append(" ").append(command.operands);
        }
        synopsis.resize(std::max(synopsis.size(), kCommandColumnWidth), ' ');
        out << "  " << synopsis << command.summary << '\n';
    }
    out << kMainUsageTail;
}

// What every command does before its own work: its options parsed, a wrong one or an operand
// where none belongs refused, and --help answered.
int RunCommand(const CliCommand& command, const std::vector<std::string>& args,
               CliEnvironment& env) {
    OptionTable options = command.options;
    options.flags.insert("--help");
    std::string error;
    const auto parsed = ParseArgs(args, options, error);
    if (!parsed) {
        env.err << "patchferry-cli " << command.name << ": " << error << "\n";
        return kExitUsage;
    }
    if (command.operands.empty() && !parsed->positional.empty()) {
        env.err << "patchferry-cli " << command.name << ": takes no arguments\n";
        return kExitUsage;
    }
    if (parsed->Has("--help")) {
        env.out << command.usage;
        return kExitOk;
    }
    return command.run(*parsed, env);
}

int RunCommandLine(const std::vector<std::string>& args, CliEnvironment& env) {
    if (args.empty()) {
        PrintMainUsage(env.err);
        return kExitUsage;
    }
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintMainUsage(env.out);
        return kExitOk;
    }
    if (name == "--version") {
        env.out << "patchferry-cli " << PATCHFERRY_VERSION << "\n";
        return kExitOk;
    }
    for (const CliCommand& command : Commands()) {
        if (command.name == name) {
            return RunCommand(command, {args.begin() + 1, args.end()}, env);
        }
    }
    env.err << "patchferry-cli: unknown command '" << name << "' (see patchferry-cli --help)\n";
    return kExitUsage;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliEnvironment& env) {
    // The commands report what they expect to go wrong; anything else the platform throws (the
    // MIDI system missing, memory running out) still ends as the command's one-line message.
    try {
        return RunCommandLine(args, env);
    } catch (const std::exception& e) {
        env.err << "patchferry-cli " << (args.empty() ? std::string() : args[0]) << ": " << e.what()
                << "\n";
    }
    return kExitFailure;
}

}  // namespace patchferry::cli
