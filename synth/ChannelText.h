#pragma once
// A MIDI channel as the synths' displays and this program's messages show it: two digits.

#include <string>

namespace patchferry::synth {

// "01".."16" for channel 0..15.
inline std::string ChannelText(int channel) {
    const int shown = channel + 1;
    return (shown < 10 ? "0" : "") + std::to_string(shown);
}

}  // namespace patchferry::synth
