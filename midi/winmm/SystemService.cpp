#include "midi/MidiOutputService.h"
#include "midi/MidiService.h"
#include "midi/winmm/WinMmMidiService.h"

namespace patchferry::midi {

std::unique_ptr<MidiService> CreateSystemMidiService() {
    return std::make_unique<winmm::WinMmMidiService>(winmm::CreateWinMmApi(),
                                                           winmm::CreateWinMmInApi());
}

std::unique_ptr<MidiOutputService> CreateSystemMidiOutputService() {
    return CreateSystemMidiService();
}

}  // namespace patchferry::midi
