#pragma once
// The command line's side of a conversation with an instrument: the MIDI input that --port names
// and the output of the same interface, where requests go out. Every failure on the way is
// reported as "patchferry-cli COMMAND: ...".

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Cli.h"
#include "midi/SynthConnection.h"

namespace patchferry::cli {

class SynthLink {
  public:
    // Opens both, or reports why not, sets `status` and returns nothing.
    static std::unique_ptr<SynthLink> Open(const std::string& portText, CliEnvironment& env,
                                           const std::string& command, int& status);
    SynthLink(CliEnvironment& env, std::string command,
              std::unique_ptr<midi::SynthConnection> connection);
    SynthLink(const SynthLink&) = delete;
    SynthLink& operator=(const SynthLink&) = delete;

    // Reports a send that failed with `errorText`.
    void SendFailed(const std::string& errorText);
    midi::SynthConnection& Connection() { return *connection_; }
    const std::string& InputName() const { return connection_->Input().name; }

  private:
    CliEnvironment& env_;
    std::string command_;
    std::unique_ptr<midi::SynthConnection> connection_;
};

}  // namespace patchferry::cli
