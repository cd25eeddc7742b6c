#pragma once
// The body of patchferry-cli's main, shared by the platforms' entry points.

#include <string>
#include <vector>

namespace patchferry::cli {

// Runs the command line `args` (UTF-8, without the program name) on the process's standard
// streams and the system's MIDI service; returns the exit status. Never throws.
int ProgramMain(const std::vector<std::string>& args) noexcept;

}  // namespace patchferry::cli
