#pragma once
// The program's connection to one MIDI output device: the open handle (null while closed) and the
// completion event that the backend signals when a long message is done. Closed at start; only an
// explicit Open opens it.

#include <string>

#include "midi/CompletionEvent.h"
#include "midi/MidiOutputService.h"

namespace patchferry::midi {

// The service must outlive the port.
class MidiOutPort {
  public:
    explicit MidiOutPort(MidiOutputService& service);
    ~MidiOutPort();  // closes the device if it is still open
    MidiOutPort(const MidiOutPort&) = delete;
    MidiOutPort& operator=(const MidiOutPort&) = delete;

    // Opens device number `device` (closing any device this port had open). A negative number (no
    // port listed or selected) fails with the service's bad-device code without asking the service
    // to open anything. On failure the port stays closed.
    MidiResult Open(int device);
    // Closes the device if one is open; the port is closed afterwards in every case.
    void Close();
    bool IsOpen() const { return handle_ != MidiOutHandle::Null; }
    std::string ErrorText(MidiResult code) const;

    MidiOutHandle Handle() const { return handle_; }
    CompletionEvent& Event() { return event_; }
    MidiOutputService& Service() { return service_; }

  private:
    MidiOutputService& service_;
    MidiOutHandle handle_ = MidiOutHandle::Null;
    CompletionEvent event_;
};

}  // namespace patchferry::midi
