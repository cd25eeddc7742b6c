#pragma once
// The platform's MIDI in both directions from one place: on Linux one ALSA sequencer client
// carries the output and the input, so both are one object.

#include <memory>
#include <string>

#include "midi/MidiInputService.h"
#include "midi/MidiOutputService.h"

namespace patchferry::midi {

class MidiService : public MidiOutputService, public MidiInputService {
  public:
    // One text for the codes of both directions.
    std::string ErrorText(MidiResult code) override = 0;
};

std::unique_ptr<MidiService> CreateSystemMidiService();

}  // namespace patchferry::midi
