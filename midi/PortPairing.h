#pragma once
// The two directions of one interface. The output that belongs to the same interface as an input,
// where a request to the instrument on that input goes out: the port at the same address with the
// same name (an ALSA port that reads and writes), else the output of the same name (Windows lists
// the two directions apart, under one name), else the output whose name differs only by saying
// "out" where the input's says "in" ("MIDIOUT2 (X)" for "MIDIIN2 (X)", "X MIDI Out" for "X MIDI
// In"), else the first output of the same ALSA client (CLIENT:PORT).

#include <vector>

#include "midi/MidiOutputService.h"

namespace patchferry::midi {

const MidiPortInfo* PairedOutput(const MidiPortInfo& input,
                                    const std::vector<MidiPortInfo>& outputs);

// The other way, by the same rules: the input among `inputs` whose paired output (among
// `outputs`) is `output`, where an answer to what goes out on `output` arrives.
const MidiPortInfo* PairedInput(const MidiPortInfo& output,
                                   const std::vector<MidiPortInfo>& inputs,
                                   const std::vector<MidiPortInfo>& outputs);

}  // namespace patchferry::midi
