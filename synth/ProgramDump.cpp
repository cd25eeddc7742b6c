#include "synth/ProgramDump.h"

#include <span>
#include <stdexcept>
#include <string>

namespace patchferry {

ProgramDump BuildProgramDump(const RadiasProgramImage& image, int channel) {
    using namespace radias_dump;
    if (channel < 0 || channel >= kChannelCount) {
        throw std::invalid_argument("MIDI channel " + std::to_string(channel) +
                                    " is outside 0..15.");
    }
    ProgramDump dump{};
    dump[0] = kSysExStart;
    dump[1] = kKorgId;
    dump[2] = static_cast<std::uint8_t>(kFormatIdHighNibble + channel);
    dump[3] = kRadiasModelId;
    dump[4] = kCurrentProgramDump;
    KorgPack(std::span<const std::uint8_t>(image),
             std::span<std::uint8_t>(dump).subspan(kHeaderSize, kPackedSize));
    dump[kProgramDumpSize - 1] = kSysExEnd;
    return dump;
}

}  // namespace patchferry
