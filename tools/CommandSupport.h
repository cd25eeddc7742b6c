#pragma once
// What the commands that make dumps share: reading the one file, the channel option, and the
// conversion.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "Cli.h"
#include "CliArgs.h"
#include "library/ProgramLibrary.h"
#include "synth/ProgramDump.h"

namespace patchferry::cli {

// Reads `path` as an Open of that one file would; reports a failure on stderr.
bool ReadOneFile(const std::string& path, ProgramLibrary& library, CliEnvironment& env,
                 const std::string& command);

// The MIDI inputs of the environment; throws when it has none (reported as the command's failure).
midi::MidiInputService& InputService(CliEnvironment& env);

// The channel of "--channel 1..16" as 0..15 (0 when not given); reports a bad value.
std::optional<int> ChannelOption(const ParsedArgs& args, CliEnvironment& env,
                                 const std::string& command);

// The entry chosen with "--program"; reports a bad or unknown program.
const ProgramEntry* ChosenProgram(const ParsedArgs& args, const ProgramLibrary& library,
                                  CliEnvironment& env, const std::string& command);

// The dump of the converted entry; every program converts, Vocoder programs too.
ProgramDump ConvertToDump(const ProgramEntry& entry, int channel);

// "-o -": the bytes go to standard output.
inline const std::string kStandardOutput = "-";

// Whether binary bytes may go to standard output: never to a terminal (reported).
bool StandardOutputTakesBytes(CliEnvironment& env, const std::string& command);

// Writes `bytes` to standard output; false when it failed (reported).
bool WriteToStandardOutput(std::span<const std::uint8_t> bytes, CliEnvironment& env,
                           const std::string& command);

}  // namespace patchferry::cli
