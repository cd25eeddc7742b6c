#include "midi/MidiOutputService.h"
#include "midi/winmm/WinMmMidiOutputService.h"

namespace patchferry::midi {

std::unique_ptr<MidiOutputService> CreateSystemMidiOutputService() {
    return std::make_unique<winmm::WinMmMidiOutputService>(winmm::CreateWinMmApi());
}

}  // namespace patchferry::midi
