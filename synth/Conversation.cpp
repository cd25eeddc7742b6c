#include "synth/Conversation.h"

#include <utility>

#include "midi/MidiCable.h"

namespace patchferry::synth {

Conversation::Conversation(std::unique_ptr<midi::SynthConnection> connection,
                           ReceiveTimeouts timeouts)
    : connection_(std::move(connection)), receiver_(timeouts) {}

bool Conversation::Send(std::span<const std::uint8_t> message, std::string& error) {
    const midi::SendOutcome outcome = connection_->Send(message);
    lastSent_ = Clock::now();
    if (!outcome.Succeeded()) {
        error = outcome.errorText;
        Cancel();
        return false;
    }
    return true;
}

bool Conversation::StartFind(std::string& error) {
    Cancel();
    task_ = Task::Find;
    return Send(finder_.Start(Clock::now()), error);
}

bool Conversation::StartReceive(ReceiveWhat what, int channel, std::string& error) {
    Cancel();
    // Whatever arrived before the request is nobody's answer to it.
    static_cast<void>(connection_->Take(std::chrono::milliseconds(0)));
    task_ = Task::Receive;
    pending_ = PendingRequest{what, channel};
    return SendDueRequest(error);
}

bool Conversation::SendDueRequest(std::string& error) {
    if (!pending_ || (lastSent_ && Clock::now() - *lastSent_ < kMs2kMessageGap)) {
        return true;
    }
    const PendingRequest request = *std::exchange(pending_, std::nullopt);
    return Send(receiver_.Start(request.what, request.channel, Clock::now()), error);
}

bool Conversation::StartConfirm(std::span<const std::uint8_t> dump, int channel,
                                std::string& error) {
    Cancel();
    task_ = Task::Confirm;
    const auto handedOver = Clock::now();
    if (!Send(dump, error)) {
        return false;
    }
    // Not from when the port says it is done: a port may say so a little after the last byte has
    // left (the sequencer's margin), by when a quick synth has already answered.
    answersFrom_ = handedOver + midi::SysExTransmissionTime(dump.size());
    confirmation_.Start(channel, answersFrom_);
    // What came before that is dropped; an answer already whole since then counts.
    bool dropped = false;
    const auto bytes = connection_->TakeSince(answersFrom_, std::chrono::milliseconds(0), dropped);
    confirmation_.Feed(bytes, Clock::now());
    return true;
}

bool Conversation::StartBackup(std::vector<int> slots, int channel, std::string& error) {
    Cancel();
    static_cast<void>(connection_->Take(std::chrono::milliseconds(0)));
    task_ = Task::Backup;
    return Send(backup_.Start(std::move(slots), channel, Clock::now()), error);
}

bool Conversation::Step(std::chrono::milliseconds wait, std::string& error) {
    if (task_ == Task::Confirm) {
        // What came before the dump can have left is nobody's answer to it, nor is the rest of
        // a message it began.
        bool dropped = false;
        const auto bytes = connection_->TakeSince(answersFrom_, wait, dropped);
        if (dropped) {
            confirmation_.Restart();
        }
        const auto now = Clock::now();
        confirmation_.Feed(bytes, now);
        confirmation_.Tick(now);
        return true;
    }
    const std::vector<std::uint8_t> bytes = connection_->Take(wait);
    const auto now = Clock::now();
    switch (task_) {
        case Task::Find:
            finder_.Feed(bytes);
            if (const auto next = finder_.Tick(now)) {
                return Send(*next, error);
            }
            return true;
        case Task::Receive:
            receiver_.Feed(bytes, now);
            receiver_.Tick(now);
            return SendDueRequest(error);
        case Task::Backup:
            backup_.Feed(bytes, now);
            if (const auto next = backup_.Tick(now)) {
                return Send(*next, error);
            }
            return true;
        case Task::Confirm:
        case Task::None:
            // Kept going, so that the rest of a cancelled answer is known as such.
            receiver_.Feed(bytes, now);
            return true;
    }
    return true;
}

bool Conversation::Running() const {
    switch (task_) {
        case Task::Find:
            return !finder_.Finished();
        case Task::Receive:
            return pending_.has_value() || !receiver_.Finished();
        case Task::Confirm:
            return !confirmation_.Finished();
        case Task::Backup:
            return !backup_.Finished();
        case Task::None:
            return false;
    }
    return false;
}

void Conversation::Cancel() {
    finder_.Cancel();
    receiver_.Cancel();
    confirmation_.Cancel();
    backup_.Cancel();
    pending_.reset();
    task_ = Task::None;
}

std::string Conversation::ReceiveFailureText() const {
    std::string text = receiver_.FailureText();
    if (const std::string problem = connection_->InputProblem(); !problem.empty()) {
        text += ' ' + problem;
    }
    return text;
}

std::optional<int> Ms2kChannel(const std::vector<DeviceIdentity>& answers) {
    for (const DeviceIdentity& answer : answers) {
        if (const auto channel = ReplyChannel(answer); channel && IsMs2kFamily(answer)) {
            return channel;
        }
    }
    return std::nullopt;
}

std::string NoMs2kText(const std::vector<DeviceIdentity>& answers, const std::string& inputName) {
    if (answers.empty()) {
        return NoInquiryAnswerText(inputName);
    }
    std::string text = "no MS2000 answered the device inquiry on " + inputName + "; what answered:";
    for (const DeviceIdentity& answer : answers) {
        text += "\n  " + DescribeIdentity(answer);
    }
    return text;
}

}  // namespace patchferry::synth
