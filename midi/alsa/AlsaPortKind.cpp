#include "midi/alsa/AlsaPortKind.h"

namespace patchferry::midi::alsa {

std::string AlsaPortDisplayName(const AlsaPortInfo& port) {
    return port.clientName + ": " + port.portName;
}

}  // namespace patchferry::midi::alsa
