// The entry point and console of patchferry-cli on POSIX systems, where the command line and
// file names are already the UTF-8 the commands take.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ProgramMain.h"
#include "platform/Console.h"

namespace patchferry::cli::platform {

void PrepareStandardStreams() {}

bool StandardOutputIsTerminal() {
    return isatty(fileno(stdout)) != 0;
}

bool StandardErrorIsTerminal() {
    return isatty(fileno(stderr)) != 0;
}

}  // namespace patchferry::cli::platform

int main(int argc, char** argv) {
    return patchferry::cli::ProgramMain(std::vector<std::string>(argv + 1, argv + argc));
}
