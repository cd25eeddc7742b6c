#pragma once
// The program's connection to one MIDI output port, which it finds again by name: the open output
// (none while closed) and the port as it was listed. Closed at start; only an explicit Open opens
// it.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "midi/MidiOutput.h"
#include "midi/MidiOutputService.h"

namespace patchferry::midi {

// The service must outlive the port.
class MidiOutPort {
  public:
    explicit MidiOutPort(MidiOutputService& service);
    ~MidiOutPort();  // closes the port if it is still open
    MidiOutPort(const MidiOutPort&) = delete;
    MidiOutPort& operator=(const MidiOutPort&) = delete;

    // Opens the port that was listed as `wanted` (closing any port this one had open). The ports
    // are listed afresh first: the port at `wanted.address` is taken only while it still has
    // that name; otherwise the first port of that name and kind (the same device plugged in
    // again under a new address). No such port fails with the service's NoSuchPort error, a list
    // that cannot be read with the listing's own error. On failure the port stays closed.
    MidiError Open(const MidiPortInfo& wanted);
    // Closes the port if one is open; the port is closed afterwards in every case.
    void Close();
    bool IsOpen() const { return output_ != nullptr; }
    // The port that is open, as the listing named it when it was opened (empty while closed).
    const MidiPortInfo& OpenedPort() const { return opened_; }

    // MidiOutput::Send on the open port; a closed one fails with the service's NotOpen error.
    MidiError Send(std::span<const std::uint8_t> message, std::chrono::milliseconds timeout);

    MidiOutputService& Service() { return service_; }

  private:
    MidiOutputService& service_;
    std::unique_ptr<MidiOutput> output_;
    MidiPortInfo opened_;
};

}  // namespace patchferry::midi
