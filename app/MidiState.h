#pragma once
// The window's MIDI, apart from the controls that show it: the platform's service for both
// directions, the output that "Midi Active" opens, and the talks with an instrument that Receive
// and Identify hold. The MIDI bar shows and changes the choices; nothing here opens or sends
// unless a command of the user's asks for it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/MidiOutPort.h"
#include "midi/MidiService.h"
#include "midi/SynthConnection.h"

namespace patchferry {

class MidiState {
  public:
    // The service is owned by the caller and outlives the state.
    explicit MidiState(midi::MidiService& service) : service_(service), output_(service) {}

    midi::MidiService& Service() { return service_; }
    // The MIDI bar's output: open while "Midi Active" is ticked.
    midi::MidiOutPort& Output() { return output_; }
    const midi::MidiOutPort& Output() const { return output_; }

    // The hardware MIDI inputs in the platform's order; empty when there are none or they cannot
    // be listed (`error` then says why).
    std::vector<midi::MidiPortInfo> HardwareInputs(std::string& error);
    // The hardware input of the same interface as `output`: the one whose paired output it is.
    std::optional<midi::MidiPortInfo> InputBeside(const midi::MidiPortInfo& output);

    // Opens `input` and the output beside it for a talk with the instrument there. When that
    // output is the MIDI bar's open port it is used as it is and stays open afterwards; otherwise
    // it is opened for the talk and closed after. Nothing on failure, with `error` for the user.
    std::unique_ptr<midi::SynthConnection> Connect(const midi::MidiPortInfo& input,
                                                   std::string& error);

  private:
    midi::MidiService& service_;
    midi::MidiOutPort output_;
};

}  // namespace patchferry
