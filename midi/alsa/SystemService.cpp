#include "midi/MidiOutputService.h"
#include "midi/alsa/AlsaMidiOutputService.h"

namespace patchferry::midi {

std::unique_ptr<MidiOutputService> CreateSystemMidiOutputService() {
    return std::make_unique<alsa::AlsaMidiOutputService>(alsa::CreateAlsaSeqLibrary());
}

}  // namespace patchferry::midi
