#include "synth/ProgramReceiver.h"

#include <algorithm>
#include <cassert>

namespace patchferry::synth {

ProgramReceiver::ProgramReceiver(ReceiveTimeouts timeouts)
    : timeouts_(timeouts),
      assembler_(syx::kLongestMessage, [this](std::span<const std::uint8_t> message, bool whole) {
          OnMessage(message, whole);
      }) {}

DumpRequest ProgramReceiver::Start(ReceiveWhat what, int channel, Clock::time_point now) {
    assert(IsChannel(channel));
    // A message still arriving belongs to an earlier request (or to nobody): never to this one.
    assembler_.DiscardPartial();
    what_ = what;
    channel_ = channel;
    state_ = ReceiveState::Waiting;
    failure_ = ReceiveFailure::None;
    received_ = 0;
    requested_ = now;
    started_ = now;
    lastByte_ = now;
    answer_.clear();
    return RequestFor(what, channel);
}

bool ProgramReceiver::IsAwaitedHeader(std::span<const std::uint8_t> message) const {
    const DumpRequest request = RequestFor(what_, channel_);
    return message.size() >= syx::kHeaderSize && message[0] == syx::kSysExStart &&
           message[1] == syx::kKorgId && message[2] == request[2] &&
           message[3] == syx::kMs2kModelId &&
           message[4] == static_cast<std::uint8_t>(AnswerFunction(what_));
}

// A dump from the MS2000 on the requested channel, of another kind than the one awaited.
bool ProgramReceiver::IsOtherAnswerFromTheMs2k(std::span<const std::uint8_t> message) const {
    return message.size() >= syx::kHeaderSize && !IsAwaitedHeader(message) &&
           message[0] == syx::kSysExStart && message[1] == syx::kKorgId &&
           message[2] == RequestFor(what_, channel_)[2] && message[3] == syx::kMs2kModelId;
}

void ProgramReceiver::Feed(std::span<const std::uint8_t> bytes, Clock::time_point now) {
    if (state_ != ReceiveState::Waiting && state_ != ReceiveState::Receiving) {
        assembler_.Feed(bytes);  // keeps track of where messages end; hands nothing on
        return;
    }
    const std::size_t skipped = assembler_.SkippedSysExBytes();
    const std::size_t partial = assembler_.PartialLength();
    assembler_.Feed(bytes);
    if (state_ != ReceiveState::Waiting && state_ != ReceiveState::Receiving) {
        return;  // the answer ended in these bytes
    }
    const bool earlierAnswerGoesOn =
        assembler_.SkippedSysExBytes() != skipped ||
        (IsOtherAnswerFromTheMs2k(assembler_.Partial()) && assembler_.PartialLength() != partial);
    if (state_ == ReceiveState::Waiting && earlierAnswerGoesOn) {
        started_ = std::min(now, requested_ + kLongestHold);
    }
    if (IsAwaitedHeader(assembler_.Partial())) {
        const std::size_t length = assembler_.PartialLength();
        if (length > received_) {
            received_ = length;
            lastByte_ = now;
            state_ = ReceiveState::Receiving;
        }
        if (received_ >= Expected()) {
            Fail(ReceiveFailure::AnswerBroken);  // as long as a whole answer and still no F7
        }
    }
}

void ProgramReceiver::OnMessage(std::span<const std::uint8_t> message, bool whole) {
    if ((state_ != ReceiveState::Waiting && state_ != ReceiveState::Receiving) ||
        !IsAwaitedHeader(message)) {
        return;
    }
    received_ = message.size();
    if (!whole || message.size() != Expected()) {
        Fail(ReceiveFailure::AnswerBroken);
        return;
    }
    answer_.assign(message.begin(), message.end());
    state_ = ReceiveState::Done;
}

void ProgramReceiver::Tick(Clock::time_point now) {
    if (state_ == ReceiveState::Waiting && now - started_ >= timeouts_.firstByte) {
        Fail(ReceiveFailure::NoAnswer);
    } else if (state_ == ReceiveState::Receiving && now - lastByte_ >= timeouts_.betweenBytes) {
        Fail(ReceiveFailure::AnswerStopped);
    }
}

void ProgramReceiver::Cancel() {
    if (state_ == ReceiveState::Waiting || state_ == ReceiveState::Receiving) {
        assembler_.DiscardPartial();
        state_ = ReceiveState::Cancelled;
    }
}

bool ProgramReceiver::Finished() const {
    return state_ == ReceiveState::Done || state_ == ReceiveState::Failed ||
           state_ == ReceiveState::Cancelled;
}

void ProgramReceiver::Fail(ReceiveFailure failure) {
    assembler_.DiscardPartial();
    answer_.clear();
    failure_ = failure;
    state_ = ReceiveState::Failed;
}

std::string ProgramReceiver::FailureText() const {
    const std::string channel = std::to_string(channel_);
    const std::string progress =
        std::to_string(received_) + " of " + std::to_string(Expected()) + " bytes";
    switch (failure_) {
        case ReceiveFailure::None:
            return {};
        case ReceiveFailure::NoAnswer:
            return "No answer came from the MS2000 on MIDI channel " + channel +
                   ". Check that a MIDI cable runs from the MS2000's MIDI OUT to the chosen "
                   "input, that the MS2000's global MIDI channel is " +
                   channel + ", and that its global MIDI setting \"SystemEx\" is ENA.";
        case ReceiveFailure::AnswerStopped:
            return "The MS2000's answer stopped after " + progress +
                   "; nothing of it was kept. Check the cable from the MS2000's MIDI OUT and try "
                   "again.";
        case ReceiveFailure::AnswerBroken:
            return "The MS2000's answer was broken after " + progress +
                   "; nothing of it was kept. Check that nothing else sends to this input, and "
                   "try again.";
    }
    return {};
}

}  // namespace patchferry::synth
