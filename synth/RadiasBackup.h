#pragma once
// Reads programs from a Radias's memory, one request at a time, without a thread or a toolkit of
// its own: the caller sends each request it returns, hands over what the input delivers and the
// time, and asks what came of it. Each answer is checked before the next request goes: a whole
// program dump from a Radias on the channel asked, with the address asked, 2054 bytes. Anything
// else from the Radias on that channel (a refusal, another address, a cut message) ends the
// backup, saying what arrived; other traffic is skipped. The dumps are kept exactly as they came,
// in the order asked.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "midi/SysExAssembler.h"
#include "synth/RadiasProgramMessages.h"

namespace patchferry::synth {

enum class BackupState { Idle, Asking, Done, Failed, Cancelled };

class RadiasBackup {
  public:
    using Clock = std::chrono::steady_clock;
    // How long past the request's and the dump's time on the cable an answer may take to be whole.
    static constexpr std::chrono::milliseconds kAnswerMargin{3000};

    RadiasBackup();

    // Begins reading `slots` (0..255, in this order) on `channel` (0..15); the caller sends the
    // returned request at `now`.
    ProgramDumpRequest Start(std::vector<int> slots, int channel, Clock::time_point now);
    void Feed(std::span<const std::uint8_t> bytes, Clock::time_point now);
    // The next request to send now, once the last answer is in; ends a wait that ran out.
    std::optional<ProgramDumpRequest> Tick(Clock::time_point now);
    void Cancel();

    BackupState State() const { return state_; }
    bool Finished() const { return state_ != BackupState::Asking; }
    // The dumps received so far, one after the other, as they came.
    const std::vector<std::uint8_t>& Dumps() const { return dumps_; }
    std::size_t Received() const { return next_; }
    std::size_t Total() const { return slots_.size(); }
    // The slot asked for last.
    int Asking() const { return slots_.empty() ? 0 : slots_[std::min(next_, slots_.size() - 1)]; }
    // Why it failed, for the user.
    const std::string& FailureText() const { return failure_; }
    // Whether it failed because nothing came (rather than something else).
    bool Unanswered() const { return unanswered_; }

  private:
    void OnMessage(std::span<const std::uint8_t> message, bool whole);
    void Fail(std::string text);

    midi::SysExAssembler assembler_;
    std::vector<int> slots_;
    std::size_t next_ = 0;
    int channel_ = 0;
    bool answered_ = false;
    BackupState state_ = BackupState::Idle;
    Clock::time_point askedAt_{};
    std::vector<std::uint8_t> dumps_;
    std::string failure_;
    bool unanswered_ = false;
};

}  // namespace patchferry::synth
