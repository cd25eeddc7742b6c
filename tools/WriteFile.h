#pragma once
// Writing a file the commands made (a dump, a received answer) safely: written beside the target
// under a fresh name first, so a failed write never leaves half a file in its place, then given
// the target's name without replacing anything that was not asked for.

#include <cstdint>
#include <span>
#include <string>

#include "Cli.h"

namespace patchferry::cli {

enum class Overwrite {
    Never,     // nothing at the name is ever replaced
    IfForced,  // the same, and the refusal of a plain file names --force
    Replace,   // a plain file is replaced; a link, a folder or a device never is
};

// Writes `bytes` to `target` (UTF-8); reports every failure as "patchferry-cli COMMAND: ..." with
// the system's reason.
bool WriteBytesFile(const std::string& target, std::span<const std::uint8_t> bytes,
                    Overwrite overwrite, CliEnvironment& env, const std::string& command);

// Whether a new file `target` can be written: the name is free and its folder takes new files.
// Checked before a long task, so it is not done in vain; reports why not.
bool CanWriteNewFile(const std::string& target, CliEnvironment& env, const std::string& command);

}  // namespace patchferry::cli
