#pragma once
// Awaits the Radias's answer to one program dump it was sent, without a thread or a toolkit of
// its own, as ProgramReceiver does for the MS2000: the caller starts it once the dump has left
// the port, hands over what the input delivers and the time, and asks what came of it.
//
// A Radias that has taken a dump says DATA LOAD COMPLETED (F0 42 3g 72 23 F7); one that could
// not, DATA LOAD ERROR (24h) or DATA FORMAT ERROR (26h). Its answers name no program, so only an
// answer that arrives after the dump has left counts for it: whatever came before, and the rest
// of a message already under way, belongs to an earlier dump (or to nobody). Only answers on the
// dump's channel from a Radias count; everything else on the input is skipped. No answer within
// kAnswerWait of the dump's last byte is silence: many setups have no cable back.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "midi/SysExAssembler.h"
#include "synth/RadiasFacts.h"

namespace patchferry::synth {

enum class RadiasAnswer { DataLoadCompleted, DataLoadError, DataFormatError };

// The answer in one whole SysEx message from a Radias on `channel` (0..15), if it is one.
std::optional<RadiasAnswer> ParseRadiasAnswer(std::span<const std::uint8_t> message, int channel);

std::string_view AnswerName(RadiasAnswer answer);
// What a refusal means and what to change on the Radias, as a sentence or two.
std::string RefusalAdvice(RadiasAnswer answer);
// What to check when the Radias said nothing: `inputName` is where its answer should arrive,
// `channel` 0..15 the channel of the dump.
std::string SilenceAdvice(const std::string& inputName, int channel);

enum class ConfirmState { Idle, Listening, Answered, NoAnswer, Cancelled };

class DumpConfirmation {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kAnswerWait{1000};

    DumpConfirmation();

    // The dump on `channel` (0..15) has left the port at `left`: from now on, answers count.
    void Start(int channel, Clock::time_point left);
    // Forgets a message under way: bytes before the ones fed next were dropped.
    void Restart() { assembler_.DiscardPartial(); }
    void Feed(std::span<const std::uint8_t> bytes, Clock::time_point now);
    void Tick(Clock::time_point now);
    void Cancel();

    ConfirmState State() const { return state_; }
    bool Finished() const { return state_ != ConfirmState::Listening; }
    // Once Answered: the answer, and how long after the dump had left it was whole.
    RadiasAnswer Answer() const { return answer_; }
    std::chrono::milliseconds AnsweredAfter() const { return answeredAfter_; }
    int Channel() const { return channel_; }

  private:
    midi::SysExAssembler assembler_;
    ConfirmState state_ = ConfirmState::Idle;
    RadiasAnswer answer_ = RadiasAnswer::DataLoadCompleted;
    int channel_ = 0;
    Clock::time_point left_{};
    Clock::time_point now_{};
    std::chrono::milliseconds answeredAfter_{0};
};

}  // namespace patchferry::synth
