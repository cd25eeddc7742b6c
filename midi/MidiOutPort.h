#pragma once
// The program's connection to one MIDI output port: the open handle (null while closed) and the
// completion event that the backend signals when a sent message is done. Closed at start; only
// an explicit Open opens it.

#include <string>

#include "midi/CompletionEvent.h"
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
    MidiError Open(const MidiOutPortInfo& wanted);
    // Closes the port if one is open; the port is closed afterwards in every case.
    void Close();
    bool IsOpen() const { return handle_ != MidiOutHandle::Null; }
    // The port that is open, as the listing named it when it was opened (empty while closed).
    const MidiOutPortInfo& OpenedPort() const { return opened_; }

    MidiOutHandle Handle() const { return handle_; }
    CompletionEvent& Event() { return event_; }
    MidiOutputService& Service() { return service_; }

  private:
    MidiOutputService& service_;
    MidiOutHandle handle_ = MidiOutHandle::Null;
    MidiOutPortInfo opened_;
    CompletionEvent event_;
};

}  // namespace patchferry::midi
