#pragma once
// What patchferry-cli needs from the console of the platform it runs on. Each platform's entry
// point (main, or wmain on Windows) lives with its implementation in this folder.

namespace patchferry::cli::platform {

// Standard output takes bytes unchanged, so a dump goes out byte for byte, and a console shows
// the UTF-8 text of the listings as text.
void PrepareStandardStreams();

// Whether standard output is an interactive console (binary dumps are never written to one).
bool StandardOutputIsTerminal();
// Whether standard error is one (progress is shown only there).
bool StandardErrorIsTerminal();

}  // namespace patchferry::cli::platform
