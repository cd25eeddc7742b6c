#pragma once
// Awaits an MS2000's answer to a dump request on a MIDI input, without a thread or a toolkit of
// its own: the caller sends the request, hands over every byte the input delivers and the time,
// and asks what came of it. The window's receive dialog and the command line drive it alike.
//
// Only the awaited answer counts: a dump message of the requested kind from the requested
// channel. Other traffic (active sensing every 300 ms, clock, notes, other SysEx) is taken out
// and neither feeds the answer nor keeps it alive: the time-outs count the silence of the answer,
// not of the input. One kind of traffic does hold the wait for the answer's start: the MS2000
// still sending an earlier answer (the rest of a cancelled bank, or a dump of another kind from
// its channel). It answers the new request only after that, so the wait starts again from the
// earlier answer's last byte; but never later than the MS2000's longest message can take on the
// cable from the request, so that a message that never ends, or a knob turned for ever, cannot
// hold the wait for ever. An answer is handed over only when whole, with exactly the expected
// length; a broken, cut or stalled answer fails and keeps nothing. After a cancel or a failure, the
// rest of an answer still arriving is skipped to its end and never taken as the start of the next.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "midi/MidiCable.h"
#include "midi/SysExAssembler.h"
#include "synth/Ms2kRequests.h"

namespace patchferry::synth {

enum class ReceiveState { Idle, Waiting, Receiving, Done, Failed, Cancelled };

enum class ReceiveFailure {
    None,
    NoAnswer,       // nothing of the answer came in time
    AnswerStopped,  // the answer began and then fell silent
    AnswerBroken,   // the answer ended early, was broken into, or ran too long
};

struct ReceiveTimeouts {
    std::chrono::milliseconds firstByte{3000};     // from the request to the answer's start
    std::chrono::milliseconds betweenBytes{2000};  // between two bytes of the answer
};

class ProgramReceiver {
  public:
    using Clock = std::chrono::steady_clock;
    // How long after the request what the MS2000 sends before the answer can hold the wait: its
    // longest message on the cable (about 12 s), with a margin for the way through the interface
    // and an input that hands its bytes over in large pieces. The wait for the answer's start
    // runs on from there.
    static constexpr std::chrono::milliseconds kHoldMargin{2000};
    static constexpr Clock::duration kLongestHold =
        midi::SysExTransmissionTime(syx::kLongestMessage) + kHoldMargin;

    explicit ProgramReceiver(ReceiveTimeouts timeouts = {});

    // Begins awaiting the answer to the returned request, which the caller sends at `now`.
    // `channel` is 1..16. Whatever was received before is dropped.
    DumpRequest Start(ReceiveWhat what, int channel, Clock::time_point now);

    // Everything the input delivered, in pieces cut anywhere, and when it came.
    void Feed(std::span<const std::uint8_t> bytes, Clock::time_point now);
    // Lets the time-outs run out; call it at least every few hundred milliseconds.
    void Tick(Clock::time_point now);
    void Cancel();

    ReceiveState State() const { return state_; }
    bool Finished() const;
    ReceiveFailure Failure() const { return failure_; }
    // What to tell the user about a failure (empty without one).
    std::string FailureText() const;

    // Progress: bytes of the answer received so far, against its whole length.
    std::size_t Received() const { return received_; }
    std::size_t Expected() const { return AnswerSize(what_); }
    ReceiveWhat What() const { return what_; }
    int Channel() const { return channel_; }

    // The whole answer, F0 to F7, once State() is Done.
    const std::vector<std::uint8_t>& Answer() const { return answer_; }

  private:
    bool IsAwaitedHeader(std::span<const std::uint8_t> message) const;
    bool IsOtherAnswerFromTheMs2k(std::span<const std::uint8_t> message) const;
    void OnMessage(std::span<const std::uint8_t> message, bool whole);
    void Fail(ReceiveFailure failure);

    ReceiveTimeouts timeouts_;
    midi::SysExAssembler assembler_;
    ReceiveState state_ = ReceiveState::Idle;
    ReceiveFailure failure_ = ReceiveFailure::None;
    ReceiveWhat what_ = ReceiveWhat::AllPrograms;
    int channel_ = kFirstChannel;
    std::size_t received_ = 0;
    Clock::time_point requested_{};
    Clock::time_point started_{};  // when the wait for the answer's start began (or began again)
    Clock::time_point lastByte_{};
    std::vector<std::uint8_t> answer_;
};

}  // namespace patchferry::synth
