#include "KorgPacking.h"

namespace patchferry {

std::vector<std::uint8_t> KorgPack(std::span<const std::uint8_t> in) {
    std::vector<std::uint8_t> out(KorgPackedSize(in.size()));
    KorgPack(in, std::span<std::uint8_t>(out));
    return out;
}

}  // namespace patchferry
