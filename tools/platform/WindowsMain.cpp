// The entry point and console of patchferry-cli on Windows. The narrow command line there is in
// the ANSI code page, which cannot hold most of the names musicians give their folders; wmain
// takes the UTF-16 command line, and everything inside works in UTF-8 from then on.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ProgramMain.h"
#include "platform/Console.h"

namespace patchferry::cli::platform {

namespace {

// Unpaired surrogates, which Windows allows in names, become U+FFFD: such a name then matches
// no file and is reported as one that cannot be opened.
std::string Utf8FromWide(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

// The console keeps its code page after the program ends: put back the one it had.
class ConsoleCodePage {
  public:
    ConsoleCodePage() : previous_(GetConsoleOutputCP()) {}
    ~ConsoleCodePage() {
        if (previous_ != 0) {
            SetConsoleOutputCP(previous_);
        }
    }
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

  private:
    UINT previous_;
};

}  // namespace

void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);  // no "\r" before each "\n", dumps byte for byte
    SetConsoleOutputCP(CP_UTF8);
}

bool StandardOutputIsTerminal() {
    // Only a real console: _isatty also says yes for NUL, where a dump may well go.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace patchferry::cli::platform

int wmain(int argc, wchar_t** argv) {
    const patchferry::cli::platform::ConsoleCodePage codePage;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(patchferry::cli::platform::Utf8FromWide(argv[i]));
    }
    return patchferry::cli::ProgramMain(args);
}
