// patchferry-cli: the command-line companion of Patchferry.

#include <cstdio>
#include <iostream>
#include <memory>

#include "Cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define PATCHFERRY_ISATTY _isatty
#define PATCHFERRY_FILENO _fileno
#else
#include <unistd.h>
#define PATCHFERRY_ISATTY isatty
#define PATCHFERRY_FILENO fileno
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // dumps go out byte for byte
#endif
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::unique_ptr<patchferry::midi::MidiOutputService> service;
    patchferry::cli::CliEnvironment env{
        std::cout, std::cerr, [&service]() -> patchferry::midi::MidiOutputService& {
            if (!service) {
                service = patchferry::midi::CreateSystemMidiOutputService();
            }
            return *service;
        }};
    env.outIsTerminal = PATCHFERRY_ISATTY(PATCHFERRY_FILENO(stdout)) != 0;
    const int status = patchferry::cli::RunCli(args, env);
    std::cout.flush();
    return status;
}
