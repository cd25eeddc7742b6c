#pragma once
// Writing a file the commands made (a dump, a received answer): written beside the target first,
// so a failed write never leaves half a file in its place, then put in place.

#include <cstdint>
#include <span>
#include <string>

#include "Cli.h"

namespace patchferry::cli {

enum class Overwrite {
    Never,     // an existing file is never replaced
    IfForced,  // the same, and the refusal names --force
    Replace,   // an existing file is replaced
};

// Writes `bytes` to `target` (UTF-8); reports every failure as "patchferry-cli COMMAND: ...".
bool WriteBytesFile(const std::string& target, std::span<const std::uint8_t> bytes,
                    Overwrite overwrite, CliEnvironment& env, const std::string& command);

// Whether a file is already there (checked before a long task, so it is not done in vain).
bool AlreadyThere(const std::string& target);

}  // namespace patchferry::cli
