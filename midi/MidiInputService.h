#pragma once
// What the program needs from the platform's MIDI input: a list of input ports, described and
// filtered as the outputs are (MidiPortInfo), and a way to open one. An open input is an
// object that closes itself: while it lives, the backend hands every byte that arrives to the
// sink on a thread of its own; once it is destroyed, the sink is never called again.
//
// The bytes come as the wire carried them, in pieces cut anywhere (a long SysEx message in
// several pieces); a backend may leave out real-time bytes (F8..FF) and anything it cannot turn
// back into bytes, never a byte of a SysEx message.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "midi/MidiOutputService.h"

namespace patchferry::midi {

// Called on the backend's own thread; it must return quickly and must not call the service.
using MidiInputSink = std::function<void(std::span<const std::uint8_t> bytes)>;

class MidiInputConnection {
  public:
    MidiInputConnection() = default;
    MidiInputConnection(const MidiInputConnection&) = delete;
    MidiInputConnection& operator=(const MidiInputConnection&) = delete;
    virtual ~MidiInputConnection() = default;  // closes the input; no byte reaches the sink after

    // What went wrong with the input since it opened that may have cost received bytes, as
    // sentences for the user (empty when nothing did). Any thread may ask while it is open.
    virtual std::string Problem() const { return {}; }
};

class MidiInputService {
  public:
    MidiInputService() = default;
    MidiInputService(const MidiInputService&) = delete;
    MidiInputService& operator=(const MidiInputService&) = delete;
    virtual ~MidiInputService() = default;

    // Every input port there is now, in the platform's order, with the outputs' hardware filter.
    virtual MidiError ListInputPorts(std::vector<MidiPortInfo>& ports) = 0;
    // On success sets `input`, which delivers to `sink` until it is destroyed. The service must
    // outlive it.
    virtual MidiError OpenInput(const std::string& address, MidiInputSink sink,
                                std::unique_ptr<MidiInputConnection>& input) = 0;
};

}  // namespace patchferry::midi
