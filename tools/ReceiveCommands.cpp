// patchferry-cli identify and receive: who answers on a MIDI port, and an MS2000's programs
// received straight from the synth into a file.

#include <chrono>
#include <optional>
#include <ostream>
#include <thread>

#include "CommandSupport.h"
#include "Commands.h"
#include "SynthLink.h"
#include "WriteFile.h"
#include "synth/ConversationSteps.h"

namespace patchferry::cli {

namespace {

using Clock = std::chrono::steady_clock;

const std::string kIdentify = "identify";
const std::string kReceive = "receive";

// How long one wait for the input lasts: the time-outs and the progress move on at least this
// often.
constexpr std::chrono::milliseconds kPoll{50};
// The progress line is redrawn at most this often.
constexpr std::chrono::milliseconds kProgressEvery{200};

// Runs the device inquiry to its end; the answers in the order they came, or nothing when a
// request could not be sent (reported).
std::optional<std::vector<synth::DeviceIdentity>> FindDevices(SynthLink& link) {
    synth::DeviceFinder finder;
    std::string error;
    bool sent = synth::StartInquiry(finder, link.Connection(), error);
    while (sent && !finder.Finished()) {
        sent = synth::StepInquiry(finder, link.Connection(), kPoll, error);
    }
    if (!sent) {
        link.SendFailed(error);
        return std::nullopt;
    }
    return finder.Answers();
}

// The channel an MS2000 answered the inquiry on; reports when none did.
std::optional<int> FindMs2kChannel(SynthLink& link, CliEnvironment& env) {
    const auto answers = FindDevices(link);
    if (!answers) {
        return std::nullopt;
    }
    for (const synth::DeviceIdentity& answer : *answers) {
        if (const auto channel = synth::ReplyChannel(answer); channel && IsMs2kFamily(answer)) {
            env.err << "patchferry-cli receive: the MS2000 answered on channel " << *channel
                    << "\n";
            return channel;
        }
    }
    if (answers->empty()) {
        env.err << "patchferry-cli receive: " << synth::NoInquiryAnswerText(link.InputName())
                << "\n";
    } else {
        env.err << "patchferry-cli receive: no MS2000 answered the device inquiry; what "
                   "answered:\n";
        for (const synth::DeviceIdentity& answer : *answers) {
            env.err << "  " << synth::DescribeIdentity(answer) << "\n";
        }
        env.err << "Give the MS2000's global MIDI channel with --channel 1..16.\n";
    }
    return std::nullopt;
}

// Receiving's progress on a terminal: one line, redrawn in place.
class ProgressLine {
  public:
    explicit ProgressLine(CliEnvironment& env) : env_(env) {}
    void Show(const synth::ProgramReceiver& receiver, bool force = false) {
        const auto now = Clock::now();
        if (!env_.errIsTerminal || (!force && now - shown_ < kProgressEvery)) {
            return;
        }
        shown_ = now;
        drawn_ = true;
        env_.err << "\rReceiving: " << receiver.Received() << " of " << receiver.Expected()
                 << " bytes" << std::flush;
    }
    void End() {
        if (drawn_) {
            env_.err << "\n";
        }
    }

  private:
    CliEnvironment& env_;
    Clock::time_point shown_{};
    bool drawn_ = false;
};

}  // namespace

int RunIdentify(const ParsedArgs& args, CliEnvironment& env) {
    const auto portText = args.Value("--port");
    if (!portText) {
        env.err << "patchferry-cli identify: give the MIDI input with --port (see "
                   "patchferry-cli ports --input)\n";
        return kExitUsage;
    }
    int status = kExitFailure;
    const auto link = SynthLink::Open(*portText, env, kIdentify, status);
    if (!link) {
        return status;
    }
    const auto answers = FindDevices(*link);
    if (!answers) {
        return kExitFailure;
    }
    if (answers->empty()) {
        env.err << "patchferry-cli identify: " << synth::NoInquiryAnswerText(link->InputName())
                << "\n";
        return kExitFailure;
    }
    for (const synth::DeviceIdentity& answer : *answers) {
        env.out << synth::DescribeIdentity(answer) << "\n";
    }
    return kExitOk;
}

int RunReceive(const ParsedArgs& args, CliEnvironment& env) {
    const auto portText = args.Value("--port");
    const auto target = args.Value("-o");
    if (!portText || !target || args.Has("--current") == args.Has("--all")) {
        env.err << "patchferry-cli receive: give --port, --current or --all, and -o FILE (see "
                   "patchferry-cli receive --help)\n";
        return kExitUsage;
    }
    const auto what =
        args.Has("--all") ? synth::ReceiveWhat::AllPrograms : synth::ReceiveWhat::CurrentProgram;
    const std::string channelText = args.Value("--channel").value_or("1");
    const bool findChannel = channelText == "auto";
    const auto typed = ParseInt(channelText, synth::kFirstChannel, synth::kLastChannel);
    if (!findChannel && !typed) {
        env.err << "patchferry-cli receive: --channel takes 1 to 16 or auto, not '" << channelText
                << "'\n";
        return kExitUsage;
    }
    // Checked before the synth is asked: a bank takes seconds to come, and is lost when it
    // cannot be written after all.
    const bool toOutput = *target == kStandardOutput;
    if (toOutput ? !StandardOutputTakesBytes(env, kReceive)
                 : !CanWriteNewFile(*target, env, kReceive)) {
        return kExitFailure;
    }
    int status = kExitFailure;
    const auto link = SynthLink::Open(*portText, env, kReceive, status);
    if (!link) {
        return status;
    }
    int channel = typed.value_or(synth::kFirstChannel);
    if (findChannel) {
        const auto found = FindMs2kChannel(*link, env);
        if (!found) {
            return kExitFailure;
        }
        channel = *found;
        // The MS2000 wants a pause between two messages sent to it.
        std::this_thread::sleep_for(synth::kMs2kMessageGap);
    }

    synth::ProgramReceiver receiver(env.receiveTimeouts);
    const auto asked = Clock::now();
    if (std::string error;
        !synth::StartReceive(receiver, link->Connection(), what, channel, error)) {
        link->SendFailed(error);
        return kExitFailure;
    }
    ProgressLine progress(env);
    while (!receiver.Finished()) {
        synth::StepReceive(receiver, link->Connection(), kPoll);
        progress.Show(receiver);
    }
    progress.Show(receiver, true);
    progress.End();
    if (receiver.State() != synth::ReceiveState::Done) {
        env.err << "patchferry-cli receive: "
                << synth::ReceiveFailureText(receiver, link->Connection()) << "\n";
        return kExitFailure;
    }
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count();
    if (toOutput ? !WriteToStandardOutput(receiver.Answer(), env, kReceive)
                 : !WriteBytesFile(*target, receiver.Answer(), Overwrite::Never, env, kReceive)) {
        return kExitFailure;
    }
    // With the answer on standard output, what was done is said beside the progress.
    (toOutput ? env.err : env.out)
        << "Received " << receiver.Answer().size() << " bytes from " << link->InputName()
        << " on channel " << channel << " into " << (toOutput ? "standard output" : *target)
        << " in " << took << " ms from the request\n";
    return kExitOk;
}

}  // namespace patchferry::cli
