#pragma once
// A conversation with the synth behind one MIDI interface, for a caller that polls: the window
// on a timer (waiting not at all), the command line in a loop (waiting a little for the input).
// It owns the connection and runs one task at a time:
//
//   Find     the device inquiry, collecting who answers;
//   Receive  an MS2000's answer to a dump request;
//   Confirm  the Radias's answer to a program dump;
//   Backup   programs read from the Radias's memory, one request at a time.
//
// Each step hands over what the input delivered, lets the time-outs run and sends a message that
// has fallen due. The MS2000 needs a pause between two messages sent to it: a request that comes
// sooner after the last one waits for it inside the conversation, never in the caller.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "midi/SynthConnection.h"
#include "synth/DeviceInquiry.h"
#include "synth/DumpConfirmation.h"
#include "synth/ProgramReceiver.h"
#include "synth/RadiasBackup.h"

namespace patchferry::synth {

enum class Task { None, Find, Receive, Confirm, Backup };

class Conversation {
  public:
    using Clock = std::chrono::steady_clock;

    explicit Conversation(std::unique_ptr<midi::SynthConnection> connection,
                          ReceiveTimeouts timeouts = {});

    midi::SynthConnection& Connection() { return *connection_; }
    const midi::SynthConnection& Connection() const { return *connection_; }

    // Each start ends the task before it. False, with the send's text in `error`, when its first
    // message could not go out; no task runs then.
    bool StartFind(std::string& error);
    // `channel` is 1..16. The request may wait for the MS2000's pause; Receiver() is Idle until
    // it has gone.
    bool StartReceive(ReceiveWhat what, int channel, std::string& error);
    // Sends `dump` (a Radias program dump on `channel`, 0..15) and listens for the answer from the
    // earliest moment its last byte can have crossed the cable, however soon the port says it is
    // done.
    bool StartConfirm(std::span<const std::uint8_t> dump, int channel, std::string& error);

    // Reads `slots` (0..255, in this order) from the Radias on `channel` (0..15).
    bool StartBackup(std::vector<int> slots, int channel, std::string& error);

    // Moves the task on, waiting up to `wait` for input. False, with the send's text in `error`,
    // when a message that fell due could not go out: the task ends.
    bool Step(std::chrono::milliseconds wait, std::string& error);
    // Whether a task is under way (a request still waiting for its pause counts).
    bool Running() const;
    Task Current() const { return task_; }
    void Cancel();

    const DeviceFinder& Finder() const { return finder_; }
    const ProgramReceiver& Receiver() const { return receiver_; }
    const DumpConfirmation& Confirmation() const { return confirmation_; }
    const RadiasBackup& Backup() const { return backup_; }

    // What to tell the user about a failed receive: the receiver's text, and what went wrong with
    // the input meanwhile, which may be why the answer did not come whole.
    std::string ReceiveFailureText() const;

  private:
    bool Send(std::span<const std::uint8_t> message, std::string& error);
    bool SendDueRequest(std::string& error);

    std::unique_ptr<midi::SynthConnection> connection_;
    Task task_ = Task::None;
    DeviceFinder finder_;
    ProgramReceiver receiver_;
    DumpConfirmation confirmation_;
    RadiasBackup backup_;
    struct PendingRequest {
        ReceiveWhat what;
        int channel;
    };
    std::optional<PendingRequest> pending_;
    std::optional<Clock::time_point> lastSent_;
    // The earliest moment the dump being confirmed can have reached the synth: what arrives
    // before it answers an earlier message.
    Clock::time_point answersFrom_{};
};

// The MS2000's global channel (1..16) among the answers to a device inquiry: the first answer
// from its family on a channel.
std::optional<int> Ms2kChannel(const std::vector<DeviceIdentity>& answers);
// What to say when no MS2000 is among the answers heard on `inputName`: that nothing answered, or
// what did, one line each.
std::string NoMs2kText(const std::vector<DeviceIdentity>& answers, const std::string& inputName);

}  // namespace patchferry::synth
