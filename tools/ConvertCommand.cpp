// patchferry-cli convert: Radias program dumps written to files or standard output.

#include <filesystem>
#include <ostream>
#include <system_error>

#include "CommandSupport.h"
#include "Commands.h"
#include "ProgramChoice.h"
#include "WriteFile.h"
#include "library/Utf8Path.h"

namespace patchferry::cli {

namespace {

const std::string kCommand = "convert";

bool WriteDump(const std::string& target, const ProgramDump& dump, bool force,
               CliEnvironment& env) {
    return WriteBytesFile(target, dump, force ? Overwrite::Replace : Overwrite::IfForced, env,
                          kCommand);
}

int ConvertAll(const ProgramLibrary& library, int channel, const std::string& folder, bool force,
               CliEnvironment& env) {
    const auto dir = PathFromUtf8(folder);
    std::error_code made;
    std::error_code looked;
    if (dir) {
        std::filesystem::create_directories(*dir, made);
    }
    if (!dir || !std::filesystem::is_directory(*dir, looked)) {
        const std::error_code why = made     ? made
                                    : looked ? looked
                                             : std::make_error_code(std::errc::not_a_directory);
        env.err << "patchferry-cli convert: cannot make the folder " << folder << ": "
                << why.message() << "\n";
        return kExitFailure;
    }
    int failed = 0;
    for (int i = 0; i < library.Count(); ++i) {
        const auto& entry = library[static_cast<std::size_t>(i)];
        const ProgramDump dump = ConvertToDump(entry, channel);
        if (!WriteDump(Utf8FromPath(*dir / DumpFileName(entry)), dump, force, env)) {
            ++failed;
        }
    }
    return failed == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int RunConvert(const ParsedArgs& args, CliEnvironment& env) {
    if (args.positional.size() != 1) {
        env.err << "patchferry-cli convert: give exactly one file (see patchferry-cli convert "
                   "--help)\n";
        return kExitUsage;
    }
    const bool all = args.Has("--all");
    if (all == args.Value("--program").has_value()) {
        env.err << "patchferry-cli convert: give either --program or --all\n";
        return kExitUsage;
    }
    const auto output = args.Value("-o");
    if (all && (!output || *output == kStandardOutput)) {
        env.err << "patchferry-cli convert: --all needs -o FOLDER\n";
        return kExitUsage;
    }
    const auto channel = ChannelOption(args, env, kCommand);
    if (!channel) {
        return kExitUsage;
    }
    ProgramLibrary library;
    if (!ReadOneFile(args.positional[0], library, env, kCommand)) {
        return kExitFailure;
    }
    if (all) {
        return ConvertAll(library, *channel, *output, args.Has("--force"), env);
    }
    const ProgramEntry* entry = ChosenProgram(args, library, env, kCommand);
    if (entry == nullptr) {
        return kExitFailure;
    }
    const ProgramDump dump = ConvertToDump(*entry, *channel);
    if (output && *output != kStandardOutput) {
        return WriteDump(*output, dump, args.Has("--force"), env) ? kExitOk : kExitFailure;
    }
    return StandardOutputTakesBytes(env, kCommand) && WriteToStandardOutput(dump, env, kCommand)
               ? kExitOk
               : kExitFailure;
}

}  // namespace patchferry::cli
