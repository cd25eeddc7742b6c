#pragma once
// The command line's side of a conversation with an instrument: the MIDI input and the output of
// one interface, found from either name, and the conversation held over them. Every failure on the
// way is reported as "patchferry-cli COMMAND: ...".

#include <chrono>
#include <memory>
#include <string>

#include "Cli.h"
#include "synth/Conversation.h"

namespace patchferry::cli {

class SynthLink {
  public:
    // `portText` names the input; the output is the one paired with it. Opens both, or reports
    // why not, sets `status` and returns nothing.
    static std::unique_ptr<SynthLink> Open(const std::string& portText, CliEnvironment& env,
                                           const std::string& command, int& status);
    // The same from the output: the input is the one paired with `output`.
    static std::unique_ptr<SynthLink> OpenBeside(const midi::MidiPortInfo& output,
                                                 CliEnvironment& env, const std::string& command);
    // `portText` names the output or, failing that, the input; the other direction is found by
    // pairing. Reports why not, sets `status` and returns nothing.
    static std::unique_ptr<SynthLink> OpenEither(const std::string& portText, CliEnvironment& env,
                                                 const std::string& command, int& status);
    SynthLink(CliEnvironment& env, std::string command,
              std::unique_ptr<midi::SynthConnection> connection);
    SynthLink(const SynthLink&) = delete;
    SynthLink& operator=(const SynthLink&) = delete;

    // Steps the task under way to its end, waiting for the input a little at a time, and calls
    // `shown` after each step. False when a message could not be sent (reported).
    template <typename Shown>
    bool RunTask(Shown shown) {
        std::string error;
        while (talk_.Running()) {
            if (!talk_.Step(kPoll, error)) {
                SendFailed(error);
                return false;
            }
            shown();
        }
        return true;
    }
    bool RunTask() {
        return RunTask([] {});
    }

    // Reports a send that failed with `errorText`.
    void SendFailed(const std::string& errorText);
    synth::Conversation& Talk() { return talk_; }
    const std::string& InputName() const { return talk_.Connection().Input().name; }

    // How long one wait for the input lasts: the time-outs and the progress move on at least
    // this often.
    static constexpr std::chrono::milliseconds kPoll{20};

  private:
    CliEnvironment& env_;
    std::string command_;
    synth::Conversation talk_;
};

}  // namespace patchferry::cli
