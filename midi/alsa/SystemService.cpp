#include "midi/MidiOutputService.h"
#include "midi/MidiService.h"
#include "midi/alsa/AlsaMidiService.h"

namespace patchferry::midi {

std::unique_ptr<MidiService> CreateSystemMidiService() {
    return std::make_unique<alsa::AlsaMidiService>(alsa::CreateAlsaSeqLibrary());
}

std::unique_ptr<MidiOutputService> CreateSystemMidiOutputService() {
    return CreateSystemMidiService();
}

}  // namespace patchferry::midi
