#include "synth/ConversationSteps.h"

namespace patchferry::synth {
namespace {

using Clock = std::chrono::steady_clock;

bool SendOrSay(midi::SynthConnection& connection, std::span<const std::uint8_t> message,
               std::string& error) {
    const midi::SendOutcome outcome = connection.Send(message);
    if (!outcome.Succeeded()) {
        error = outcome.errorText;
    }
    return outcome.Succeeded();
}

}  // namespace

bool StartInquiry(DeviceFinder& finder, midi::SynthConnection& connection, std::string& error) {
    return SendOrSay(connection, finder.Start(Clock::now()), error);
}

bool StepInquiry(DeviceFinder& finder, midi::SynthConnection& connection,
                 std::chrono::milliseconds wait, std::string& error) {
    finder.Feed(connection.Take(wait));
    if (const auto next = finder.Tick(Clock::now())) {
        if (!SendOrSay(connection, *next, error)) {
            finder.Cancel();
            return false;
        }
    }
    return true;
}

bool StartReceive(ProgramReceiver& receiver, midi::SynthConnection& connection, ReceiveWhat what,
                  int channel, std::string& error) {
    static_cast<void>(connection.Take(std::chrono::milliseconds(0)));
    if (!SendOrSay(connection, receiver.Start(what, channel, Clock::now()), error)) {
        receiver.Cancel();
        return false;
    }
    return true;
}

void StepReceive(ProgramReceiver& receiver, midi::SynthConnection& connection,
                 std::chrono::milliseconds wait) {
    const auto bytes = connection.Take(wait);
    const auto now = Clock::now();
    receiver.Feed(bytes, now);
    receiver.Tick(now);
}

std::string ReceiveFailureText(const ProgramReceiver& receiver,
                               const midi::SynthConnection& connection) {
    std::string text = receiver.FailureText();
    if (const std::string problem = connection.InputProblem(); !problem.empty()) {
        text += ' ' + problem;
    }
    return text;
}

}  // namespace patchferry::synth
