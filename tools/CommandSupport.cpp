#include "CommandSupport.h"

#include <ostream>
#include <stdexcept>

#include "ProgramChoice.h"
#include "convert/ProgramConverter.h"
#include "library/OpenFiles.h"
#include "synth/RadiasBackupFile.h"

namespace patchferry::cli {

bool ReadOneFile(const std::string& path, ProgramLibrary& library, CliEnvironment& env,
                 const std::string& command) {
    return OpenSyxFiles(library, {path}, [&](const OpenFailure& failure) {
               env.err << "patchferry-cli " << command << ": " << synth::OpenFailureText(failure)
                       << "\n";
           }) == 1;
}

midi::MidiInputService& InputService(CliEnvironment& env) {
    if (!env.midiInput) {
        throw std::runtime_error("MIDI input is not available here");
    }
    return env.midiInput();
}

std::optional<int> ChannelOption(const ParsedArgs& args, CliEnvironment& env,
                                 const std::string& command) {
    const auto text = args.Value("--channel");
    if (!text) {
        return 0;
    }
    const auto channel = ParseInt(*text, 1, 16);
    if (!channel) {
        env.err << "patchferry-cli " << command << ": --channel takes 1 to 16, not '" << *text
                << "'\n";
        return std::nullopt;
    }
    return *channel - 1;
}

const ProgramEntry* ChosenProgram(const ParsedArgs& args, const ProgramLibrary& library,
                                  CliEnvironment& env, const std::string& command) {
    const auto text = args.Value("--program");
    if (!text) {
        env.err << "patchferry-cli " << command << ": say which program with --program, e.g. A1\n";
        return nullptr;
    }
    const auto label = ParseProgramLabel(*text);
    if (!label) {
        env.err << "patchferry-cli " << command << ": '" << *text
                << "' is not a program: a bank letter A..H and a number 1..16, e.g. A1\n";
        return nullptr;
    }
    const int index = FindProgram(library, *label);
    if (index < 0) {
        env.err << "patchferry-cli " << command << ": the file has no program " << *text << "\n";
        return nullptr;
    }
    return &library[static_cast<std::size_t>(index)];
}

ProgramDump ConvertToDump(const ProgramEntry& entry, int channel) {
    ProgramConverter converter(entry.Image());
    converter.Convert();
    return BuildProgramDump(converter.Image(), channel);
}

bool StandardOutputTakesBytes(CliEnvironment& env, const std::string& command) {
    if (env.outIsTerminal) {
        env.err << "patchferry-cli " << command
                << ": the dump is binary; not writing it to a terminal (use -o OUT.syx or a "
                   "pipe)\n";
        return false;
    }
    return true;
}

bool WriteToStandardOutput(std::span<const std::uint8_t> bytes, CliEnvironment& env,
                           const std::string& command) {
    env.out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    env.out.flush();
    if (!env.out) {
        env.err << "patchferry-cli " << command << ": cannot write to standard output\n";
        return false;
    }
    return true;
}

}  // namespace patchferry::cli
