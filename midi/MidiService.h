#pragma once
// The platform's MIDI in both directions from one place: on Linux one ALSA sequencer client
// carries the output and the input, so both are one object.

#include <memory>

#include "midi/MidiInputService.h"
#include "midi/MidiOutputService.h"

namespace patchferry::midi {

class MidiService : public MidiOutputService, public MidiInputService {};

std::unique_ptr<MidiService> CreateSystemMidiService();

}  // namespace patchferry::midi
