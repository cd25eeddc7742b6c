#include "midi/MidiOutputService.h"
#include "midi/MidiService.h"
#include "midi/alsa/AlsaMidiOutputService.h"

namespace patchferry::midi {

std::unique_ptr<MidiService> CreateSystemMidiService() {
    return std::make_unique<alsa::AlsaMidiOutputService>(alsa::CreateAlsaSeqLibrary());
}

std::unique_ptr<MidiOutputService> CreateSystemMidiOutputService() {
    return CreateSystemMidiService();
}

}  // namespace patchferry::midi
