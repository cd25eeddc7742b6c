#include "midi/receive/ConversationSteps.h"

namespace patchferry::midi {
namespace {

using Clock = std::chrono::steady_clock;

bool SendOrSay(SynthConnection& connection, std::span<const std::uint8_t> message,
               std::string& error) {
    const SendOutcome outcome = connection.Send(message);
    if (!outcome.Succeeded()) {
        error = outcome.errorText;
    }
    return outcome.Succeeded();
}

}  // namespace

bool StartInquiry(DeviceFinder& finder, SynthConnection& connection, std::string& error) {
    return SendOrSay(connection, finder.Start(Clock::now()), error);
}

bool StepInquiry(DeviceFinder& finder, SynthConnection& connection, std::chrono::milliseconds wait,
                 std::string& error) {
    finder.Feed(connection.Take(wait));
    if (const auto next = finder.Tick(Clock::now())) {
        if (!SendOrSay(connection, *next, error)) {
            finder.Cancel();
            return false;
        }
    }
    return true;
}

bool StartReceive(ProgramReceiver& receiver, SynthConnection& connection, ReceiveWhat what,
                  int channel, std::string& error) {
    static_cast<void>(connection.Take(std::chrono::milliseconds(0)));
    if (!SendOrSay(connection, receiver.Start(what, channel, Clock::now()), error)) {
        receiver.Cancel();
        return false;
    }
    return true;
}

void StepReceive(ProgramReceiver& receiver, SynthConnection& connection,
                 std::chrono::milliseconds wait) {
    const auto bytes = connection.Take(wait);
    const auto now = Clock::now();
    receiver.Feed(bytes, now);
    receiver.Tick(now);
}

std::string ReceiveFailureText(const ProgramReceiver& receiver, const SynthConnection& connection) {
    std::string text = receiver.FailureText();
    if (const std::string problem = connection.InputProblem(); !problem.empty()) {
        text += ' ' + problem;
    }
    return text;
}

}  // namespace patchferry::midi
