#pragma once
// Backup files of Radias programs, told apart from MS2000 files when one is opened: what a
// failed open says about a file that holds only Radias program dumps with their addresses.

#include <cstddef>
#include <optional>
#include <string>

#include "library/OpenFiles.h"

namespace patchferry::synth {

// How many Radias programs the file at `path` (UTF-8) holds when it is a backup of them and
// nothing else; nothing for any other file.
std::optional<std::size_t> BackupProgramCount(const std::string& path);

// The message for a file that failed to open: the reader's own, except that a Radias backup is
// named as such rather than called a bad MS2000 file.
std::string OpenFailureText(const OpenFailure& failure);

}  // namespace patchferry::synth
