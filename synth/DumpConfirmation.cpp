#include "synth/DumpConfirmation.h"

#include <array>

#include "library/KorgSysEx.h"
#include "synth/ChannelText.h"

namespace patchferry::synth {
namespace {

using radias::Function;

struct AnswerFunction {
    RadiasAnswer answer;
    Function function;
};

constexpr std::array kAnswerFunctions{
    AnswerFunction{RadiasAnswer::DataLoadCompleted, Function::DataLoadCompleted},
    AnswerFunction{RadiasAnswer::DataLoadError, Function::DataLoadError},
    AnswerFunction{RadiasAnswer::DataFormatError, Function::DataFormatError},
};

constexpr Function FunctionOf(RadiasAnswer answer) {
    for (const AnswerFunction& entry : kAnswerFunctions) {
        if (entry.answer == answer) {
            return entry.function;
        }
    }
    return Function::DataLoadCompleted;
}

}  // namespace

std::optional<RadiasAnswer> ParseRadiasAnswer(std::span<const std::uint8_t> message, int channel) {
    if (message.size() != radias::kShortAnswerSize || message[0] != korg::kSysExStart ||
        message[1] != korg::kKorgId ||
        message[2] != static_cast<std::uint8_t>(korg::kFormatIdHighNibble + channel) ||
        message[3] != radias::kModelId || message[5] != korg::kSysExEnd) {
        return std::nullopt;
    }
    for (const AnswerFunction& entry : kAnswerFunctions) {
        if (message[4] == static_cast<std::uint8_t>(entry.function)) {
            return entry.answer;
        }
    }
    return std::nullopt;
}

std::string_view AnswerName(RadiasAnswer answer) {
    return radias::FunctionName(FunctionOf(answer));
}

std::string RefusalAdvice(RadiasAnswer answer) {
    if (answer == RadiasAnswer::DataFormatError) {
        return "It did not take the message as a program of its own: check that the synth on "
               "this port is a Radias and that its system is up to date.";
    }
    return "It could not store the program: check that its memory protect (GLOBAL) is off, "
           "then try again.";
}

std::string SilenceAdvice(const std::string& inputName, int channel) {
    return "Check the cable from the Radias's MIDI OUT to " + inputName +
           ", that its global MIDI channel is " + synth::ChannelText(channel) +
           " and that its MIDI filter passes System Exclusive (SystemEx).";
}

DumpConfirmation::DumpConfirmation()
    : assembler_(radias::kShortAnswerSize, [this](std::span<const std::uint8_t> message,
                                                  bool whole) {
          if (state_ != ConfirmState::Listening || !whole) {
              return;
          }
          if (const auto answer = ParseRadiasAnswer(message, channel_)) {
              answer_ = *answer;
              state_ = ConfirmState::Answered;
              answeredAfter_ = std::chrono::duration_cast<std::chrono::milliseconds>(now_ - left_);
          }
      }) {}

void DumpConfirmation::Start(int channel, Clock::time_point left) {
    // The rest of a message under way when the dump left is an answer to an earlier one.
    assembler_.DiscardPartial();
    channel_ = channel;
    left_ = left;
    now_ = left;
    state_ = ConfirmState::Listening;
}

void DumpConfirmation::Feed(std::span<const std::uint8_t> bytes, Clock::time_point now) {
    now_ = now;
    assembler_.Feed(bytes);
}

void DumpConfirmation::Tick(Clock::time_point now) {
    if (state_ == ConfirmState::Listening && now - left_ >= kAnswerWait) {
        state_ = ConfirmState::NoAnswer;
    }
}

void DumpConfirmation::Cancel() {
    if (state_ == ConfirmState::Listening) {
        state_ = ConfirmState::Cancelled;
    }
}

}  // namespace patchferry::synth
