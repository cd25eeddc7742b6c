// patchferry-cli identify and receive: who answers on a MIDI port, and an MS2000's programs
// received straight from the synth into a file.

#include <chrono>
#include <optional>
#include <ostream>

#include "CommandSupport.h"
#include "Commands.h"
#include "ProgressLine.h"
#include "SynthLink.h"
#include "WriteFile.h"
#include "synth/Conversation.h"

namespace patchferry::cli {

namespace {

using Clock = std::chrono::steady_clock;

const std::string kIdentify = "identify";
const std::string kReceive = "receive";

// Runs the device inquiry to its end; the answers in the order they came, or nothing when a
// request could not be sent (reported).
std::optional<std::vector<synth::DeviceIdentity>> FindDevices(SynthLink& link) {
    std::string error;
    if (!link.Talk().StartFind(error)) {
        link.SendFailed(error);
        return std::nullopt;
    }
    if (!link.RunTask()) {
        return std::nullopt;
    }
    return link.Talk().Finder().Answers();
}

// The channel an MS2000 answered the inquiry on; reports when none did.
std::optional<int> FindMs2kChannel(SynthLink& link, CliEnvironment& env) {
    const auto answers = FindDevices(link);
    if (!answers) {
        return std::nullopt;
    }
    if (const auto channel = synth::Ms2kChannel(*answers)) {
        env.err << "patchferry-cli receive: the MS2000 answered on channel " << *channel << "\n";
        return channel;
    }
    env.err << "patchferry-cli receive: " << synth::NoMs2kText(*answers, link.InputName()) << "\n";
    if (!answers->empty()) {
        env.err << "Give the MS2000's global MIDI channel with --channel 1..16.\n";
    }
    return std::nullopt;
}

// Receiving's progress: the bytes come so far.
void ShowProgress(ProgressLine& line, const synth::ProgramReceiver& receiver, bool force = false) {
    if (receiver.State() != synth::ReceiveState::Idle && line.Due(force)) {
        line.Show("Receiving: " + std::to_string(receiver.Received()) + " of " +
                  std::to_string(receiver.Expected()) + " bytes");
    }
}

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
    }

    synth::Conversation& talk = link->Talk();
    const synth::ProgramReceiver& receiver = talk.Receiver();
    const auto asked = Clock::now();
    if (std::string error; !talk.StartReceive(what, channel, error)) {
        link->SendFailed(error);
        return kExitFailure;
    }
    ProgressLine progress(env);
    if (!link->RunTask([&] { ShowProgress(progress, receiver); })) {
        progress.End();
        return kExitFailure;
    }
    ShowProgress(progress, receiver, true);
    progress.End();
    if (receiver.State() != synth::ReceiveState::Done) {
        env.err << "patchferry-cli receive: " << talk.ReceiveFailureText() << "\n";
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
