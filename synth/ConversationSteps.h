#pragma once
// One step of a talk with an instrument, for a caller that polls: the window on a timer (waiting
// not at all), the command line in a loop (waiting a little for the input). Each step hands over
// what the input delivered, lets the time-outs run, and sends a request that has fallen due.

#include <chrono>
#include <string>

#include "midi/SynthConnection.h"
#include "synth/DeviceInquiry.h"
#include "synth/ProgramReceiver.h"

namespace patchferry::synth {

// Begins the device inquiry; false with the send's text in `error` when it could not go out.
bool StartInquiry(DeviceFinder& finder, midi::SynthConnection& connection, std::string& error);
// Moves the inquiry on. A request that falls due and cannot be sent ends it: false, with the
// send's text in `error`.
bool StepInquiry(DeviceFinder& finder, midi::SynthConnection& connection,
                 std::chrono::milliseconds wait, std::string& error);

// Sends the request for `what` to the MS2000 on `channel` (1..16), dropping whatever arrived
// before it, which is nobody's answer to it; false with the send's text in `error` when it could
// not go out.
bool StartReceive(ProgramReceiver& receiver, midi::SynthConnection& connection, ReceiveWhat what,
                  int channel, std::string& error);
void StepReceive(ProgramReceiver& receiver, midi::SynthConnection& connection,
                 std::chrono::milliseconds wait);
// What to tell the user about a failed receive: the receiver's text, and what went wrong with the
// input meanwhile, which may be why the answer did not come whole.
std::string ReceiveFailureText(const ProgramReceiver& receiver,
                               const midi::SynthConnection& connection);

}  // namespace patchferry::synth
