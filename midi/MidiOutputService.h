#pragma once
// What the program needs from the platform's MIDI output, and what every backend really has: a
// list of output ports (name, whether it is a hardware MIDI port, an address that names it while
// it exists), and the primitives of an open port that MidiOutput builds on: open by address with
// a completion event, close, send one complete message and learn when the device is done with it,
// reset. Every call that can fail says how in a MidiError. Each platform has one backend behind
// this interface; tests use a fake.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "midi/CompletionEvent.h"
#include "midi/MidiError.h"

namespace patchferry::midi {

struct MidiPortInfo {
    std::string name;
    // A MIDI port on an interface or sound card that an instrument can hang off (not a synth, a
    // virtual port or another program).
    bool hardwarePort = false;
    // The backend's name for the port: "CLIENT:PORT" for the ALSA sequencer, the device number for
    // the Windows multimedia service. It stays valid while the port exists; another port may take
    // it over after the port is gone.
    std::string address;
};

// Identifies one open port to the backend that opened it. Null while nothing is open.
enum class MidiOutHandle : std::uintptr_t { Null = 0 };

class MidiOutputService {
  public:
    MidiOutputService() = default;
    MidiOutputService(const MidiOutputService&) = delete;
    MidiOutputService& operator=(const MidiOutputService&) = delete;
    virtual ~MidiOutputService() = default;

    // Every output port there is now, in the platform's order. When the ports cannot be listed
    // (no access to the MIDI system), `ports` is empty and the error says why.
    virtual MidiError ListPorts(std::vector<MidiPortInfo>& ports) = 0;

    // The backend's own error, in the system's words, for a failure its caller found without
    // asking it: NoSuchPort when no listed port is the one wanted, NotOpen when nothing is open.
    virtual MidiError ErrorFor(MidiErrorCause cause) = 0;

  protected:
    // The primitives of an open port, for MidiOutput alone (and a backend's own tests, through
    // the backend's type): it keeps the handle and the event and runs the send sequence.
    friend class MidiOutput;

    // On success sets `handle`; from then on `event` is signalled each time a sent message is
    // done. `event` must outlive the open port.
    virtual MidiError Open(const std::string& address, CompletionEvent& event,
                           MidiOutHandle& handle) = 0;
    // Stops whatever is still going out and closes the port.
    virtual void Close(MidiOutHandle handle) = 0;

    // Hands over one complete message (the backend keeps its own copy). Success when it was
    // accepted: the event is signalled once the device is done with it. A failure means nothing
    // went out and no completion follows.
    virtual MidiError Send(MidiOutHandle handle, std::span<const std::uint8_t> message) = 0;
    // After the completion of an accepted message (or after a Reset): releases what the backend
    // kept for it and returns its final word, success when the device took the whole message.
    virtual MidiError FinishSend(MidiOutHandle handle) = 0;
    // Stops output and drops whatever has not gone yet; no completion follows.
    virtual MidiError Reset(MidiOutHandle handle) = 0;
};

// The platform's own MIDI output: the ALSA sequencer on Linux, the multimedia MIDI service on
// Windows.
std::unique_ptr<MidiOutputService> CreateSystemMidiOutputService();

}  // namespace patchferry::midi
