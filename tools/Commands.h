#pragma once
// The commands of patchferry-cli. Each gets its arguments already parsed against its own options
// (RunCli has dealt with a wrong option and with --help) and returns the exit status.

#include "Cli.h"
#include "CliArgs.h"

namespace patchferry::cli {

int RunList(const ParsedArgs& args, CliEnvironment& env);
int RunConvert(const ParsedArgs& args, CliEnvironment& env);
int RunPorts(const ParsedArgs& args, CliEnvironment& env);
int RunSend(const ParsedArgs& args, CliEnvironment& env);
int RunIdentify(const ParsedArgs& args, CliEnvironment& env);
int RunReceive(const ParsedArgs& args, CliEnvironment& env);
int RunBackup(const ParsedArgs& args, CliEnvironment& env);
int RunWrite(const ParsedArgs& args, CliEnvironment& env);
int RunRestore(const ParsedArgs& args, CliEnvironment& env);

}  // namespace patchferry::cli
