#pragma once
// Writing programs into a Radias's memory without losing what was there, for a caller that polls
// (the window on a timer, the command line in a loop):
//
//   1. every target slot is read back first (the backup), which the caller keeps safe before it
//      lets the run go on;
//   2. then each program: its dump with the slot's address, and the Radias's answer, before the
//      next is sent; nothing is ever sent without the answer to the message before it;
//   3. the first program written is read back and compared before any other is written, which
//      proves that the Radias reads the addresses as this program writes them.
//
// A refusal, a silence, a difference read back or a cancel stops the run between programs, never
// inside one; what was confirmed is known to the last program.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "synth/Conversation.h"

namespace patchferry::synth {

struct WriteItem {
    int slot;                        // 0..255
    std::vector<std::uint8_t> dump;  // its program dump with that address, on the run's channel
    std::string label;               // what the user calls the program ("A001 Stab Saw")
};

enum class WritePhase { Idle, BackingUp, BackedUp, Writing, ReadingBack, Done, Failed, Cancelled };

class RadiasWriteRun {
  public:
    // The conversation and the items must outlive the run.
    RadiasWriteRun(Conversation& talk, int channel, std::vector<WriteItem> items);

    // Reads the target slots; BackedUp once they are all in (Backup()).
    bool Start(std::string& error);
    // Once the backup is safe: writes the programs.
    bool Proceed(std::string& error);
    // Moves the run on, waiting up to `wait` for input. False, with the send's text in `error`,
    // when a message could not go out (the run fails).
    bool Step(std::chrono::milliseconds wait, std::string& error);
    // Stops before the next program; the one under way finishes.
    void Cancel() { cancelRequested_ = true; }

    WritePhase Phase() const { return phase_; }
    bool Busy() const {
        return phase_ == WritePhase::BackingUp || phase_ == WritePhase::Writing ||
               phase_ == WritePhase::ReadingBack;
    }
    const std::vector<std::uint8_t>& Backup() const { return backup_; }
    const std::vector<WriteItem>& Items() const { return items_; }
    // How many programs the Radias confirmed it took, from the first.
    std::size_t Confirmed() const { return confirmed_; }
    // The item under way (or where the run stopped).
    std::size_t Current() const { return next_; }
    // Why the run failed, for the user; whether because nothing answered.
    const std::string& FailureText() const { return failure_; }
    bool Unanswered() const { return unanswered_; }

  private:
    bool WriteNext(std::string& error);
    void Fail(std::string text, bool unanswered = false);

    Conversation& talk_;
    int channel_;
    std::vector<WriteItem> items_;
    WritePhase phase_ = WritePhase::Idle;
    std::vector<std::uint8_t> backup_;
    std::size_t next_ = 0;
    std::size_t confirmed_ = 0;
    bool readBack_ = false;
    bool cancelRequested_ = false;
    std::string failure_;
    bool unanswered_ = false;
};

}  // namespace patchferry::synth
